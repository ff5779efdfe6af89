#pragma once

#include <memory>

// A connection to the display that the graphics library will draw on; empty
// when there is none.
using DisplayConnection = std::unique_ptr<void, void (*)(void*)>;

// Where the library draws through X11, opens the X display it will use, so
// that the program can say plainly that there is none instead of letting the
// library abort at its first texture. The caller holds it for the whole run,
// so that a virtual server that starts over when its last client leaves never
// does so between this check and the library's own connection. Elsewhere
// there is always a display, and the connection stands for it.
DisplayConnection openDisplay();
