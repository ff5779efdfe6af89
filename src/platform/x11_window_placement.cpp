#include "window_placement.h"
#include "x11_own_windows.h"

#include <SFML/Config.hpp>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/res.h>

#include <algorithm>
#include <ostream>

namespace {

// SFML 2.5 makes a new window with its top at (screen width - window
// height) / 2, and after mapping it waits until X reports part of it
// visible. On a screen at least twice the window's height plus the screen's
// own height wide, that top is below the screen, which X never reports
// visible. SFML 2.6 centres the window; 3.0 puts its corner at the screen's
// size less half the window's, so that a quarter of it shows.
constexpr bool topAtHalfTheScreensWidth = SFML_VERSION_MAJOR == 2 && SFML_VERSION_MINOR < 6;

// A window manager is the one client that takes the root window's requests
// to map and move its children (SubstructureRedirect).
bool hasWindowManager(const XWindowAttributes& root)
{
    return root.all_event_masks & SubstructureRedirectMask;
}

}  // namespace

WindowFit fitOnScreen(const DisplayConnection& display, sf::Vector2u size)
{
    WindowFit fit;
    // The display and screen the library opens the window on.
    Display* const server = static_cast<Display*>(display.get());
    const int screen = DefaultScreen(server);

    // The library makes the window as deep as the GL visual whose colour bits
    // come closest to those asked for, and X refuses the window it makes at
    // any depth but the screen's (BadMatch, and the program ends). A 24-bit
    // screen has visuals of its own depth with 32 colour bits; a 16-bit one
    // has 32 colour bits only in visuals 32 deep, and 16 in its own.
    const int depth = DefaultDepth(server, screen);
    if (depth != 24 && depth != 32)
        fit.bitsPerPixel = static_cast<unsigned>(depth);

    // Where there is a window manager, it places the window. Where there is
    // none, the library leaves the window where it made it: centred on SFML
    // 2.6, below a wide screen on 2.5 and mostly off the screen on 3.0. So it
    // goes to the centre, or to the top or left edge where the window is
    // larger than the screen. The screen's size is the root window's, which
    // needs no RANDR.
    XWindowAttributes root{};
    XGetWindowAttributes(server, RootWindow(server, screen), &root);
    if (!hasWindowManager(root)) {
        const sf::Vector2i free(root.width - static_cast<int>(size.x), root.height - static_cast<int>(size.y));
        fit.centredCorner = sf::Vector2i(std::max(free.x / 2, 0), std::max(free.y / 2, 0));
    }
    return fit;
}

bool windowWillShow(const DisplayConnection& display, sf::Vector2u size, std::ostream& problems)
{
    if (!topAtHalfTheScreensWidth)
        return true;
    Display* const server = static_cast<Display*>(display.get());
    XWindowAttributes root{};
    XGetWindowAttributes(server, DefaultRootWindow(server), &root);
    if (hasWindowManager(root) || (root.width - static_cast<int>(size.y)) / 2 < root.height)
        return true;
    // The library's connection is of this process and display, as the
    // mover's is: where the server names no process for this one, it names
    // none for the library's either, and the mover cannot find the window.
    xcb_connection_t* const connection = XGetXCBConnection(server);
    if (thisProcessAsTheServerKnowsIt(connection))
        return true;
    const xcb_query_extension_reply_t* const resource = xcb_get_extension_data(connection, &xcb_res_id);
    problems << "spritebench: on the X display " << XDisplayString(server) << ", the SFML the program was built with ("
             << SFML_VERSION_MAJOR << "." << SFML_VERSION_MINOR << ") would open its window below the screen ("
             << root.width << "x" << root.height
             << ", no window manager) and wait for ever for it to show, and the program cannot move it into place: "
             << (resource && resource->present
                     ? "the X server names no process for the program's connections (as for a client over TCP), "
                       "so it cannot tell the program's windows from others'.\n"
                     : "the X server lacks the X-Resource extension, which tells the program's windows from "
                       "others'.\n")
             << "Start a window manager on that display first, or build the program with SFML 2.6 or newer.\n";
    return false;
}
