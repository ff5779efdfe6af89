#include "wayland_desktop.h"

#include <linux/input-event-codes.h>
#include <systemd/sd-bus.h>

#include <cstring>
#include <stdexcept>
#include <thread>

namespace {

const char* const remoteDesktop = "org.gnome.Mutter.RemoteDesktop";

class MutterDesktop : public WaylandDesktop {
public:
    MutterDesktop()
    {
        // The session bus carries the test's keyboard too.
        const std::string address = startSessionBus();
        // mutter ends when the command it starts ends: this one lasts while
        // mutter does.
        start({"env", "DBUS_SESSION_BUS_ADDRESS=" + address, "mutter", "--headless", "--wayland",
               "--virtual-monitor", "1280x800", "--", "sh", "-c",
               "echo \"$WAYLAND_DISPLAY $DISPLAY ${XAUTHORITY:-.} .\" > \"$XDG_RUNTIME_DIR/ready\"; "
               "while kill -0 \"$PPID\" 2>/dev/null; do sleep 1; done"});
        connectKeyboard(address);
    }

    ~MutterDesktop() override
    {
        if (connection)
            sd_bus_flush_close_unref(connection);
    }

    void press(unsigned key) override { send(key, true); }
    void release(unsigned key) override { send(key, false); }

private:
    // A keyboard made for one tap loses that first press: mutter announces
    // the new device only when it comes, and Xwayland sees its release alone.
    // So it is made once, before the program starts, and kept, as a real one is.
    // Newer mutter (50) makes the session's device only at its first event,
    // so a Shift tap, which no window sees, makes it here.
    void connectKeyboard(const std::string& address)
    {
        if (sd_bus_new(&connection) < 0 || sd_bus_set_address(connection, address.c_str()) < 0 ||
            sd_bus_set_bus_client(connection, 1) < 0 || sd_bus_start(connection) < 0)
            throw std::runtime_error("cannot connect to the session bus at " + address);
        // mutter may start its command before it has taken its bus names.
        compositor->waitUntil([&] { return remoteDesktopIsThere() || compositor->waitForExit(0s); });
        sd_bus_message* reply = nullptr;
        const char* path = nullptr;
        call("/org/gnome/Mutter/RemoteDesktop", remoteDesktop, "CreateSession", &reply, "");
        if (sd_bus_message_read(reply, "o", &path) < 0)
            throw std::runtime_error("CreateSession answered no session");
        session = path;
        sd_bus_message_unref(reply);
        // The session's object comes a moment after mutter has named it.
        compositor->waitUntil([&] {
            return sd_bus_call_method(connection, remoteDesktop, session.c_str(),
                                      "org.gnome.Mutter.RemoteDesktop.Session", "Start", nullptr, nullptr, "") >= 0 ||
                   compositor->waitForExit(0s);
        });
        if (compositor->waitForExit(0s))
            throw std::runtime_error("mutter ended; its errors:\n" + compositor->errors());
        press(KEY_LEFTSHIFT);
        release(KEY_LEFTSHIFT);
    }

    bool remoteDesktopIsThere()
    {
        sd_bus_message* reply = nullptr;
        int owned = 0;
        const bool asked = sd_bus_call_method(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                              "org.freedesktop.DBus", "NameHasOwner", nullptr, &reply, "s",
                                              remoteDesktop) >= 0 &&
                           sd_bus_message_read(reply, "b", &owned) >= 0;
        sd_bus_message_unref(reply);
        return asked && owned;
    }

    void send(unsigned key, bool down)
    {
        call(session.c_str(), "org.gnome.Mutter.RemoteDesktop.Session", "NotifyKeyboardKeycode", nullptr, "ub",
             key, down ? 1 : 0);
    }

    template <typename... Arguments>
    void call(const char* object, const char* interface, const char* method, sd_bus_message** reply,
              const char* types, Arguments... arguments)
    {
        sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C compound literal
        const int result = sd_bus_call_method(connection, remoteDesktop, object, interface, method, &error, reply,
                                              types, arguments...);
        const std::string message = error.message ? error.message : "";
        sd_bus_error_free(&error);
        if (result < 0)
            throw std::runtime_error(std::string(method) + " failed: " + message + "; mutter's errors:\n" +
                                     compositor->errors());
    }

    sd_bus* connection = nullptr;
    std::string session;
};

}  // namespace

std::string mutterIsMissing() { return missingPrograms({"mutter", "Xwayland", "dbus-daemon"}); }

std::unique_ptr<WaylandDesktop> startMutter() { return std::make_unique<MutterDesktop>(); }
