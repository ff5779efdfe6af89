#pragma once

#include "desktop.h"
#include "program.h"
#include "traffic_recorder.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

// The title of the program's window.
extern const std::string windowTitle;

// The real program in a real X server, driven as a person would: keys held
// down, the pointer moved over the window, numbers typed on the console.
//
// Keyboard focus is kept away from the window, so a held key makes no event
// of its own: the test makes each event with a one-pixel pointer move, and
// the program runs exactly one command pass for it. The X server's own
// record of the program's requests tells when a pass or a frame is done.
class Bench {
public:
    Bench(const std::string& display, const std::filesystem::path& workingDirectory,
          const Program::Streams& streams = Program::Input::Typed);
    ~Bench();

    // Holds `keys` ("q", "12", ...) while one pointer motion reaches the
    // window, types `typed`, waits for that one pass to end, releases the
    // keys. Returns what the pass printed.
    std::string pass(const std::string& keys, const std::string& typed = "");

    // The steps of a pass, for tests that look in between: mark, make
    // events, then wait for as many passes after the mark.
    void hold(const std::string& keys);
    void release(const std::string& keys);
    Traffic mark() { return traffic->mark(); }
    void nudgePointer();
    void waitForPasses(const Traffic& since, long count);

    // Returns once every event sent so far has had its pass and two frames
    // have been shown after them.
    void settle();
    Screenshot picture();
    std::array<int, 4> windowPlace() { return hands.placeOf(programWindow); }

    // Whole-keyboard reads and pointer motions since start-up.
    long keyboardReads();
    long motionEvents();

    // Asks the window to close as its close button would; the exit code.
    std::optional<int> close();
    void askToClose();
    bool windowIsShown();

    Program& program() { return process; }
    TrafficRecorder& recorder() { return *traffic; }

private:
    // A pass reads the keyboard once, and again after each command that ran.
    long readsPerPass() const;

    Program process;
    Desktop hands;
    WindowId programWindow = 0;
    std::unique_ptr<TrafficRecorder> traffic;
    Traffic atStart;
    std::string held;
    bool pointerRight = false;
};
