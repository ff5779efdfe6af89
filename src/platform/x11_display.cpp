#include "display.h"
#include "x11_gl_visuals.h"
#include "x11_no_display_advice.h"

#include <SFML/Config.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Context.hpp>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

// Where the first X error of a GLX request is reported, and what it is told.
std::ostream* glxProblems = nullptr;
std::string glxDisplayName;
int glxOpcode = 0;
XErrorHandler otherErrors = nullptr;

// SFML 2.6 and 3 catch the X error of a refused context themselves; SFML 2.5
// does not, and reportGlxFailure hears of it.
constexpr bool libraryCatchesContextErrors = SFML_VERSION_MAJOR > 2 || SFML_VERSION_MINOR >= 6;

// What openDisplay holds of the library's OpenGL while the connection is
// held: a GL object, which keeps the library's shared context, and a context
// of the program's own where that one's work was in doubt.
std::optional<sf::Texture> heldSharedContext;
std::optional<sf::Context> firstContext;

void reportRefusedContext()
{
    *glxProblems << "spritebench: the X display " << glxDisplayName
                 << " refused the OpenGL context that the program draws with (its GLX makes no context of the "
                    "kind the OpenGL library asked for: an indirect one, as over ssh -X or where no GL driver "
                    "loads).\n"
                    "Run the program on a display of the machine it runs on, or there under a virtual X server:\n"
                    "    xvfb-run -a build/spritebench\n";
    glxProblems->flush();
}

// Where the library makes its OpenGL context through a GLX that the X server
// refuses (an indirect context, as the client library makes over `ssh -X` or
// where it loads no GL driver, and the server allows none), SFML 2.5 goes on
// without one and X ends the program with a raw error. Errors of every other
// request go to Xlib's handler as before.
int reportGlxFailure(Display* server, XErrorEvent* error)
{
    if (error->request_code != glxOpcode)
        return otherErrors(server, error);
    reportRefusedContext();
    std::cout.flush();
    // Now, without the library's clean-up, which would be done halfway
    // through the library's own work.
    std::_Exit(1);
}

// The library makes its window with the double-buffered GL visual whose
// colour bits come closest to those asked for, and X makes a window only at
// the screen's own depth: so there must be such a visual at that depth. A
// 15-bit X server, for one, offers GL at 32 bits only.
bool hasGlVisualOfOwnDepth(const std::vector<GlVisual>& visuals, int screen, int depth)
{
    for (const GlVisual& visual : visuals)
        if (visual.screen == screen && visual.depth == depth && visual.doubleBuffered)
            return true;
    return false;
}

// SFML 2.5 picks each context's visual from among the GL visuals of every
// screen of the server, not of the display's own only, and X then refuses it
// on any other screen (BadMatch). Its choice: the first double-buffered one,
// in Xlib's order, with the least score, which weighs each shortfall against
// what was asked for 100000 times more than an excess. The program's contexts
// all ask for no depth, stencil or antialiasing; they differ in their colour
// bits: the desktop's depth (0 where the library cannot read it: without
// RANDR), and the window's. SFML 2.6 looks at the display's own screen only.
constexpr bool picksFromEveryScreen = SFML_VERSION_MAJOR == 2 && SFML_VERSION_MINOR < 6;

int libraryScore(const GlVisual& visual, int colourBits)
{
    const auto weighed = [](int wanted, int got) {
        const int difference = wanted - got;
        return difference > 0 ? difference * 100000 : -difference;
    };
    return weighed(colourBits, visual.colourBits) + weighed(0, visual.depthBits) + weighed(0, visual.stencilBits) +
           weighed(0, visual.samples);
}

// The screen of the visual that the library picks for `colourBits`; -1 where
// there is none.
int screenOfLibrarysChoice(const std::vector<GlVisual>& visuals, int colourBits)
{
    int best = 0x7FFFFFFF, screen = -1;
    for (const GlVisual& visual : visuals) {
        if (!visual.doubleBuffered)
            continue;
        if (const int score = libraryScore(visual, colourBits); score < best) {
            best = score;
            screen = visual.screen;
        }
    }
    return screen;
}

// The screen of a visual that one of the program's contexts gets from the
// library, where it is not the display's own; -1 where all are.
int otherScreenTheLibraryPicks(Display* server, const std::vector<GlVisual>& visuals)
{
    const int screen = DefaultScreen(server);
    const int depth = DefaultDepth(server, screen);
    int opcode = 0, firstEvent = 0, firstError = 0;
    const int desktopBits = XQueryExtension(server, "RANDR", &opcode, &firstEvent, &firstError) ? depth : 0;
    // As fitOnScreen asks for the window.
    const int windowBits = depth == 24 || depth == 32 ? 32 : depth;
    for (const int colourBits : {desktopBits, windowBits})
        if (const int picked = screenOfLibrarysChoice(visuals, colourBits); picked != screen && picked >= 0)
            return picked;
    return -1;
}

