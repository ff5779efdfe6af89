#include "wayland_desktop.h"

#include <pwd.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace {

// The virtual-keyboard protocol (virtual-keyboard-unstable-v1, from wlroots),
// which no Debian 12 package ships: its interfaces as wayland-scanner would
// write them, for libwayland-client to marshal the requests.
const wl_message keyboardRequests[] = {
    {"keymap", "uhu", nullptr},
    {"key", "uuu", nullptr},
    {"modifiers", "uuuu", nullptr},
    {"destroy", "", nullptr},
};
enum KeyboardRequest { Keymap, Key, Modifiers, Destroy };
const wl_interface keyboardInterface = {"zwp_virtual_keyboard_v1", 1, 4, keyboardRequests, 0, nullptr};

const wl_interface* createTypes[] = {&wl_seat_interface, &keyboardInterface};
const wl_message managerRequests[] = {{"create_virtual_keyboard", "on", createTypes}};
const wl_interface managerInterface = {"zwp_virtual_keyboard_manager_v1", 1, 1, managerRequests, 0, nullptr};

constexpr uint32_t keymapFormatXkbV1 = 1;
constexpr unsigned evdevToXkb = 8;  // xkb keycodes are evdev's plus 8

class SwayDesktop : public WaylandDesktop {
public:
    explicit SwayDesktop(const std::string& layout)
    {
        // The Xwayland of a compositor started as another user lets in
        // this user's X clients by name.
        std::ofstream(runtimeDirectory / "config")
            << "exec sh -c 'xhost +si:localuser:" << userName() << " >/dev/null && "
            << "echo \"$WAYLAND_DISPLAY $DISPLAY ${XAUTHORITY:-.} .\" > \"$XDG_RUNTIME_DIR/ready\"'\n";
        std::vector<std::string> command;
        if (geteuid() == 0) {
            // sway refuses to run as root ("Unable to drop root"): nobody
            // is there on every system.
            const passwd* const nobody = getpwnam("nobody");
            if (!nobody)
                throw std::runtime_error("there is no user nobody to run sway as");
            handTo(nobody->pw_uid, nobody->pw_gid);
            command = {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                       "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups", "--"};
        }
        const std::vector<std::string> sway = {"env",
                                               "HOME=" + runtimeDirectory.string(),
                                               "WLR_BACKENDS=headless",
                                               "WLR_LIBINPUT_NO_DEVICES=1",
                                               "WLR_RENDERER=pixman",
                                               "sway",
                                               "--config",
                                               (runtimeDirectory / "config").string()};
        command.insert(command.end(), sway.begin(), sway.end());
        start(command);
        connect(layout);
    }

    ~SwayDesktop() override
    {
        if (keyboard)
            wl_proxy_marshal_flags(keyboard, Destroy, nullptr, 1, WL_MARSHAL_FLAG_DESTROY);
        if (state)
            xkb_state_unref(state);
        for (wl_proxy* proxy : {manager, reinterpret_cast<wl_proxy*>(seat), reinterpret_cast<wl_proxy*>(registry)})
            if (proxy)
                wl_proxy_destroy(proxy);
        if (connection)
            wl_display_disconnect(connection);
    }

    void press(unsigned key) override { send(key, true); }
    void release(unsigned key) override { send(key, false); }
    void lockLayout(unsigned layout) override
    {
        xkb_state_update_mask(state, xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED),
                              xkb_state_serialize_mods(state, XKB_STATE_MODS_LATCHED),
                              xkb_state_serialize_mods(state, XKB_STATE_MODS_LOCKED), 0, 0, layout);
        sendModifiers();
    }

private:
    static std::string userName()
    {
        const passwd* const user = getpwuid(geteuid());
        if (!user)
            throw std::runtime_error("this user has no name for xhost");
        return user->pw_name;
    }

    void connect(const std::string& layout)
    {
        connection = wl_display_connect(waylandSocket.c_str());
        if (!connection)
            throw std::runtime_error("cannot connect to sway at " + waylandSocket);
        registry = wl_display_get_registry(connection);
        static const wl_registry_listener listener = {
            [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
                auto* self = static_cast<SwayDesktop*>(data);
                if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat)
                    self->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
                if (std::strcmp(interface, managerInterface.name) == 0)
                    self->manager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &managerInterface, 1));
            },
            [](void*, wl_registry*, uint32_t) {}};
        wl_registry_add_listener(registry, &listener, this);
        wl_display_roundtrip(connection);
        if (!seat || !manager)
            throw std::runtime_error("sway offers no seat or no virtual keyboards");
        keyboard = wl_proxy_marshal_flags(manager, 0, &keyboardInterface, 1, 0, seat, nullptr);

        // The keymap a real keyboard of that layout has.
        xkb_context* const context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
        const xkb_rule_names names = {"evdev", "pc105", layout.c_str(), "", ""};
        xkb_keymap* const keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        xkb_context_unref(context);
        if (!keymap)
            throw std::runtime_error("xkbcommon has no keymap for layout " + layout);
        char* const text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        const size_t size = std::strlen(text) + 1;
        const int file = memfd_create("keymap", MFD_CLOEXEC);
        const bool written = file >= 0 && write(file, text, size) == static_cast<ssize_t>(size);
        std::free(text);
        state = xkb_state_new(keymap);
        xkb_keymap_unref(keymap);
        if (!written)
            throw std::runtime_error("cannot hand the keymap over");
        wl_proxy_marshal_flags(keyboard, Keymap, nullptr, 1, 0, keymapFormatXkbV1, file,
                               static_cast<uint32_t>(size));
        close(file);
        if (wl_display_roundtrip(connection) < 0)
            throw std::runtime_error("sway refused the virtual keyboard");
    }

    void send(unsigned key, bool down)
    {
        xkb_state_update_key(state, key + evdevToXkb, down ? XKB_KEY_DOWN : XKB_KEY_UP);
        wl_proxy_marshal_flags(keyboard, Key, nullptr, 1, 0, ++time, key, down ? 1u : 0u);
        sendModifiers();
    }

    // The layout in use goes with the modifiers.
    void sendModifiers()
    {
        wl_proxy_marshal_flags(keyboard, Modifiers, nullptr, 1, 0,
                               xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED),
                               xkb_state_serialize_mods(state, XKB_STATE_MODS_LATCHED),
                               xkb_state_serialize_mods(state, XKB_STATE_MODS_LOCKED),
                               xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE));
        if (wl_display_roundtrip(connection) < 0)
            throw std::runtime_error("the connection to sway broke");
    }

    wl_display* connection = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    wl_proxy* manager = nullptr;
    wl_proxy* keyboard = nullptr;
    xkb_state* state = nullptr;
    uint32_t time = 0;
};

}  // namespace

std::string swayIsMissing() { return missingPrograms({"sway", "Xwayland", "xhost", "setpriv"}); }

std::unique_ptr<WaylandDesktop> startSway(const std::string& layout)
{
    return std::make_unique<SwayDesktop>(layout);
}
