#include "window_placement.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <memory>

WindowFit fitOnScreen(sf::Vector2u size)
{
    WindowFit fit;
    // The display and screen the library opens the window on.
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display)
        return fit;
    const int screen = DefaultScreen(display.get());

    // The library makes the window as deep as the GL visual whose colour bits
    // come closest to those asked for, and X refuses the window it makes at
    // any depth but the screen's (BadMatch, and the program ends). A 24-bit
    // screen has visuals of its own depth with 32 colour bits; a 16-bit one
    // has 32 colour bits only in visuals 32 deep, and 16 in its own.
    const int depth = DefaultDepth(display.get(), screen);
    if (depth != 24 && depth != 32)
        fit.bitsPerPixel = static_cast<unsigned>(depth);

    // A window manager is the one client that takes the root window's
    // requests to map and move its children (SubstructureRedirect); where
    // there is one, it places the window. Where there is none, the library
    // leaves the window where it made it: centred on SFML 2.6, below a wide
    // screen on 2.5 (its top at (screen width - window height) / 2) and mostly
    // off the screen on 3.0 (at the screen's size less half the window's). So
    // it goes to the centre, or to the top or left edge where the window is
    // larger than the screen. The screen's size is the root window's, which
    // needs no RANDR.
    XWindowAttributes root{};
    XGetWindowAttributes(display.get(), RootWindow(display.get(), screen), &root);
    if (!(root.all_event_masks & SubstructureRedirectMask)) {
        const sf::Vector2i free(root.width - static_cast<int>(size.x), root.height - static_cast<int>(size.y));
        fit.centredCorner = sf::Vector2i(std::max(free.x / 2, 0), std::max(free.y / 2, 0));
    }
    return fit;
}
