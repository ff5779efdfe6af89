#include "display.h"

#include <X11/Xlib.h>

DisplayConnection openDisplay()
{
    return DisplayConnection(XOpenDisplay(nullptr), [](void* display) { XCloseDisplay(static_cast<Display*>(display)); });
}
