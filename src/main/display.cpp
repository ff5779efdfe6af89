#include "display.h"

#include <X11/Xlib.h>

void DisplayCloser::operator()(_XDisplay* display) const
{
    XCloseDisplay(display);
}

DisplayConnection openDisplay()
{
    return DisplayConnection(XOpenDisplay(nullptr));
}
