// ping_window TITLE COUNT: waits up to 10 s for a window whose title starts
// with TITLE, then asks it COUNT times, 100 ms apart, whether it is alive, as
// a window manager does: a _NET_WM_PING message, which a live window sends
// back to the root window. Prints the median and the longest time to an
// answer in milliseconds, then how many were answered; a ping not answered
// within 2 s counts as unanswered (and its time as 2000).
#include "top_level_window.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void sendPing(Display* display, Window window, long stamp)
{
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "_NET_WM_PING", False));
    message.xclient.data.l[1] = stamp;
    message.xclient.data.l[2] = static_cast<long>(window);
    XSendEvent(display, window, False, NoEventMask, &message);
    XFlush(display);
}

// Milliseconds until the answer to `stamp` comes back to the root window,
// at most `limit`.
double awaitAnswer(Display* display, long stamp, Clock::time_point asked, Clock::duration limit)
{
    const Window root = DefaultRootWindow(display);
    while (Clock::now() < asked + limit) {
        XEvent event{};
        if (XCheckTypedWindowEvent(display, root, ClientMessage, &event) && event.xclient.data.l[1] == stamp)
            return std::chrono::duration<double, std::milli>(Clock::now() - asked).count();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return std::chrono::duration<double, std::milli>(limit).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: ping_window TITLE COUNT\n";
        return 2;
    }
    const std::string title = argv[1];
    const int count = std::stoi(argv[2]);
    if (count < 1) {
        std::cerr << "ping_window: COUNT must be at least 1\n";
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::cerr << "ping_window: cannot open the X display\n";
        return 2;
    }
    const Window window = waitForTopLevelWindow(display, title, 10);
    if (!window) {
        std::cerr << "ping_window: no window titled \"" << title << "\"\n";
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    constexpr auto limit = std::chrono::seconds(2);
    std::vector<double> times;
    int answered = 0;
    for (long stamp = 1; stamp <= count; ++stamp) {
        const auto asked = Clock::now();
        sendPing(display, window, stamp);
        times.push_back(awaitAnswer(display, stamp, asked, limit));
        answered += times.back() < std::chrono::duration<double, std::milli>(limit).count();
        std::this_thread::sleep_until(asked + std::chrono::milliseconds(100));
    }
    std::sort(times.begin(), times.end());
    std::cout << std::fixed << std::setprecision(1) << times[times.size() / 2] << " " << times.back() << " " << answered << "\n";
    XCloseDisplay(display);
    return 0;
}