// The library opens a connection of its own to the display, at its first GL
// object, and aborts where the server refuses it; a server at its limit of
// clients (Xorg's and Xvfb's -maxclients) refuses it after letting the
// program's own in. So one more is tried, and closed at once to leave its
// room to the library; the program's next round trip has the server see it
// closed.
bool takesAnotherClient()
{
    xcb_connection_t* const another = xcb_connect(nullptr, nullptr);
    const bool connected = !xcb_connection_has_error(another);
    xcb_disconnect(another);
    return connected;
}

}  // namespace

DisplayConnection openDisplay(std::ostream& problems)
{
    DisplayConnection display(XOpenDisplay(nullptr), [](void* opened) {
        firstContext.reset();
        heldSharedContext.reset();
        XCloseDisplay(static_cast<Display*>(opened));
    });
    if (!display) {
        adviseWithoutDisplay(problems);
        return display;
    }
    Display* const server = static_cast<Display*>(display.get());
    if (!takesAnotherClient()) {
        problems << "spritebench: the X display " << XDisplayString(server)
                 << " takes no more clients: the program needs two connections to it (its own and the graphics "
                    "library's), and its server let in only the first.\n"
                    "Close another program on that display, or start its server with room for more clients "
                    "(Xorg and Xvfb: -maxclients 512).\n";
        display.reset();
        return display;
    }
    // The library draws with OpenGL through GLX, and crashes where the
    // server lacks it, as remote and minimal X servers can.
    int opcode = 0, firstEvent = 0, firstError = 0;
    if (!XQueryExtension(server, "GLX", &opcode, &firstEvent, &firstError)) {
        problems << "spritebench: the X display " << XDisplayString(server)
                 << " has no OpenGL (its server lacks the GLX extension), which the program draws with.\n"
                    "Run it on a desktop with OpenGL, or under a virtual X server, which has it:\n"
                    "    xvfb-run -a build/spritebench\n";
        display.reset();
        return display;
    }
    // Read over the protocol: asking the GL library would load and start the
    // GL driver for this connection, as long again as the library's own start.
    const std::vector<GlVisual> visuals = glVisuals(XGetXCBConnection(server));
    const int screen = DefaultScreen(server);
    if (picksFromEveryScreen) {
        if (const int other = otherScreenTheLibraryPicks(server, visuals); other >= 0) {
            problems << "spritebench: on the X display " << XDisplayString(server)
                     << ", the SFML the program was built with (" << SFML_VERSION_MAJOR << "." << SFML_VERSION_MINOR
                     << ") would take an OpenGL visual of another screen of its server (screen " << other
                     << "), which X makes no window with on this one.\n"
                        "Run it on screen "
                     << other << " of that server, or build it with SFML 2.6 or newer.\n";
            display.reset();
            return display;
        }
    }
    if (!hasGlVisualOfOwnDepth(visuals, screen, DefaultDepth(server, screen))) {
        problems << "spritebench: the X display " << XDisplayString(server)
                 << " has no OpenGL visual of its own depth (" << DefaultDepth(server, screen)
                 << " bits), so X can make no window there for the program to draw in.\n"
                    "Run its X server at 24 bits per pixel, or the program under a virtual X server:\n"
                    "    xvfb-run -a build/spritebench\n";
        display.reset();
        return display;
    }
    glxProblems = &problems;
    glxDisplayName = XDisplayString(server);
    glxOpcode = opcode;
    otherErrors = XSetErrorHandler(reportGlxFailure);
    // SFML 2.6 and 3 catch that error themselves and go on without a
    // context, to crash at the first texture; so the library's shared
    // context is asked first whether it works. A texture holds it while the
    // connection is held: the library closes its own connection, and so
    // stops its GL driver, whenever its last GL object goes, and would start
    // both anew for the first texture. A shared context that names no
    // extension (the one it failed to make names none) is tried for sure by
    // making a context of the program's own, which costs a context more.
    if (!libraryCatchesContextErrors)
        return display;
    heldSharedContext.emplace();
    if (sf::Context::isExtensionAvailable("GL_ARB_multitexture"))
        return display;
    firstContext.emplace();
    if (!firstContext->setActive(true)) {
        reportRefusedContext();
        display.reset();
    }
    return display;
}
