#include "end_to_end_test.h"
#include "window_placement.h"

#include <X11/Xlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace {

using StartUp = StartedTest;

TEST_F(StartUp, ShowsOnlyTheTopLeftFrameCentredAt100And100OnWhite)
{
    EXPECT_TRUE(showsOnly(bench->picture(), upright()));
    EXPECT_EQ(bench->program().output(), "");
}

TEST_F(StartUp, EachAccessorKeyPrintsItsStartUpValue)
{
    EXPECT_EQ(bench->pass("1"), "p->getX() = 100\n");
    EXPECT_EQ(bench->pass("2"), "p->getY() = 100\n");
    EXPECT_EQ(bench->pass("3"), "p->getAlpha() = 255\n");
    EXPECT_EQ(bench->pass("4"), "p->getRotation() = 0\n");
    EXPECT_EQ(bench->pass("5"), "p->getScale() = 1\n");
    EXPECT_EQ(bench->pass("6"), "p->getScaleX() = 1\n");
    EXPECT_EQ(bench->pass("7"), "p->getScaleY() = 1\n");
    EXPECT_EQ(bench->pass("8"), "p->getWidhtCurrent() = 32\n");
    EXPECT_EQ(bench->pass("9"), "p->getHeightCurrent() = 32\n");
}

TEST_F(StartUp, AccessorKeysHeldTogetherPrintInTheOrderOfTheTable)
{
    EXPECT_EQ(bench->pass("987654321"),
              "p->getX() = 100\n"
              "p->getY() = 100\n"
              "p->getAlpha() = 255\n"
              "p->getRotation() = 0\n"
              "p->getScale() = 1\n"
              "p->getScaleX() = 1\n"
              "p->getScaleY() = 1\n"
              "p->getWidhtCurrent() = 32\n"
              "p->getHeightCurrent() = 32\n");
}

// Where the library cannot draw, the program says what is missing and how to
// run it instead, and exits with code 1, before it makes a window.
class StartUpWithout : public EndToEndTest {
protected:
    void expectSaysAndExitsWithOne(const std::string& display, const std::string& message,
                                   const std::vector<std::string>& command = {SPRITEBENCH_PATH})
    {
        Program program(command, root, display, Program::Input::DevNull);
        EXPECT_EQ(program.waitForExit(), 1);
        EXPECT_EQ(program.errors(), message);
        EXPECT_EQ(program.output(), "");
    }

    // Opens, where given at `place` (left, top, width, height), and draws.
    void expectOpensAndDraws(const std::string& display, std::optional<std::array<int, 4>> place = {})
    {
        Bench program(display, root);
        // Partly off the screen, its pixels could not be read.
        if (place) {
            ASSERT_EQ(program.windowPlace(), *place);
        }
        EXPECT_TRUE(showsOnly(program.picture(), upright()));
        EXPECT_EQ(program.close(), 0);
    }
};

