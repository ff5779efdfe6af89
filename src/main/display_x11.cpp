#include "display.h"
#include "no_display_advice.h"

#include <GL/glx.h>
#include <SFML/Config.hpp>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <ostream>

namespace {

// SFML 2.5 takes the window's visual from among those of every screen of the
// server, and on a tie, as on a server whose screens are alike, the first
// screen's wins; X then refuses it on any other screen (BadMatch). SFML 2.6
// looks at the display's own screen only.
constexpr bool opensOnTheFirstScreenOnly = SFML_VERSION_MAJOR == 2 && SFML_VERSION_MINOR < 6;

// The library makes its window with the double-buffered GL visual whose
// colour bits come closest to those asked for, and X makes a window only at
// the screen's own depth: so there must be such a visual at that depth. A
// 15-bit X server, for one, offers GL at 32 bits only.
bool hasGlVisualOfOwnDepth(Display* server)
{
    const int screen = DefaultScreen(server);
    XVisualInfo wanted{};
    wanted.screen = screen;
    wanted.depth = DefaultDepth(server, screen);
    int count = 0;
    XVisualInfo* const visuals = XGetVisualInfo(server, VisualScreenMask | VisualDepthMask, &wanted, &count);
    bool found = false;
    for (int i = 0; i < count && !found; ++i) {
        int gl = 0, doubleBuffered = 0;
        found = glXGetConfig(server, &visuals[i], GLX_USE_GL, &gl) == 0 && gl &&
                glXGetConfig(server, &visuals[i], GLX_DOUBLEBUFFER, &doubleBuffered) == 0 && doubleBuffered;
    }
    if (visuals)
        XFree(visuals);
    return found;
}

}  // namespace

DisplayConnection openDisplay(std::ostream& problems)
{
    DisplayConnection display(XOpenDisplay(nullptr),
                              [](void* opened) { XCloseDisplay(static_cast<Display*>(opened)); });
    if (!display) {
        adviseWithoutDisplay(problems);
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
        return display;
    }
    if (opensOnTheFirstScreenOnly && DefaultScreen(server) != 0) {
        problems << "spritebench: the X display " << XDisplayString(server)
                 << " is not its server's first screen, and the SFML the program was built with ("
                 << SFML_VERSION_MAJOR << "." << SFML_VERSION_MINOR
                 << ") opens windows on the first screen only.\n"
                    "Run it on screen 0 of that server, or build it with SFML 2.6 or newer.\n";
        display.reset();
        return display;
    }
    if (!hasGlVisualOfOwnDepth(server)) {
        problems << "spritebench: the X display " << XDisplayString(server)
                 << " has no OpenGL visual of its own depth (" << DefaultDepth(server, DefaultScreen(server))
                 << " bits), so X can make no window there for the program to draw in.\n"
                    "Run its X server at 24 bits per pixel, or the program under a virtual X server:\n"
                    "    xvfb-run -a build/spritebench\n";
        display.reset();
    }
    return display;
}
