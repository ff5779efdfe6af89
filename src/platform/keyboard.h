#pragma once

#include "display.h"

#include <SFML/Window/Keyboard.hpp>

#include <functional>

// The keyboard as a command pass sees it: `read` takes the live state of the
// whole keyboard, and `isDown` tells whether a key of the command table was
// down in the last read.
struct Keyboard {
    std::function<void()> read;
    std::function<bool(sf::Keyboard::Key)> isDown;
};

// The keyboard on the display connection that the program holds for the
// whole run (which must outlive what this returns). Where the library draws
// through X11, each of its key tests is a round trip to the X server and
// reads the key of a letter from the first layout of the keymap; here one
// read answers every key, each key being the one that shows its letter or
// digit in the layout in use. Elsewhere the library's key test is a cheap
// local call that follows the layout in use already: `read` does nothing and
// `isDown` is that test.
Keyboard keyboardOn(const DisplayConnection& display);