// Away from any desktop, and on a Wayland desktop that runs no Xwayland.
TEST_F(StartUpWithout, ADisplay)
{
    expectSaysAndExitsWithOne("",
                              "spritebench: no X display (DISPLAY is unset or cannot be opened).\n"
                              "Run it on a desktop, or without one under a virtual X server:\n"
                              "    xvfb-run -a build/spritebench\n",
                              {"/usr/bin/env", "-u", "WAYLAND_DISPLAY", "-u", "XDG_RUNTIME_DIR", SPRITEBENCH_PATH});

    const std::string onWayland =
        "spritebench: no X display, on a Wayland desktop. The program runs on Wayland desktops\n"
        "through Xwayland, the X server that the compositor starts for X programs, and none\n"
        "is running (DISPLAY is unset or cannot be opened).\n"
        "Install the xwayland package; on sway, put \"xwayland enable\" in its configuration\n"
        "and restart it; GNOME and KDE start Xwayland on their own once it is installed.\n";
    expectSaysAndExitsWithOne("", onWayland, {"/usr/bin/env", "WAYLAND_DISPLAY=wayland-0", SPRITEBENCH_PATH});
    // Only the compositor's socket tells.
    const std::filesystem::path runtime = root / "runtime";
    std::filesystem::create_directory(runtime);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (runtime / "wayland-0").string();
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    expectSaysAndExitsWithOne(
        "", onWayland,
        {"/usr/bin/env", "-u", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR=" + runtime.string(), SPRITEBENCH_PATH});
    close(socket);
}

TEST_F(StartUpWithout, OpenGL)
{
    // As remote and minimal X servers can be.
    const VirtualDisplay noGlx({"-extension", "GLX"});
    expectSaysAndExitsWithOne(noGlx.name(), "spritebench: the X display " + noGlx.name() +
                                                " has no OpenGL (its server lacks the GLX extension), which "
                                                "the program draws with.\n"
                                                "Run it on a desktop with OpenGL, or under a virtual X server, "
                                                "which has it:\n"
                                                "    xvfb-run -a build/spritebench\n");
}

// Whether a 15-bit display has an OpenGL visual of its own depth is the X
// server's affair (Debian 12's Xvfb has none, 13's has): the program either
// says that it cannot draw there, at once, or opens and draws; never an X error.
TEST_F(StartUpWithout, AnOpenGLVisualOfTheDisplaysDepth)
{
    const VirtualDisplay fifteenBits({"-screen", "0", "1024x768x15"});
    {
        Program program({SPRITEBENCH_PATH}, root, fifteenBits.name(), Program::Input::DevNull);
        if (const std::optional<int> code = program.waitForExit(std::chrono::seconds(5))) {
            EXPECT_EQ(code, 1);
            EXPECT_EQ(program.errors(), "spritebench: the X display " + fifteenBits.name() +
                                            " has no OpenGL visual of its own depth (15 bits), so X can make no "
                                            "window there for the program to draw in.\n"
                                            "Run its X server at 24 bits per pixel, or the program under a "
                                            "virtual X server:\n"
                                            "    xvfb-run -a build/spritebench\n");
            return;
        }
    }
    expectOpensAndDraws(fifteenBits.name());
}

// SFML 2.5 takes its visual from among those of every screen: where the first
// screen's suits it as well, X refuses it on the second.
TEST_F(StartUpWithout, TheServersFirstScreen)
{
    const VirtualDisplay twoScreens({"-screen", "1", "800x600x24"});
    const std::string secondScreen = twoScreens.name() + ".1";
    if (SFML_VERSION_MAJOR == 2 && SFML_VERSION_MINOR < 6) {
        expectSaysAndExitsWithOne(secondScreen, "spritebench: on the X display " + secondScreen +
                                                    ", the SFML the program was built with (2.5) would take an "
                                                    "OpenGL visual of another screen of its server (screen 0), "
                                                    "which X makes no window with on this one.\n"
                                                    "Run it on screen 0 of that server, or build it with SFML 2.6 "
                                                    "or newer.\n");
        return;
    }
    expectOpensAndDraws(secondScreen);
}

// Where the second screen's depth differs, its own visuals suit the library
// best, with SFML 2.5 too.
TEST_F(StartUpWithout, TheServersFirstScreenWhereTheSecondIsOfAnotherDepth)
{
    const VirtualDisplay twoScreens({"-screen", "1", "800x600x16"});
    expectOpensAndDraws(twoScreens.name() + ".1");
}

// A GLX that refuses the context the GL library asks for: an indirect one, as
// over ssh -X, on a server that allows none.
TEST_F(StartUpWithout, AnOpenGLContextTheServerAccepts)
{
    Program program({"/usr/bin/env", "LIBGL_ALWAYS_INDIRECT=1", SPRITEBENCH_PATH}, root, sharedDisplay().name(),
                    Program::Input::DevNull);
    EXPECT_EQ(program.waitForExit(), 1);
    const std::string message = "spritebench: the X display " + sharedDisplay().name() +
                                " refused the OpenGL context that the program draws with (its GLX makes no context "
                                "of the kind the OpenGL library asked for: an indirect one, as over ssh -X or where "
                                "no GL driver loads).\n"
                                "Run the program on a display of the machine it runs on, or there under a virtual X "
                                "server:\n"
                                "    xvfb-run -a build/spritebench\n";
    const std::string& errors = program.errors();
    EXPECT_EQ(errors.find("X Error"), std::string::npos) << errors;
    ASSERT_GE(errors.size(), message.size()) << errors;
    EXPECT_EQ(errors.substr(errors.size() - message.size()), message);
    EXPECT_EQ(program.output(), "");
}

// An X server as some are: 16 bits deep (the 32 bits that the program asks
// for elsewhere pick a visual that X makes no window with there), wide,
// without RANDR (the library cannot read the screen's size) and with no
// window manager. The window opens centred and draws.
TEST_F(StartUpWithout, RandrOnAWideSixteenBitScreen)
{
    const VirtualDisplay odd({"-screen", "0", "1920x1080x16", "-extension", "RANDR"});
    expectOpensAndDraws(odd.name(), std::array<int, 4>{640, 300, 640, 480});
}

// SFML 2.5 makes the window wholly below a screen this wide, and waits for it
// to show before it returns.
TEST_F(StartUpWithout, AWindowManagerOnAVeryWideScreen)
{
    const VirtualDisplay wide({"-screen", "0", "3840x1080x24"});
    expectOpensAndDraws(wide.name(), std::array<int, 4>{1600, 300, 640, 480});
}

// Without X-Resource the program cannot tell its own window from others', so
// it moves none. SFML 2.5 would make it wholly below a screen this wide and
// wait for ever for it to show: the program says so first and exits with
// code 1. Any other SFML opens it where it shows, and it closes.
TEST_F(StartUpWithout, AWindowManagerOrXResourceOnAVeryWideScreen)
{
    const VirtualDisplay wide({"-screen", "0", "3840x1080x24", "-extension", "X-Resource"});
    if (SFML_VERSION_MAJOR == 2 && SFML_VERSION_MINOR < 6) {
        expectSaysAndExitsWithOne(
            wide.name(), "spritebench: on the X display " + wide.name() +
                             ", the SFML the program was built with (2.5) would open its window below the screen "
                             "(3840x1080, no window manager) and wait for ever for it to show, and the program "
                             "cannot move it into place: the X server lacks the X-Resource extension, which tells "
                             "the program's windows from others'.\n"
                             "Start a window manager on that display first, or build the program with SFML 2.6 or "
                             "newer.\n");
        return;
    }
    Program program({SPRITEBENCH_PATH}, root, wide.name(), Program::Input::DevNull);
    Desktop hands(wide.name());
    const WindowId window = hands.waitForWindowOf(program, windowTitle);
    ASSERT_NE(window, 0u) << program.errors();
    hands.askToClose(window);
    EXPECT_EQ(program.waitForExit(), 0) << program.errors();
}

// Without X-Resource the program cannot tell its own window from others' as
// it is made; on a screen where the library still shows part of it (SFML 2.5
// puts its top at 720 here, SFML 3 three quarters off the screen), the
// program moves it into place once the library has made it.
TEST_F(StartUpWithout, XResourceOnAWideScreen)
{
    const VirtualDisplay wide({"-screen", "0", "1920x1080x24", "-extension", "X-Resource"});
    Program program({SPRITEBENCH_PATH}, root, wide.name(), Program::Input::DevNull);
    Desktop hands(wide.name());
    const WindowId window = hands.waitForWindowOf(program, windowTitle);
    ASSERT_NE(window, 0u) << program.errors();
    EXPECT_TRUE(program.waitUntil([&] { return hands.placeOf(window)[1] == 300; }))
        << "still at " << hands.placeOf(window)[0] << "," << hands.placeOf(window)[1];
    EXPECT_EQ(hands.placeOf(window), (std::array<int, 4>{640, 300, 640, 480}));
    hands.askToClose(window);
    EXPECT_EQ(program.waitForExit(), 0) << program.errors();
}

// Connections that fill an X server's places for clients, all but `room` of
// them.
class OtherClients {
public:
    OtherClients(const std::string& display, int room)
    {
        while (Display* const connection = XOpenDisplay(display.c_str()))
            connections.push_back(connection);
        for (; room > 0 && !connections.empty(); --room) {
            XCloseDisplay(connections.back());
            connections.pop_back();
        }
    }
    ~OtherClients()
    {
        for (Display* const connection : connections)
            XCloseDisplay(connection);
    }
    OtherClients(const OtherClients&) = delete;
    OtherClients& operator=(const OtherClients&) = delete;

private:
    std::vector<Display*> connections;
};

// A server with few places for clients, all but two or one taken by others
// (the test's own connection among them), on a screen so wide that SFML 2.5
// makes the window wholly below it. With room for two connections, the
// program's own and the library's, the window opens in place and closes;
// with room for one, the program says so and exits with code 1 before the
// library would abort. The server's reason for the refused connection comes
// first, from the X library.
TEST_F(StartUpWithout, RoomForMoreClientsOnTheServer)
{
    const VirtualDisplay full({"-screen", "0", "3840x1080x24", "-maxclients", "64"});
    Desktop hands(full.name());
    {
        const OtherClients others(full.name(), 2);
        hands.sync();  // the server has seen the two go
        Program program({SPRITEBENCH_PATH}, root, full.name(), Program::Input::DevNull);
        const WindowId window = hands.waitForWindowOf(program, windowTitle);
        ASSERT_NE(window, 0u) << program.errors();
        EXPECT_EQ(hands.placeOf(window), (std::array<int, 4>{1600, 300, 640, 480}));
        hands.askToClose(window);
        EXPECT_EQ(program.waitForExit(), 0) << program.errors();
        EXPECT_TRUE(onlyLibraryMessages(program.errors()));
    }
    const OtherClients others(full.name(), 1);
    hands.sync();
    expectSaysAndExitsWithOne(full.name(),
                              "Maximum number of clients reached\n"
                              "spritebench: the X display " +
                                  full.name() +
                                  " takes no more clients: the program needs two connections to it (its own and "
                                  "the graphics library's), and its server let in only the first.\n"
                                  "Close another program on that display, or start its server with room for more "
                                  "clients (Xorg and Xvfb: -maxclients 512).\n");
}

// Another client that makes and destroys windows of the program's size at
// (5, 5), one after another, until it is stopped; it counts those that anyone
// moved.
class WindowMaker {
public:
    explicit WindowMaker(const std::string& display) : server(XOpenDisplay(display.c_str()))
    {
        if (!server)
            throw std::runtime_error("cannot open display " + display);
        maker = std::thread([this] {
            XSetWindowAttributes heard{};
            heard.event_mask = StructureNotifyMask;  // set as it is made: no move goes unheard
            while (!stopped) {
                const Window window = XCreateWindow(server, DefaultRootWindow(server), 5, 5, 640, 480, 0,
                                                    CopyFromParent, InputOutput, CopyFromParent, CWEventMask, &heard);
                XSync(server, False);
                XDestroyWindow(server, window);
                ++made;
            }
            XSync(server, False);
            for (XEvent event; XPending(server) > 0;) {
                XNextEvent(server, &event);
                if (event.type == ConfigureNotify)
                    ++moved;
            }
        });
    }
    ~WindowMaker()
    {
        stop();
        XCloseDisplay(server);
    }
    void stop()
    {
        stopped = true;
        if (maker.joinable())
            maker.join();
    }
    long made = 0, moved = 0;  // read once stopped

private:
    Display* server;
    std::atomic<bool> stopped{false};
    std::thread maker;
};

// Several copies start at once on a screen so wide that SFML 2.5 makes the
// window wholly below it, while another client makes and destroys windows of
// the same size: each copy moves its own window onto the screen and no other.
TEST_F(StartUpWithout, AWindowManagerWhileOthersMakeWindowsOfTheSameSize)
{
    const VirtualDisplay wide({"-screen", "0", "3840x1080x24"});
    Desktop hands(wide.name());
    WindowMaker other(wide.name());
    std::vector<std::unique_ptr<Program>> copies;
    for (int i = 0; i < 4; ++i)
        copies.push_back(std::make_unique<Program>(std::vector<std::string>{SPRITEBENCH_PATH}, root, wide.name(),
                                                   Program::Input::DevNull));
    const auto deadline = Clock::now() + patience;
    std::vector<WindowId> windows;
    while ((windows = hands.windowsTitled(windowTitle)).size() < copies.size() && Clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    // A window left below the screen is mapped too, and its copy waits for
    // ever: let the others' windows show in the meantime.
    std::this_thread::sleep_for(500ms);
    other.stop();
    EXPECT_GT(other.made, 0);
    EXPECT_EQ(other.moved, 0);
    windows = hands.windowsTitled(windowTitle);
    ASSERT_EQ(windows.size(), copies.size());
    for (const WindowId window : windows)
        EXPECT_EQ(hands.placeOf(window), (std::array<int, 4>{1600, 300, 640, 480}));
    for (const std::unique_ptr<Program>& copy : copies)
        EXPECT_EQ(copy->waitForExit(0s), std::nullopt) << copy->errors();
    for (const WindowId window : windows)
        hands.askToClose(window);
    for (const std::unique_ptr<Program>& copy : copies)
        EXPECT_EQ(copy->waitForExit(), 0) << copy->errors();
}

// A 24-bit screen offers 32 bits per pixel; a window larger than the screen
// starts at its top-left corner.
TEST(WindowFit, OnAScreenSmallerThanTheWindow)
{
    const VirtualDisplay low({"-screen", "0", "600x400x24"});
    const DisplayConnection display(XOpenDisplay(low.name().c_str()),
                                    [](void* opened) { XCloseDisplay(static_cast<Display*>(opened)); });
    ASSERT_TRUE(display);
    const WindowFit fit = fitOnScreen(display, {640, 480});
    EXPECT_EQ(fit.bitsPerPixel, 32u);
    EXPECT_EQ(fit.centredCorner, std::optional<sf::Vector2i>(sf::Vector2i(0, 0)));
}

}  // namespace
