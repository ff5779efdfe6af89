#include "wayland_desktop.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

// Where an X server of display ":N" writes its process id.
std::string xLockFile(const std::string& display) { return "/tmp/.X" + display.substr(1) + "-lock"; }

}  // namespace

WaylandDesktop::WaylandDesktop()
{
    char pattern[] = "/tmp/spritebench-wayland-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("cannot make a runtime directory");
    runtimeDirectory = pattern;
}

WaylandDesktop::~WaylandDesktop()
{
    compositor.reset();
    endXServer();
    bus.reset();
    std::error_code ignored;
    std::filesystem::remove_all(runtimeDirectory, ignored);
}

void WaylandDesktop::handTo(uid_t user, gid_t group)
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator(runtimeDirectory))
        if (chown(entry.path().c_str(), user, group) != 0)
            throw std::runtime_error("cannot hand " + entry.path().string() + " over");
    if (chown(runtimeDirectory.c_str(), user, group) != 0)
        throw std::runtime_error("cannot hand the runtime directory over");
}

std::string WaylandDesktop::startSessionBus()
{
    // Its socket in the desktop's own directory, not in /tmp.
    bus = std::make_unique<Program>(
        std::vector<std::string>{"/usr/bin/env", "dbus-daemon", "--session", "--nofork", "--print-address=1",
                                 "--address=unix:path=" + (runtimeDirectory / "bus").string()},
        runtimeDirectory, "", Program::Input::DevNull);
    if (!bus->waitForOutput("\n"))
        throw std::runtime_error("dbus-daemon gave no address: " + bus->errors());
    return bus->output().substr(0, bus->output().size() - 1);
}

void WaylandDesktop::start(const std::vector<std::string>& command)
{
    // Started by the tests from a desktop of their own, the compositor must
    // not make itself a window there.
    std::vector<std::string> line = {"/usr/bin/env", "-u", "WAYLAND_DISPLAY",
                                     "XDG_RUNTIME_DIR=" + runtimeDirectory.string()};
    line.insert(line.end(), command.begin(), command.end());
    compositor = std::make_unique<Program>(line, runtimeDirectory, "", Program::Input::DevNull);
    const std::filesystem::path ready = runtimeDirectory / "ready";
    std::string names;
    compositor->waitUntil([&] {
        if (compositor->waitForExit(0s))
            return true;
        std::ifstream file(ready);
        std::getline(file, names);
        return !names.empty() && names.back() == '.';
    });
    if (names.empty())
        throw std::runtime_error("the compositor did not start its Xwayland; its errors:\n" +
                                 compositor->errors());
    std::istringstream words(names);
    std::string socket;
    words >> socket >> xDisplayName >> xAuthorityFile;
    waylandSocket = (runtimeDirectory / socket).string();
    if (xAuthorityFile == ".")
        xAuthorityFile.clear();
    std::ifstream(xLockFile(xDisplayName)) >> xServer;
}

void WaylandDesktop::endXServer()
{
    if (xServer <= 0)
        return;
    const auto gone = [&] { return kill(xServer, 0) != 0 && errno == ESRCH; };
    for (int signal : {0, SIGTERM, SIGKILL}) {
        if (signal)
            kill(xServer, signal);
        for (int tries = 0; tries < 100 && !gone(); ++tries)
            std::this_thread::sleep_for(20ms);
        if (gone())
            break;
    }
    pid_t named = -1;
    std::ifstream(xLockFile(xDisplayName)) >> named;
    if (named != xServer)
        return;  // another server's by now, or removed already
    std::error_code ignored;
    std::filesystem::remove(xLockFile(xDisplayName), ignored);
    std::filesystem::remove("/tmp/.X11-unix/X" + xDisplayName.substr(1), ignored);
}

void WaylandDesktop::lockLayout(unsigned) { throw std::logic_error("this desktop keeps its own layout"); }

std::string programPath(const std::string& name)
{
    const char* const path = std::getenv("PATH");
    std::istringstream directories(path ? path : "/usr/bin:/bin");
    for (std::string directory; std::getline(directories, directory, ':');)
        if (access((directory + "/" + name).c_str(), X_OK) == 0)
            return directory + "/" + name;
    return "";
}

std::string missingPrograms(const std::vector<std::string>& names)
{
    std::string missing;
    for (const std::string& name : names)
        if (programPath(name).empty())
            missing += (missing.empty() ? "" : ", ") + name;
    return missing.empty() ? "" : "not installed: " + missing;
}
