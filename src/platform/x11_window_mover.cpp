#include "window_placement.h"
#include "x11_own_windows.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <poll.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <thread>

// SFML 2.5 makes a new window with its top at (screen width - window
// height) / 2, wholly below a wide screen, and after mapping it waits
// until X reports part of it visible, which X never does for a window off the
// screen. So the window is moved into place as soon as the server has made
// it, while the library is still at work.
//
// The watcher uses the program's own connection, on its thread alone while
// the library makes the window over its own: an X server at its limit of
// clients may have room for these two and no more. It hears of every window
// made at the top level (SubstructureNotify on the root window, which any
// number of clients may select, unlike the window manager's
// SubstructureRedirect), from before the library starts, so that no window
// can be made unheard, and selects nothing on the root window again once it
// is done. Of the windows of the window's size, it moves the one that the
// X-Resource extension says a client of this process made, and no other:
// other programs (other copies of this one too) make windows of that size at
// the same moment. This process is the one that the server names for the
// program's connection, so a program in another PID namespace finds its
// window too. Where the server cannot say whose a window is (no X-Resource, a
// client over TCP), nothing is moved, and windowWillShow has refused a window
// that would be lost. The requests go through XCB, and every one whose error
// matters is checked, so an error (a window destroyed meanwhile, say) comes
// back here, not to Xlib's handler, which would end the process. Where a
// window manager runs, it places the window and this is not needed.
namespace {

// The window of `size` made at the top level by a client of `process` (as
// the server knows it) that `event` tells of; XCB_NONE where it tells of no
// such window.
xcb_window_t ourWindowMade(xcb_connection_t* connection, xcb_window_t root, sf::Vector2u size, std::uint32_t process,
                           const xcb_generic_event_t& event)
{
    if ((event.response_type & 0x7f) != XCB_CREATE_NOTIFY)
        return XCB_NONE;
    const auto& made = reinterpret_cast<const xcb_create_notify_event_t&>(event);
    const bool ours = made.parent == root && !made.override_redirect && made.width == size.x &&
                      made.height == size.y && madeByProcess(connection, made.window, process);
    return ours ? made.window : XCB_NONE;
}

void moveWindow(xcb_connection_t* connection, xcb_window_t window, sf::Vector2i corner)
{
    const uint32_t place[] = {static_cast<uint32_t>(corner.x), static_cast<uint32_t>(corner.y)};
    std::free(xcb_request_check(
        connection, xcb_configure_window_checked(connection, window,
                                                 XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place)));
}

// Returns once the server has handled every request made so far, and every
// event before its reply has arrived.
void roundTrip(xcb_connection_t* connection)
{
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

// Selects `events` of the root window for this client; false where the
// server refuses.
bool listenOnRoot(xcb_connection_t* connection, xcb_window_t root, uint32_t events)
{
    xcb_generic_error_t* const refused = xcb_request_check(
        connection, xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &events));
    const bool accepted = !refused;
    std::free(refused);
    return accepted;
}

}  // namespace

bool createInPlace(const DisplayConnection& display, const WindowFit& fit, sf::Vector2u size,
                   const std::function<void()>& create)
{
    Display* const server = static_cast<Display*>(display.get());
    xcb_connection_t* const connection = fit.centredCorner ? XGetXCBConnection(server) : nullptr;
    const std::optional<std::uint32_t> process =
        connection ? thisProcessAsTheServerKnowsIt(connection) : std::nullopt;
    const xcb_window_t root = RootWindow(server, DefaultScreen(server));
    if (!process || !listenOnRoot(connection, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY)) {
        create();
        return false;
    }

    std::atomic<bool> created(false), moved(false);
    std::thread mover([&] {
        for (bool last = false; !last && !xcb_connection_has_error(connection);) {
            // Once the library is done, everything it made has been reported
            // by the end of one more round trip.
            last = created;
            if (last)
                roundTrip(connection);
            while (xcb_generic_event_t* const event = xcb_poll_for_event(connection)) {
                const xcb_window_t window = ourWindowMade(connection, root, size, *process, *event);
                std::free(event);
                if (window != XCB_NONE) {
                    moveWindow(connection, window, *fit.centredCorner);
                    moved = true;
                    return;
                }
            }
            pollfd readable{xcb_get_file_descriptor(connection), POLLIN, 0};
            poll(&readable, 1, 5);
        }
    });
    create();
    created = true;
    mover.join();
    // The program's connection selected nothing on the root window before
    // (its keyboard's are XKB's own events), and leaves no event of the
    // watch behind for Xlib's queue.
    listenOnRoot(connection, root, 0);
    while (xcb_generic_event_t* const event = xcb_poll_for_event(connection))
        std::free(event);
    return moved;
}
