#include "window_placement.h"

// Windows and macOS offer 32 bits, and the library centres a new window.
WindowFit fitOnScreen(const DisplayConnection&, sf::Vector2u)
{
    return {};
}

bool createInPlace(const DisplayConnection&, const WindowFit&, sf::Vector2u, const std::function<void()>& create)
{
    create();
    return false;
}

bool windowWillShow(const DisplayConnection&, sf::Vector2u, std::ostream&)
{
    return true;
}
