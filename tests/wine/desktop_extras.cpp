#include "desktop_extras.h"

#include <X11/Xlib.h>

#include <stdexcept>

namespace {

XErrorHandler defaultHandler = nullptr;

int ignoreVanishedWindows(Display* display, XErrorEvent* error)
{
    if (error->error_code == BadWindow)
        return 0;
    return defaultHandler(display, error);
}

}  // namespace

void tolerateVanishingWindows()
{
    const XErrorHandler previous = XSetErrorHandler(ignoreVanishedWindows);
    if (previous != ignoreVanishedWindows)
        defaultHandler = previous;
}

KeyboardFocus::KeyboardFocus(const std::string& name) : display(XOpenDisplay(name.c_str()))
{
    if (!display)
        throw std::runtime_error("cannot open display " + name);
}

KeyboardFocus::~KeyboardFocus() { XCloseDisplay(display); }

bool KeyboardFocus::isIn(WindowId window)
{
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display, &focus, &revertTo);
    // Up from the focused window towards the root, looking for `window`.
    while (focus != None && focus != PointerRoot) {
        if (focus == window)
            return true;
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, focus, &root, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        if (parent == root)
            return false;
        focus = parent;
    }
    return false;
}

void KeyboardFocus::giveTo(WindowId window)
{
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
}
