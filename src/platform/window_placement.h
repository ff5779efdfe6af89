#pragma once

#include "display.h"

#include <SFML/System/Vector2.hpp>

#include <functional>
#include <iosfwd>
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

// Asked over `display`, the program's own connection (see openDisplay).
WindowFit fitOnScreen(const DisplayConnection& display, sf::Vector2u size);

// Runs `create`, which makes a window of `size`, and meanwhile moves that
// window to `fit.centredCorner`, where there is one, as soon as the X server
// has made it, over `display`, which nothing else may use meanwhile. Whether
// it moved it: not where the server cannot say whose a window is.
bool createInPlace(const DisplayConnection& display, const WindowFit& fit, sf::Vector2u size,
                   const std::function<void()>& create);

// Whether a window of `size` that the library makes on `display` will show.
// Where the library would make it wholly off the screen and then wait for
// ever for it to show (SFML 2.5 on a wide screen with no window manager), and
// the X server cannot say which windows are this process's, so that the
// program cannot move it into place either, says so on `problems`, with what
// helps, and returns false.
bool windowWillShow(const DisplayConnection& display, sf::Vector2u size, std::ostream& problems);
