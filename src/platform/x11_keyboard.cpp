#include "keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <array>
#include <memory>
#include <vector>

// The library's key test on X11 is one XQueryKeymap round trip per key, and
// finds a key with XKeysymToKeycode, which looks through the first layout
// group of every key before any other: with two layouts and the second in
// use, the letters follow the first one's keys. Here one XQueryKeymap on the
// program's own connection answers the whole table, through a map from each
// table key to the keycode that shows its letter or digit in the active
// group. The map follows the group and the keymap through XKB's
// notifications, selected on this connection, which made no window and so
// gets no other events: the reply of each read brings the ones sent before
// it, and they are taken from the queue with no round trip.
namespace {

using Key = sf::Keyboard::Key;

struct TableKey {
    Key key;
    KeySym symbol;  // as the library names the key
    KeyCode code = 0;  // 0: no key shows it
};

class X11Keyboard {
public:
    explicit X11Keyboard(Display* server) : server(server)
    {
        int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
        if (XkbQueryExtension(server, &opcode, &xkbEvent, &error, &major, &minor)) {
            XkbSelectEvents(server, XkbUseCoreKbd, XkbMapNotifyMask | XkbNewKeyboardNotifyMask,
                            XkbMapNotifyMask | XkbNewKeyboardNotifyMask);
            XkbSelectEventDetails(server, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask, XkbGroupStateMask);
            readKeymap();
        } else {
            xkbEvent = -1;
        }
        findKeys();
    }
    ~X11Keyboard() { XkbFreeKeyboard(keymap, 0, True); }
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    void read()
    {
        // One bit per keycode, for every key of the keyboard.
        XQueryKeymap(server, bits.data());
        followChanges();
    }

    bool isDown(Key key) const
    {
        for (const TableKey& tableKey : keys)
            if (tableKey.key == key)
                return tableKey.code && (bits[tableKey.code / 8] >> (tableKey.code % 8)) & 1;
        return false;
    }

private:
    // The keymap and the group in use; the round trips of a change only.
    void readKeymap()
    {
        XkbFreeKeyboard(keymap, 0, True);
        keymap = XkbGetMap(server, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
        XkbStateRec state{};
        if (XkbGetState(server, XkbUseCoreKbd, &state) == Success)
            group = state.group;
    }

    // What the server has said of the keyboard up to the last read.
    void followChanges()
    {
        bool groupChanged = false, keymapChanged = false;
        for (int queued = XEventsQueued(server, QueuedAlready); queued > 0; --queued) {
            XEvent event;
            XNextEvent(server, &event);
            if (event.type == MappingNotify) {
                XRefreshKeyboardMapping(&event.xmapping);
                keymapChanged = true;
            } else if (event.type == xkbEvent) {
                const XkbEvent& told = reinterpret_cast<const XkbEvent&>(event);
                if (told.any.xkb_type == XkbStateNotify) {
                    group = told.state.group;
                    groupChanged = true;
                } else {
                    keymapChanged = true;
                }
            }
        }
        if (keymapChanged && xkbEvent >= 0)
            readKeymap();
        if (groupChanged || keymapChanged)
            findKeys();
    }

    void findKeys()
    {
        for (TableKey& key : keys) {
            key.code = 0;
            if (keymap)
                key.code = keyInGroup(key.symbol, group);
            if (!key.code)
                key.code = keymap ? firstKeyInAnyGroup(key.symbol) : XKeysymToKeycode(server, key.symbol);
        }
    }

    // The group that the server takes on `code` while `active` is in use,
    // for a key with fewer groups.
    int groupOnKey(KeyCode code, int active) const
    {
        const int groups = XkbKeyNumGroups(keymap, code);
        if (active < groups)
            return active;
        const unsigned char info = XkbKeyGroupInfo(keymap, code);
        switch (XkbOutOfRangeGroupAction(info)) {
        case XkbClampIntoRange:
            return groups - 1;
        case XkbRedirectIntoRange:
            return XkbOutOfRangeGroupNumber(info) < groups ? XkbOutOfRangeGroupNumber(info) : 0;
        default:
            return active % groups;
        }
    }

    // The key that shows `symbol` in `active` at the lowest level, the lowest
    // keycode among those: XKeysymToKeycode's order within one group.
    KeyCode keyInGroup(KeySym symbol, int active) const
    {
        for (int level = 0;; ++level) {
            bool anyKeyThatHigh = false;
            for (int code = keymap->min_key_code; code <= keymap->max_key_code; ++code) {
                if (!XkbKeyNumGroups(keymap, code))
                    continue;
                const int keyGroup = groupOnKey(static_cast<KeyCode>(code), active);
                if (level >= XkbKeyGroupWidth(keymap, code, keyGroup))
                    continue;
                anyKeyThatHigh = true;
                if (XkbKeySymEntry(keymap, code, level, keyGroup) == symbol)
                    return static_cast<KeyCode>(code);
            }
            if (!anyKeyThatHigh)
                return 0;
        }
    }

    // XKeysymToKeycode's own search, over this connection's fresh keymap:
    // the n-th symbol of every key, n from 0, the first group's first.
    KeyCode firstKeyInAnyGroup(KeySym symbol) const
    {
        for (int n = 0;; ++n) {
            bool anyKeyThatLong = false;
            for (int code = keymap->min_key_code; code <= keymap->max_key_code; ++code) {
                if (n >= XkbKeyNumSyms(keymap, code))
                    continue;
                anyKeyThatLong = true;
                if (XkbKeySym(keymap, code, n) == symbol)
                    return static_cast<KeyCode>(code);
            }
            if (!anyKeyThatLong)
                return 0;
        }
    }

    Display* const server;
    int xkbEvent = -1;  // -1: the server has no XKB
    XkbDescPtr keymap = nullptr;
    int group = 0;
    std::array<char, 32> bits{};
    std::vector<TableKey> keys{
        {Key::Q, XK_q},    {Key::W, XK_w},    {Key::E, XK_e},    {Key::A, XK_a},    {Key::S, XK_s},
        {Key::D, XK_d},    {Key::Num1, XK_1}, {Key::Num2, XK_2}, {Key::Num3, XK_3}, {Key::Num4, XK_4},
        {Key::Num5, XK_5}, {Key::Num6, XK_6}, {Key::Num7, XK_7}, {Key::Num8, XK_8}, {Key::Num9, XK_9},
        {Key::Z, XK_z},    {Key::X, XK_x},    {Key::C, XK_c},    {Key::V, XK_v},    {Key::B, XK_b},
        {Key::N, XK_n},    {Key::R, XK_r},    {Key::T, XK_t}};
};

}  // namespace

Keyboard keyboardOn(const DisplayConnection& display)
{
    const auto keyboard = std::make_shared<X11Keyboard>(static_cast<Display*>(display.get()));
    return {[keyboard] { keyboard->read(); }, [keyboard](Key key) { return keyboard->isDown(key); }};
}
