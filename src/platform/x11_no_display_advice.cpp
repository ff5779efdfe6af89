#include "x11_no_display_advice.h"

#include <cstdlib>
#include <ostream>
#include <string>
#include <sys/stat.h>

namespace {

// A Wayland session names its compositor's socket in WAYLAND_DISPLAY; where
// that is unset, the compositor's usual socket may still be there.
bool onWaylandDesktop()
{
    const char* const named = std::getenv("WAYLAND_DISPLAY");
    if (named && *named)
        return true;
    const char* const runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
        return false;
    struct stat socket {};
    return stat((std::string(runtime) + "/wayland-0").c_str(), &socket) == 0 && S_ISSOCK(socket.st_mode);
}

}  // namespace

void adviseWithoutDisplay(std::ostream& problems)
{
    if (onWaylandDesktop()) {
        problems << "spritebench: no X display, on a Wayland desktop. The program runs on Wayland desktops\n"
                    "through Xwayland, the X server that the compositor starts for X programs, and none\n"
                    "is running (DISPLAY is unset or cannot be opened).\n"
                    "Install the xwayland package; on sway, put \"xwayland enable\" in its configuration\n"
                    "and restart it; GNOME and KDE start Xwayland on their own once it is installed.\n";
        return;
    }
    problems << "spritebench: no X display (DISPLAY is unset or cannot be opened).\n"
                "Run it on a desktop, or without one under a virtual X server:\n"
                "    xvfb-run -a build/spritebench\n";
}
