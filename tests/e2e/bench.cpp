#include "bench.h"

#include <SFML/Config.hpp>

#include <stdexcept>
#include <utility>

namespace {

const std::string windowTitle = programWindowTitle();

// Where the pointer moves to and fro, far from the sprite.
constexpr int pointerX = 600;
constexpr int pointerY = 450;

}  // namespace

std::string programWindowTitle()
{
    return "spritebench (SFML " + std::to_string(SFML_VERSION_MAJOR) + "." + std::to_string(SFML_VERSION_MINOR) +
           "." + std::to_string(SFML_VERSION_PATCH) + ")";
}

Bench::Bench(const std::string& display, const std::filesystem::path& workingDirectory,
             const Program::Streams& streams)
    : process({SPRITEBENCH_PATH}, workingDirectory, display, streams), hands(display)
{
    hands.switchAutorepeatOff();
    if (hands.autorepeatIsOn())
        throw std::runtime_error("key autorepeat is still on");
    programWindow = hands.waitForWindow(windowTitle, [this] { return !process.waitForExit(0s); });
    if (!programWindow)
        throw std::runtime_error("the program ended without a window; stderr: " + process.errors());
    traffic = std::make_unique<TrafficRecorder>(display, programWindow);

    // The window takes the focus itself once mapped: take it away only when
    // the loop runs, that is once frames are shown.
    settle();
    hands.takeFocusAway();
    hands.movePointer(programWindow, pointerX, pointerY);
    settle();
    if (hands.keyEventsGoSomewhere())
        throw std::runtime_error("a window still gets key events");
    atStart = traffic->mark();
}

Bench::~Bench()
{
    // Keys stay down on the server until released, whatever ended the test.
    release(std::string(held));
}

void Bench::hold(const std::string& keys)
{
    for (char key : keys) {
        hands.holdKey(key);
        held += key;
    }
}

void Bench::release(const std::string& keys)
{
    for (char key : keys) {
        hands.releaseKey(key);
        if (const auto at = held.find(key); at != std::string::npos)
            held.erase(at, 1);
    }
}

void Bench::nudgePointer()
{
    pointerRight = !pointerRight;
    hands.movePointer(programWindow, pointerX + (pointerRight ? 1 : 0), pointerY);
}

long Bench::keyStateReadsSinceStart() { return traffic->now().keyStateReads - atStart.keyStateReads; }

long Bench::passes()
{
    const long reads = keyStateReadsSinceStart();
    if (reads % rowsPerPass != 0)
        throw std::logic_error("a command pass is still running");
    return reads / rowsPerPass;
}

long Bench::motionEvents() { return traffic->now().motionEvents - atStart.motionEvents; }

void Bench::waitForPasses(const Traffic& since, long count)
{
    // A pass has ended when it has read the key state once for each row.
    const long reads = count * rowsPerPass;
    if (!process.waitUntil([&] { return traffic->now().keyStateReads >= since.keyStateReads + reads; }))
        throw std::runtime_error("fewer than " + std::to_string(count) + " command passes ended; output so far:\n" +
                                 process.output());
}

std::string Bench::pass(const std::string& keys, const std::string& typed)
{
    const size_t printed = process.output().size();
    const long passesBefore = passes();
    hold(keys);
    const Traffic before = traffic->mark();
    nudgePointer();
    // Typed once the pass runs: a long line would not fit in the pipe before.
    if (!typed.empty())
        process.type(typed);
    waitForPasses(before, 1);
    release(keys);
    settle();
    if (passes() != passesBefore + 1)
        throw std::runtime_error("one pointer motion ran " + std::to_string(passes() - passesBefore) +
                                 " command passes");
    return process.output().substr(printed);
}

void Bench::settle()
{
    const Traffic before = traffic->mark();
    const bool shown = process.waitUntil([&] { return traffic->now().framesShown >= before.framesShown + 2; });
    if (!shown)
        throw std::runtime_error("the program shows no new frames");
}

Screenshot Bench::picture()
{
    settle();
    return hands.grab(programWindow);
}

std::optional<int> Bench::close()
{
    askToClose();
    return process.waitForExit();
}

void Bench::askToClose() { hands.askToClose(programWindow); }

bool Bench::windowIsShown()
{
    bool firstLook = true;
    return hands.waitForWindow(windowTitle, [&] { return std::exchange(firstLook, false); }) != 0;
}
