#include "any_key_down.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <array>

std::function<bool()> anyKeyMayBeDownOn(const DisplayConnection& display)
{
    Display* const server = static_cast<Display*>(display.get());
    return [server] {
        // One bit per keycode, for every key of the keyboard, modifiers too:
        // the library's key test reads the same map for one key's bit.
        std::array<char, 32> keys{};
        XQueryKeymap(server, keys.data());
        return std::any_of(keys.begin(), keys.end(), [](char bits) { return bits != 0; });
    };
}
