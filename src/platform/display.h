#pragma once

#include <iosfwd>
#include <memory>

// A connection to the display that the graphics library will draw on; empty
// when there is none it can draw on.
using DisplayConnection = std::unique_ptr<void, void (*)(void*)>;

// Where the library draws through X11, opens the X display it will use and
// checks that it offers OpenGL (the GLX extension), so that the program can
// say plainly what is missing instead of letting the library abort or crash
// at its first texture: when something is, it says so on `problems`, with how
// to run the program instead, and returns an empty connection. The caller
// holds the connection for the whole run, so that a virtual server that
// starts over when its last client leaves never does so between this check
// and the library's own connection. Elsewhere there is always a display, and
// the connection stands for it.
DisplayConnection openDisplay(std::ostream& problems);
