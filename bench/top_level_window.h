#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace topLevel {

inline std::vector<Window> childrenOf(Display* display, Window parent)
{
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count))
        return {};
    std::vector<Window> found(children, children + count);
    if (children)
        XFree(children);
    return found;
}

inline bool titleStartsWith(Display* display, Window window, const std::string& title)
{
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name)
        return false;
    const bool starts = std::strncmp(name, title.c_str(), title.size()) == 0;
    XFree(name);
    return starts;
}

// A window can go between the listing of the windows and a question about
// it (a window manager makes and drops windows of its own); Xlib's default
// handler would end the program on that error, which here only means "not
// this one".
inline int ignoreVanishedWindows(Display*, XErrorEvent* error)
{
    return error->error_code == BadWindow ? 0 : (std::abort(), 0);
}

}  // namespace topLevel

// A top-level window on the display whose title starts with `title`, or 0;
// where a window manager has put it in a frame, the window in the frame.
inline Window findTopLevelWindow(Display* display, const std::string& title)
{
    XSetErrorHandler(topLevel::ignoreVanishedWindows);
    for (const Window window : topLevel::childrenOf(display, DefaultRootWindow(display))) {
        if (topLevel::titleStartsWith(display, window, title))
            return window;
        for (const Window framed : topLevel::childrenOf(display, window))
            if (topLevel::titleStartsWith(display, framed, title))
                return framed;
    }
    return 0;
}

// The same, waited for up to `seconds`; 0 if none came.
inline Window waitForTopLevelWindow(Display* display, const std::string& title, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Window window = 0;
    while (!(window = findTopLevelWindow(display, title)) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return window;
}
