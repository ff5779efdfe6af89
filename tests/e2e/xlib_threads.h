#pragma once

#include <X11/Xlib.h>

// The recorder reads on its own thread; Xlib must know before its first use.
inline void enableXlibThreads()
{
    static const bool enabled = XInitThreads() != 0;
    (void)enabled;
}
