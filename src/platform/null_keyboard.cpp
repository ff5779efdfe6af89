#include "keyboard.h"

Keyboard keyboardOn(const DisplayConnection&)
{
    return {[] {}, [](sf::Keyboard::Key key) { return sf::Keyboard::isKeyPressed(key); }};
}
