#include "end_to_end_test.h"

#include <X11/Xlib.h>

#include <thread>

// While a prompt waits for a number, the window stays alive for the desktop:
// it answers the window manager's "are you alive?", closes on request, and is
// drawn again where another window uncovered it. Run under a real window
// manager, since the library answers that question only where one runs.
namespace {

const std::string openbox = "/usr/bin/openbox";

class WhilePromptWaits : public EndToEndTest {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(openbox))
            GTEST_SKIP() << openbox << " is not installed";
        x = XOpenDisplay(sharedDisplay().name().c_str());
        ASSERT_NE(x, nullptr);
        windowManager = std::make_unique<Program>(std::vector<std::string>{openbox, "--sm-disable"}, root,
                                                  sharedDisplay().name(), Program::Input::DevNull);
        const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
        ASSERT_TRUE(windowManager->waitUntil([&] { return hasProperty(DefaultRootWindow(x), check); }))
            << "openbox did not start: " << windowManager->errors();
        // It names itself before it takes windows in hand, and the library
        // waits for its window to be shown.
        ASSERT_TRUE(showsAWindow()) << "openbox shows no window: " << windowManager->errors();

        program = std::make_unique<Program>(std::vector<std::string>{SPRITEBENCH_PATH}, root,
                                            sharedDisplay().name(), Program::Input::Typed);
        Desktop hands(sharedDisplay().name());
        window = hands.waitForWindowOf(*program, windowTitle);
        ASSERT_NE(window, 0u) << "no window; the program's errors: " << program->errors()
                              << "; openbox's: " << windowManager->errors();
        ASSERT_TRUE(comesToShow(upright()));

        // W held while the pointer moves over the window: W's prompt waits.
        hands.holdKey('w');
        for (int step = 0; !program->waitForOutput("setX(x): \nx = ", 100ms) && step < 200; ++step)
            hands.movePointer(window, 300 + step % 2, 300);
        hands.releaseKey('w');
        ASSERT_EQ(program->output(), "setX(x): \nx = ");
    }

    void TearDown() override
    {
        program.reset();
        windowManager.reset();
        if (x) {
            // An ended openbox leaves its name on the root window, naming a
            // window that is gone, for the next test to take as a window
            // manager that runs.
            XDeleteProperty(x, DefaultRootWindow(x), XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False));
            XCloseDisplay(x);
        }
    }

    bool hasProperty(Window on, Atom property)
    {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, left = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(x, on, property, 0, 1, False, AnyPropertyType, &type, &format, &items, &left, &data);
        if (data)
            XFree(data);
        return type != None;
    }

    // Whether a window of the test's own is shown within `patience`. A
    // window manager that is still starting throws away a request to show a
    // window that comes before it scans the windows there (a window not yet
    // shown is not among them), so the request is made again until one is
    // heard.
    bool showsAWindow()
    {
        const Window probe = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 10, 10, 0, 0, 0);
        XWindowAttributes attributes{};
        const auto shown = [&] {
            return XGetWindowAttributes(x, probe, &attributes) && attributes.map_state == IsViewable;
        };
        const auto deadline = Clock::now() + patience;
        while (!shown() && Clock::now() < deadline) {
            XMapWindow(x, probe);
            windowManager->waitUntil(shown, 100ms);
        }
        const bool wasShown = shown();
        XDestroyWindow(x, probe);
        XSync(x, False);
        return wasShown;
    }

    // Looks at the window until it shows `look`, for at most a few seconds.
    ::testing::AssertionResult comesToShow(const SpriteLook& look)
    {
        Desktop hands(sharedDisplay().name());
        const auto deadline = Clock::now() + 5s;
        for (;;) {
            ::testing::AssertionResult verdict = showsOnly(hands.grab(window), look);
            if (verdict || Clock::now() > deadline)
                return verdict;
            std::this_thread::sleep_for(20ms);
        }
    }

    Display* x = nullptr;
    std::unique_ptr<Program> windowManager;
    std::unique_ptr<Program> program;
    WindowId window = 0;
};

TEST_F(WhilePromptWaits, TheWindowAnswersTheWindowManagersPing)
{
    // As a window manager asks: a _NET_WM_PING to the window, which sends it
    // back to the root window.
    const Window rootWindow = DefaultRootWindow(x);
    XSelectInput(x, rootWindow, SubstructureNotifyMask);
    const Atom ping = XInternAtom(x, "_NET_WM_PING", False);
    const long stamp = 4242;
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(ping);
    message.xclient.data.l[1] = stamp;
    message.xclient.data.l[2] = static_cast<long>(window);
    const auto asked = Clock::now();
    XSendEvent(x, window, False, NoEventMask, &message);
    XFlush(x);

    bool answered = false;
    while (!answered && Clock::now() < asked + 5s) {
        XEvent event{};
        if (!XCheckTypedWindowEvent(x, rootWindow, ClientMessage, &event)) {
            std::this_thread::sleep_for(1ms);
            continue;
        }
        answered = static_cast<Atom>(event.xclient.data.l[0]) == ping && event.xclient.data.l[1] == stamp &&
                   static_cast<Window>(event.xclient.data.l[2]) == window;
    }
    ASSERT_TRUE(answered) << "no answer to the ping in 5 s";
    std::cout << "ping answered in "
              << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked).count() << " ms\n";
    EXPECT_EQ(program->output(), "setX(x): \nx = ");
}

TEST_F(WhilePromptWaits, ACloseRequestEndsTheProgramAndTheCommandDoesNothing)
{
    Desktop(sharedDisplay().name()).askToClose(window);
    EXPECT_EQ(program->waitForExit(), 0) << program->errors();
    EXPECT_EQ(program->output(), "setX(x): \nx = \n");
    EXPECT_TRUE(onlyLibraryMessages(program->errors()));
}

TEST_F(WhilePromptWaits, APartThatAnotherWindowUncoversIsDrawnAgain)
{
    // A black window over the program's, outside the window manager's care,
    // then gone.
    Window lid = 0, child = 0;
    int left = 0, top = 0;
    XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &left, &top, &child);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(x, DefaultScreen(x));
    lid = XCreateWindow(x, DefaultRootWindow(x), left, top, 640, 480, 0, CopyFromParent, InputOutput, CopyFromParent,
                        CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(x, lid);
    XSync(x, False);
    std::this_thread::sleep_for(200ms);
    XDestroyWindow(x, lid);
    XSync(x, False);

    EXPECT_TRUE(comesToShow(upright()));
    program->type("250\n");
    SpriteLook moved = upright();
    moved.centreX = 250;
    EXPECT_TRUE(comesToShow(moved)) << "the number still moves the sprite";
}

}  // namespace
