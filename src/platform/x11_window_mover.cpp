#include "window_placement.h"
#include "x11_own_windows.h"

#include <xcb/xcb.h>

#include <poll.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

// SFML 2.5 makes a new window with its top at (screen width - window
// height) / 2, wholly below a wide screen, and after mapping it waits
// until X reports part of it visible, which X never does for a window off the
// screen. So the window is moved into place as soon as the server has made
// it, while the library is still at work.
//
// The watcher has an XCB connection of its own, used by its thread alone, and
// hears of every window made at the top level (SubstructureNotify on the root
// window, which any number of clients may select, unlike the window
// manager's SubstructureRedirect). It listens before the library starts, so
// that no window can be made unheard. Of the windows of the window's size, it
// moves the one that the X-Resource extension says a client of this process
// made, and no other: other programs (other copies of this one too) make
// windows of that size at the same moment. This process is the one that the
// server names for the watcher's own connection, so a program in another PID
// namespace finds its window too. Where the server cannot say whose a window
// is (no X-Resource, a client over TCP), nothing is moved, and
// windowWillShow has refused a window that would be lost. Every request
// whose error matters is checked, so an error (a window destroyed
// meanwhile, say) comes back here, not to Xlib's handler, which would end
// the process. Where a window manager runs, it places the window
// and this is not needed.
namespace {

using Connection = std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)>;

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

}  // namespace

void createInPlace(const WindowFit& fit, sf::Vector2u size, const std::function<void()>& create)
{
    int screenNumber = 0;
    Connection connection(fit.centredCorner ? xcb_connect(nullptr, &screenNumber) : nullptr, xcb_disconnect);
    if (connection && xcb_connection_has_error(connection.get()))
        connection.reset();
    const std::optional<std::uint32_t> process =
        connection ? thisProcessAsTheServerKnowsIt(connection.get()) : std::nullopt;
    if (!process) {
        create();
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const uint32_t listen = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t* const refused = xcb_request_check(
            connection.get(),
            xcb_change_window_attributes_checked(connection.get(), root, XCB_CW_EVENT_MASK, &listen))) {
        std::free(refused);
        create();
        return;
    }

    std::atomic<bool> created(false);
    std::thread mover([&] {
        xcb_connection_t* const server = connection.get();
        for (bool last = false; !last && !xcb_connection_has_error(server);) {
            // Once the library is done, everything it made has been reported
            // by the end of one more round trip.
            last = created;
            if (last)
                roundTrip(server);
            while (xcb_generic_event_t* const event = xcb_poll_for_event(server)) {
                const xcb_window_t window = ourWindowMade(server, root, size, *process, *event);
                std::free(event);
                if (window != XCB_NONE) {
                    moveWindow(server, window, *fit.centredCorner);
                    return;
                }
            }
            pollfd readable{xcb_get_file_descriptor(server), POLLIN, 0};
            poll(&readable, 1, 5);
        }
    });
    create();
    created = true;
    mover.join();
}
