// What one event costs the program beyond reading the keys: the time of one
// command pass (runCommandPass with the real key state, no key down) against
// the one whole-keyboard read that every pass makes anyway, on a connection
// opened as the program opens its own. A window stays open so that
// the keys are read from its display. The two are timed in alternating
// rounds; prints the median time of each per event, that of the pass alone
// with every key read answered at once, no X involved, and, for comparison,
// that of the library's own 23 key tests (what a pass with some key down
// made before it read the keyboard once for all of them):
//     pass_us <microseconds>
//     bare_us <microseconds>
//     ratio <median of the per-round ratios>
//     alone_us <microseconds>
//     tests_us <microseconds>
#include "commands.h"
#include "keyboard.h"
#include "SpriteObject.h"
#include "sfml_compat.h"

#include <SFML/Graphics.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <vector>

// Xlib's, declared alone: its header's macros (None...) clash with SFML's names.
extern "C" int XQueryKeymap(struct _XDisplay* display, char keys[32]);

namespace {

using Key = sf::Keyboard::Key;

// The keys of the command table, in its order.
const Key tableKeys[] = {Key::Q,    Key::W,    Key::E,    Key::A,    Key::S,    Key::D,    Key::Num1, Key::Num2,
                         Key::Num3, Key::Num4, Key::Num5, Key::Num6, Key::Num7, Key::Num8, Key::Num9, Key::Z,
                         Key::X,    Key::C,    Key::V,    Key::B,    Key::N,    Key::R,    Key::T};
static_assert(std::size(tableKeys) == 23);

template <typename Work>
double microsecondsPerCall(int calls, Work work)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i)
        work();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / calls;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 41;
    const int callsPerRound = argc > 2 ? std::atoi(argv[2]) : 100;

    // The program's own connection, opened the program's way.
    const DisplayConnection display = openDisplay(std::cerr);
    if (!display)
        return 1;
    sf::RenderWindow window;
    compat::createWindow(window, display, 640, 480, "command pass cost", sf::Style::Default,
                         sf::ContextSettings{0, 0, 0, 2, 0});
    SpriteObject object;
    float dalpha = 0;
    float angle = 0;
    std::istringstream in;
    std::ostringstream out;
    const Keyboard keyboard = keyboardOn(display);
    auto* const server = static_cast<_XDisplay*>(display.get());
    int keysDown = 0;

    const auto pass = [&] { runCommandPass(&object, dalpha, angle, keyboard, in, out); };
    const auto bare = [&] {
        std::array<char, 32> keys{};
        XQueryKeymap(server, keys.data());
        keysDown += std::any_of(keys.begin(), keys.end(), [](char bits) { return bits != 0; });
    };
    const auto tests = [&] {
        for (Key key : tableKeys)
            keysDown += sf::Keyboard::isKeyPressed(key);
    };

    std::vector<double> passTimes, bareTimes, ratios;
    for (int round = 0; round < rounds; ++round) {
        while (compat::pollEvent(window) != compat::Event::None) {
        }
        double passTime, bareTime;
        if (round % 2) {
            bareTime = microsecondsPerCall(callsPerRound, bare);
            passTime = microsecondsPerCall(callsPerRound, pass);
        } else {
            passTime = microsecondsPerCall(callsPerRound, pass);
            bareTime = microsecondsPerCall(callsPerRound, bare);
        }
        passTimes.push_back(passTime);
        bareTimes.push_back(bareTime);
        ratios.push_back(passTime / bareTime);
    }

    // A key held down would have made the pass prompt and the figures meaningless.
    if (keysDown || !out.str().empty()) {
        std::cerr << "command_pass_cost: a key was down during the run\n";
        return 1;
    }
    const Keyboard noKeyDown{[] {}, [](Key) { return false; }};
    const double alone =
        microsecondsPerCall(1000000, [&] { runCommandPass(&object, dalpha, angle, noKeyDown, in, out); });
    const double testsTime = microsecondsPerCall(callsPerRound * 10, tests);
    if (keysDown) {
        std::cerr << "command_pass_cost: a key was down during the run\n";
        return 1;
    }

    std::cout << "pass_us " << median(passTimes) << "\nbare_us " << median(bareTimes) << "\nratio "
              << median(ratios) << "\nalone_us " << alone << "\ntests_us " << testsTime << "\n";
    return 0;
}
