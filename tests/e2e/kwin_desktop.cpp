#include "wayland_desktop.h"

#ifdef SPRITEBENCH_KWIN_FAKE_INPUT

#include "fake-input-client-protocol.h"

#include <systemd/sd-bus.h>
#include <wayland-client.h>

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace {

// KWin's fake input takes evdev keycodes from this version on.
constexpr uint32_t keyboardKeyVersion = 4;

// Of the options that keep a session small, those this KWin offers: KWin 6
// lists another set than 5.
// Qt makes /tmp/runtime-USER where XDG_RUNTIME_DIR is unset: `runtime` is
// the desktop's own.
std::vector<std::string> smallSessionOptions(const std::string& kwin, const std::filesystem::path& runtime)
{
    Program help({"/usr/bin/env", "XDG_RUNTIME_DIR=" + runtime.string(), kwin, "--help"}, "/", "",
                 Program::Input::DevNull);
    help.waitForExit();
    std::vector<std::string> offered;
    for (const char* option : {"--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"})
        if (help.output().find(std::string(option) + " ") != std::string::npos)
            offered.push_back(option);
    return offered;
}

class KWinDesktop : public WaylandDesktop {
public:
    explicit KWinDesktop(const std::string& layout)
    {
        namespace fs = std::filesystem;
        const fs::path config = runtimeDirectory / "config";
        fs::create_directories(config);
        std::ofstream(config / "kxkbrc") << "[Layout]\nLayoutList=" << layout << "\nUse=true\n";

        // KWin offers its fake input only to the programs that a desktop
        // file grants it to, by their path: this test program, quoted for a
        // path with spaces. KDE's service index (KService, which KWin asks)
        // takes in only the desktop files of an applications menu, which a
        // Plasma desktop installs: one that holds them all.
        fs::create_directories(config / "menus");
        std::ofstream(config / "menus" / "applications.menu")
            << "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
            << " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
            << "<Menu><Name>Applications</Name><DefaultAppDirs/><Include><All/></Include></Menu>\n";
        const fs::path applications = runtimeDirectory / "share" / "applications";
        fs::create_directories(applications);
        std::ofstream(applications / "spritebench-wayland-tests.desktop")
            << "[Desktop Entry]\nType=Application\nName=spritebench's Wayland tests\nNoDisplay=true\n"
            << "Exec=\"" << fs::read_symlink("/proc/self/exe").string() << "\"\n"
            << "X-KDE-Wayland-Interfaces=" << org_kde_kwin_fake_input_interface.name << "\n";

        // KWin ends when this ends; it lasts while KWin does.
        const fs::path session = runtimeDirectory / "session";
        std::ofstream(session) << "#!/bin/sh\n"
                               << "echo \"$WAYLAND_DISPLAY $DISPLAY ${XAUTHORITY:-.} .\" > \"$XDG_RUNTIME_DIR/ready\"\n"
                               << "while kill -0 \"$PPID\" 2>/dev/null; do sleep 1; done\n";
        fs::permissions(session, fs::perms::owner_all);

        // The installed binary carries a file capability, which a container
        // can refuse at exec ("Operation not permitted"); a copy runs without
        // it. KWin 5 takes its own Qt platform only under its own name.
        const fs::path kwin = runtimeDirectory / "kwin_wayland";
        fs::copy_file(programPath("kwin_wayland"), kwin);

        sessionBus = startSessionBus();
        std::vector<std::string> command = {"env",
                                            "DBUS_SESSION_BUS_ADDRESS=" + sessionBus,
                                            "HOME=" + runtimeDirectory.string(),
                                            "XDG_CONFIG_HOME=" + config.string(),
                                            "XDG_DATA_DIRS=" + (runtimeDirectory / "share").string() +
                                                ":/usr/local/share:/usr/share",
                                            kwin.string(),
                                            "--virtual",
                                            "--xwayland"};
        for (const std::string& option : smallSessionOptions(kwin, runtimeDirectory))
            command.push_back(option);
        command.insert(command.end(), {"--exit-with-session", session.string()});
        start(command);
        connect();
    }

    ~KWinDesktop() override
    {
        if (input)
            org_kde_kwin_fake_input_destroy(input);
        if (registry)
            wl_registry_destroy(registry);
        if (connection)
            wl_display_disconnect(connection);
    }

    void press(unsigned key) override { send(key, WL_KEYBOARD_KEY_STATE_PRESSED); }
    void release(unsigned key) override { send(key, WL_KEYBOARD_KEY_STATE_RELEASED); }

    // KWin switches its layout as a desktop's layout switcher asks it to,
    // over the session bus.
    void lockLayout(unsigned layout) override
    {
        sd_bus* bus = nullptr;
        sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C compound literal
        int switched = 0;
        const bool asked = sd_bus_new(&bus) >= 0 && sd_bus_set_address(bus, sessionBus.c_str()) >= 0 &&
                           sd_bus_set_bus_client(bus, 1) >= 0 && sd_bus_start(bus) >= 0;
        sd_bus_message* reply = nullptr;
        const bool done = asked &&
                          sd_bus_call_method(bus, "org.kde.keyboard", "/Layouts", "org.kde.KeyboardLayouts",
                                             "setLayout", &error, &reply, "u", layout) >= 0 &&
                          sd_bus_message_read(reply, "b", &switched) >= 0 && switched;
        const std::string why = error.message ? error.message : "";
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        sd_bus_flush_close_unref(bus);
        if (!done)
            throw std::runtime_error("KWin did not switch to layout " + std::to_string(layout) + ": " + why);
    }

private:
    void connect()
    {
        connection = wl_display_connect(waylandSocket.c_str());
        if (!connection)
            throw std::runtime_error("cannot connect to KWin at " + waylandSocket);
        registry = wl_display_get_registry(connection);
        static const wl_registry_listener listener = {
            [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
                auto* self = static_cast<KWinDesktop*>(data);
                if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 &&
                    version >= keyboardKeyVersion)
                    self->input = static_cast<org_kde_kwin_fake_input*>(
                        wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, keyboardKeyVersion));
            },
            [](void*, wl_registry*, uint32_t) {}};
        wl_registry_add_listener(registry, &listener, this);
        wl_display_roundtrip(connection);
        if (!input)
            throw std::runtime_error("KWin offers no fake input of version 4 to this program; its errors:\n" +
                                     compositor->errors());
        // KWin heeds a client's fake input once it has said who it is.
        org_kde_kwin_fake_input_authenticate(input, "spritebench's Wayland tests", "types the tests' keys");
        if (wl_display_roundtrip(connection) < 0)
            throw std::runtime_error("KWin refused the fake input");
    }

    void send(unsigned key, uint32_t state)
    {
        org_kde_kwin_fake_input_keyboard_key(input, key, state);
        if (wl_display_roundtrip(connection) < 0)
            throw std::runtime_error("the connection to KWin broke");
    }

    std::string sessionBus;
    wl_display* connection = nullptr;
    wl_registry* registry = nullptr;
    org_kde_kwin_fake_input* input = nullptr;
};

}  // namespace

std::string kwinIsMissing() { return missingPrograms({"kwin_wayland", "Xwayland", "dbus-daemon"}); }

std::unique_ptr<WaylandDesktop> startKWin(const std::string& layout)
{
    return std::make_unique<KWinDesktop>(layout);
}

#else

std::string kwinIsMissing()
{
    return "built without KWin's fake-input protocol (plasma-wayland-protocols, wayland-scanner)";
}

std::unique_ptr<WaylandDesktop> startKWin(const std::string&)
{
    throw std::logic_error("built without KWin's fake input");
}

#endif
