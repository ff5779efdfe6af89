// close_window TITLE [SECONDS]: waits up to SECONDS (default 10) for a
// top-level window whose title starts with TITLE (spritebench's names its
// SFML after it) on the current X display, then asks it to close
// the way a window manager's close button does (a WM_DELETE_WINDOW message),
// so that the program ends through its own Closed event and normal exit.
#include "top_level_window.h"

#include <X11/Xlib.h>

#include <cstring>
#include <iostream>
#include <string>

namespace {

void askToClose(Display* display, Window window)
{
    XEvent message;
    std::memset(&message, 0, sizeof message);
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &message);
    XFlush(display);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: close_window TITLE [SECONDS]\n";
        return 2;
    }
    const std::string title = argv[1];
    const double seconds = argc > 2 ? std::stod(argv[2]) : 10;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::cerr << "close_window: cannot open the X display\n";
        return 2;
    }
    const Window window = waitForTopLevelWindow(display, title, seconds);
    if (window)
        askToClose(display, window);
    else
        std::cerr << "close_window: no window titled \"" << title << "\"\n";
    XCloseDisplay(display);
    return window ? 0 : 1;
}
