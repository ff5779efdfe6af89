#pragma once

#include <SFML/System/Vector2.hpp>

#include <functional>
#include <optional>

// What a new window needs to know of the screen the library opens it on,
// where the library does not see to it itself.
struct WindowFit {
    // The colour depth to ask for: 32 bits where the screen offers them, else
    // the screen's own.
    unsigned bitsPerPixel = 32;
    // Where to move the window's top-left corner so that it is centred on the
    // screen, or at its left or top edge where the window is wider or higher;
    // nothing where a window manager places new windows, or the system
    // centres them itself.
    std::optional<sf::Vector2i> centredCorner;
};

WindowFit fitOnScreen(sf::Vector2u size);

// Runs `create`, which makes a window of `size`, and meanwhile moves that
// window to `fit.centredCorner`, where there is one, as soon as the X server
// has made it.
void createInPlace(const WindowFit& fit, sf::Vector2u size, const std::function<void()>& create);
