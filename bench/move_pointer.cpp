// move_pointer TITLE RATE SECONDS [KEY]: waits up to 10 s for a shown top-level
// window whose title starts with TITLE, then moves the pointer over it to and
// fro by one pixel, RATE times a second for SECONDS, as a fast mouse would
// (XTest). Each move is sent at its own time from the start, so a late one is
// made up for at once and the rate holds on a loaded machine. With KEY (a
// keysym name: Shift_L, 1...), holds that key down meanwhile, autorepeat off
// so that it adds no events of its own. Prints the moves made per second.
#include "top_level_window.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <iostream>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::cerr << "usage: move_pointer TITLE RATE SECONDS [KEY]\n";
        return 2;
    }
    const std::string title = argv[1];
    const double rate = std::stod(argv[2]);
    const double seconds = std::stod(argv[3]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::cerr << "move_pointer: cannot open the X display\n";
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    Window window = 0;
    XWindowAttributes attributes{};
    while (!((window = findTopLevelWindow(display, title)) && XGetWindowAttributes(display, window, &attributes) &&
             attributes.map_state == IsViewable) &&
           Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!window || attributes.map_state != IsViewable) {
        std::cerr << "move_pointer: no shown window titled \"" << title << "\"\n";
        return 1;
    }
    // Near the window's bottom right corner, far from the sprite.
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), attributes.width - 40,
                          attributes.height - 30, &x, &y, &child);

    KeyCode held = 0;
    if (argc > 4) {
        held = XKeysymToKeycode(display, XStringToKeysym(argv[4]));
        if (!held) {
            std::cerr << "move_pointer: no key for " << argv[4] << "\n";
            return 2;
        }
        XAutoRepeatOff(display);
        XTestFakeKeyEvent(display, held, True, CurrentTime);
    }

    const auto period = std::chrono::duration<double>(1 / rate);
    const long moves = static_cast<long>(rate * seconds);
    const auto start = Clock::now();
    for (long i = 0; i < moves; ++i) {
        std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(period * i));
        XTestFakeMotionEvent(display, DefaultScreen(display), x + static_cast<int>(i % 2), y, CurrentTime);
        XFlush(display);
    }
    if (held)
        XTestFakeKeyEvent(display, held, False, CurrentTime);
    XSync(display, False);
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    std::cout << moves / took << "\n";
    XCloseDisplay(display);
    return 0;
}
