#pragma once

#include "program.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

// A headless Wayland compositor of the test's own with its Xwayland, and a
// keyboard on its seat, which types as a plugged-in keyboard does: evdev
// keycodes, read through the compositor's keymap. Stopping it ends its
// Xwayland too.
class WaylandDesktop {
public:
    virtual ~WaylandDesktop();

    // ":N" of its Xwayland, for DISPLAY.
    const std::string& xDisplay() const { return xDisplayName; }
    // Its X authority file, where its Xwayland wants a cookie; empty if none.
    const std::string& xAuthority() const { return xAuthorityFile; }

    // `key` is an evdev keycode (<linux/input-event-codes.h>: KEY_1, ...).
    virtual void press(unsigned key) = 0;
    virtual void release(unsigned key) = 0;
    // Puts layout `layout` (0 for the first) of the keymap in use and keeps
    // it, as a desktop switching input source does.
    virtual void lockLayout(unsigned layout);

protected:
    WaylandDesktop();

    // Starts `command` (the compositor, given an XDG_RUNTIME_DIR of its own)
    // and waits until the file `ready` in that directory holds the Wayland
    // socket's and the X display's names, written by a command that the
    // compositor starts once its Xwayland runs.
    void start(const std::vector<std::string>& command);
    // Gives the compositor's runtime directory, config and all, to `user`.
    void handTo(uid_t user, gid_t group);
    // Starts a session bus of the desktop's own, for the compositor's
    // services; returns its address. It ends after the compositor.
    std::string startSessionBus();

    std::filesystem::path runtimeDirectory;
    std::string waylandSocket;  // its full path
    std::string xDisplayName;
    std::string xAuthorityFile;
    std::unique_ptr<Program> bus;
    std::unique_ptr<Program> compositor;

private:
    // Once the compositor has gone: its Xwayland, if still there, is ended,
    // and the lock and socket it leaves in /tmp removed.
    void endXServer();

    pid_t xServer = -1;  // its Xwayland, as its lock file names it
};

// The full path of the program `name` in PATH; empty where there is none.
std::string programPath(const std::string& name);
// What a compositor needs and this machine lacks, for a test's skip message;
// empty when all is there.
std::string missingPrograms(const std::vector<std::string>& names);

// sway (wlroots), its keyboard made over the virtual-keyboard protocol with
// the keymap of rules evdev, model pc105 and `layout` ("de", "us,de"...).
std::string swayIsMissing();
std::unique_ptr<WaylandDesktop> startSway(const std::string& layout);

// GNOME's mutter in a session bus of its own, its keyboard a RemoteDesktop
// session made at once and kept; mutter's keymap is its own (US).
std::string mutterIsMissing();
std::unique_ptr<WaylandDesktop> startMutter();

// KDE's KWin (--virtual) in a session bus of its own, with `layout` for its
// keymap, its keyboard KWin's fake input, which it grants to this test
// program by a desktop file.
std::string kwinIsMissing();
std::unique_ptr<WaylandDesktop> startKWin(const std::string& layout);
