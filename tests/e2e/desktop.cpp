#include "desktop.h"

#include "xlib_threads.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <thread>

namespace {

XErrorHandler defaultErrorHandler = nullptr;

// A window can go between the listing of the windows and a question about
// it (Wine makes short-lived ones while a program starts). Xlib's default
// handler would end the test on that error; this makes only the request fail.
int ignoreVanishedWindows(Display* display, XErrorEvent* error)
{
    return error->error_code == BadWindow ? 0 : defaultErrorHandler(display, error);
}

}  // namespace

Desktop::Desktop(const std::string& name)
{
    enableXlibThreads();
    if (const XErrorHandler previous = XSetErrorHandler(ignoreVanishedWindows); previous != ignoreVanishedWindows)
        defaultErrorHandler = previous;
    display = XOpenDisplay(name.c_str());
    if (!display)
        throw std::runtime_error("cannot open display " + name);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTEST extension");
}

Desktop::~Desktop() { XCloseDisplay(display); }

void Desktop::switchAutorepeatOff()
{
    XKeyboardControl control{};
    control.auto_repeat_mode = AutoRepeatModeOff;
    XChangeKeyboardControl(display, KBAutoRepeatMode, &control);
    sync();
}

bool Desktop::autorepeatIsOn()
{
    XKeyboardState state{};
    XGetKeyboardControl(display, &state);
    return state.global_auto_repeat == AutoRepeatModeOn;
}

namespace {

std::vector<Window> childrenOf(Display* display, Window parent)
{
    Window rootReturn = 0, parentReturn = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(display, parent, &rootReturn, &parentReturn, &children, &count);
    std::vector<Window> found(children, children + count);
    if (children)
        XFree(children);
    return found;
}

bool isTitled(Display* display, Window window, const std::string& title)
{
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name)
        return false;
    const bool same = title == name;
    XFree(name);
    return same;
}

}  // namespace

std::vector<WindowId> Desktop::windowsTitled(const std::string& title)
{
    std::vector<WindowId> found;
    // A window manager puts each window in a frame of its own.
    for (const Window topLevel : childrenOf(display, DefaultRootWindow(display))) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, topLevel, &attributes) || attributes.map_state != IsViewable)
            continue;
        if (isTitled(display, topLevel, title))
            found.push_back(topLevel);
        else
            for (const Window framed : childrenOf(display, topLevel))
                if (isTitled(display, framed, title))
                    found.push_back(framed);
    }
    return found;
}

WindowId Desktop::waitForWindow(const std::string& title, const std::function<bool()>& stillWaiting)
{
    while (stillWaiting()) {
        if (const std::vector<WindowId> found = windowsTitled(title); !found.empty())
            return found.front();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return 0;
}

WindowId Desktop::waitForWindowOf(Program& program, const std::string& title, Clock::duration limit)
{
    const auto deadline = Clock::now() + limit;
    return waitForWindow(title, [&] { return Clock::now() < deadline && !program.waitForExit(0s); });
}

void Desktop::takeFocusAway()
{
    XSetInputFocus(display, None, RevertToNone, CurrentTime);
    sync();
}

void Desktop::giveFocusTo(WindowId window)
{
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    sync();
}

bool Desktop::keyEventsGoSomewhere()
{
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display, &focus, &revertTo);
    return focus != None;
}

std::string Desktop::focusedTitle()
{
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display, &focus, &revertTo);
    char* name = nullptr;
    if (focus == None || focus == PointerRoot || !XFetchName(display, focus, &name) || !name)
        return "";
    const std::string title = name;
    XFree(name);
    return title;
}

bool Desktop::keycodeIsDown(unsigned keycode)
{
    char keys[32] = {};
    XQueryKeymap(display, keys);
    return keycode < 256 && (keys[keycode / 8] >> (keycode % 8)) & 1;
}

unsigned Desktop::keycodeOf(char key)
{
    const std::string name(1, key);
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(name.c_str()));
    if (!code)
        throw std::runtime_error("no key for " + name);
    return code;
}

void Desktop::holdKey(char key) { holdKeycode(keycodeOf(key)); }

void Desktop::releaseKey(char key) { releaseKeycode(keycodeOf(key)); }

void Desktop::holdKeycode(unsigned keycode)
{
    XTestFakeKeyEvent(display, keycode, True, CurrentTime);
    sync();
}

void Desktop::releaseKeycode(unsigned keycode)
{
    XTestFakeKeyEvent(display, keycode, False, CurrentTime);
    sync();
}

void Desktop::lockLayoutGroup(unsigned group)
{
    if (!XkbLockGroup(display, XkbUseCoreKbd, group))
        throw std::runtime_error("the X server has no XKB to lock a layout group with");
    sync();
}

void Desktop::movePointer(WindowId window, int x, int y)
{
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    sync();
}

void Desktop::askToClose(WindowId window)
{
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &message);
    sync();
}

Screenshot Desktop::grab(WindowId window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        throw std::runtime_error("the window is gone");
    const auto destroy = [](XImage* image) { XDestroyImage(image); };
    const std::unique_ptr<XImage, decltype(destroy)> image(
        XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap),
        destroy);
    if (!image)
        throw std::runtime_error("cannot read the window's pixels");

    // The byte of each colour, wherever the visual keeps it.
    const auto channel = [](unsigned long pixel, unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return static_cast<std::uint8_t>(((pixel >> shift) & mask) * 255 / (mask ? mask : 1));
    };
    const Visual* visual = attributes.visual;
    Screenshot shot;
    shot.width = attributes.width;
    shot.height = attributes.height;
    shot.pixels.reserve(static_cast<size_t>(shot.width * shot.height));
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const unsigned long pixel = XGetPixel(image.get(), x, y);
            shot.pixels.emplace_back(channel(pixel, visual->red_mask), channel(pixel, visual->green_mask),
                                     channel(pixel, visual->blue_mask));
        }
    return shot;
}

std::array<int, 4> Desktop::placeOf(WindowId window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        throw std::runtime_error("the window is gone");
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &left, &top, &child);
    return {left, top, attributes.width, attributes.height};
}

void Desktop::sync() { XSync(display, False); }
