#include "screen.h"

#include <X11/Xlib.h>

#include <poll.h>

#include <atomic>
#include <thread>

// SFML 2.5 makes a new window with its top at (screen width - window
// height) / 2, wholly below a wide screen, and after mapping it waits
// until X reports part of it visible, which X never does for a window off the
// screen. So the window is moved into place as soon as the server has made
// it, while the library is still at work.
//
// The watcher has a connection of its own, used by its thread alone, and
// hears of every window made at the top level (SubstructureNotify on the root
// window, which any number of clients may select, unlike the window
// manager's SubstructureRedirect). It listens before the library starts, so
// that no window can be made unheard, and takes the first one made of the
// window's size. Where a window manager runs, it places the window and this
// is not needed.
void createInPlace(const WindowFit& fit, sf::Vector2u size, const std::function<void()>& create)
{
    Display* const display = fit.centredCorner ? XOpenDisplay(nullptr) : nullptr;
    if (!display) {
        create();
        return;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    std::atomic<bool> created(false);
    std::thread mover([&] {
        for (bool last = false; !last;) {
            // Once the library is done, everything it made has been reported
            // by the end of one more round trip.
            last = created;
            if (last)
                XSync(display, False);
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                const XCreateWindowEvent& made = event.xcreatewindow;
                if (event.type == CreateNotify && made.parent == root && !made.override_redirect &&
                    static_cast<unsigned>(made.width) == size.x && static_cast<unsigned>(made.height) == size.y) {
                    XMoveWindow(display, made.window, fit.centredCorner->x, fit.centredCorner->y);
                    XSync(display, False);
                    return;
                }
            }
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, 5);
        }
    });
    create();
    created = true;
    mover.join();
    XCloseDisplay(display);
}
