#pragma once

#include <X11/Xlib.h>

#include <cstring>
#include <string>

// A top-level window on the display whose title starts with `title`, or 0.
inline Window findTopLevelWindow(Display* display, const std::string& title)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (std::strncmp(name, title.c_str(), title.size()) == 0)
                found = children[i];
            XFree(name);
        }
    }
    if (children)
        XFree(children);
    return found;
}
