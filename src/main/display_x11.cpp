#include "display.h"

#include <X11/Xlib.h>

#include <ostream>

DisplayConnection openDisplay(std::ostream& problems)
{
    DisplayConnection display(XOpenDisplay(nullptr),
                              [](void* opened) { XCloseDisplay(static_cast<Display*>(opened)); });
    if (!display) {
        problems << "spritebench: no X display (DISPLAY is unset or cannot be opened).\n"
                    "Run it on a desktop, or without one under a virtual X server:\n"
                    "    xvfb-run -a build/spritebench\n";
        return display;
    }
    // The library draws with OpenGL through GLX, and crashes where the
    // server lacks it, as remote and minimal X servers can.
    Display* const server = static_cast<Display*>(display.get());
    int opcode = 0, firstEvent = 0, firstError = 0;
    if (!XQueryExtension(server, "GLX", &opcode, &firstEvent, &firstError)) {
        problems << "spritebench: the X display " << XDisplayString(server)
                 << " has no OpenGL (its server lacks the GLX extension), which the program draws with.\n"
                    "Run it on a desktop with OpenGL, or under a virtual X server, which has it:\n"
                    "    xvfb-run -a build/spritebench\n";
        display.reset();
    }
    return display;
}
