#include "bench.h"

#include <SFML/Config.hpp>

#include <stdexcept>
#include <utility>

// The program's window names the SFML it was built with, the same as the tests'.
const std::string windowTitle = "spritebench (SFML " + std::to_string(SFML_VERSION_MAJOR) + "." +
                                std::to_string(SFML_VERSION_MINOR) + "." + std::to_string(SFML_VERSION_PATCH) + ")";

namespace {

// Where the pointer moves to and fro, far from the sprite.
constexpr int pointerX = 600;
constexpr int pointerY = 450;

}  // namespace

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
    traffic = std::make_unique<TrafficRecorder>(display, programWindow, process.processId());

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

long Bench::keyboardReads() { return traffic->now().keyboardReads - atStart.keyboardReads; }

long Bench::readsPerPass() const
{
    const std::string tableKeys = "qweasd123456789zxcvbnrt";
    long reads = 1;
    for (char key : held)
        reads += tableKeys.find(key) != std::string::npos;
    return reads;
}

long Bench::motionEvents() { return traffic->now().motionEvents - atStart.motionEvents; }

void Bench::waitForPasses(const Traffic& since, long count)
{
    // A pass has ended when it has read the keyboard again after the
    // command of each table key held.
    const long reads = count * readsPerPass();
    const auto ended = [&](const Traffic& now) { return now.keyboardReads >= since.keyboardReads + reads; };
    // However long a loaded machine takes for many passes, the wait goes on
    // while reads keep coming; a program that stops, or has lost passes and
    // makes no more, fails it after `patience` without one.
    for (Traffic now = traffic->now(); !ended(now);) {
        const long progress = now.keyboardReads;
        const bool moved = process.waitUntil([&] {
            now = traffic->now();
            return ended(now) || now.keyboardReads != progress;
        });
        if (!moved)
            throw std::runtime_error(std::to_string(now.keyboardReads - since.keyboardReads) + " of " +
                                     std::to_string(reads) + " keyboard reads of " + std::to_string(count) +
                                     " command passes came, and no more; output so far:\n" +
                                     process.output());
    }
}

std::string Bench::pass(const std::string& keys, const std::string& typed)
{
    const size_t printed = process.output().size();
    const long readsBefore = keyboardReads();
    hold(keys);
    const long reads = readsPerPass();
    const Traffic before = traffic->mark();
    nudgePointer();
    // Typed once the pass runs: a long line would not fit in the pipe before.
    if (!typed.empty())
        process.type(typed);
    waitForPasses(before, 1);
    release(keys);
    settle();
    if (keyboardReads() != readsBefore + reads)
        throw std::runtime_error("one pointer motion made " + std::to_string(keyboardReads() - readsBefore) +
                                 " keyboard reads, not " + std::to_string(reads));
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
