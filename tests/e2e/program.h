#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How long any wait for the program may take before a test fails. Waits end
// as soon as what they wait for has happened; this only bounds a failure.
inline constexpr auto patience = 20s;

// A program, run in a working directory of the test's choosing on a given
// display (none: DISPLAY unset), with its standard output and error read
// through pipes.
// Standard input is a pipe the test types into, a device, a file, or closed; the
// pipe can be left non-blocking, as another program may leave it.
class Program {
public:
    enum class Input { Typed, DevNull, DevZero, Closed, File };
    struct Streams {
        Streams(Input input = Input::Typed) : input(input) {}
        Input input;
        std::filesystem::path inputFile;  // read by Input::File
        bool inputNonBlocking = false;
        bool outputClosed = false;
        bool outputFull = false;  // to /dev/full, where every write fails (ENOSPC)
        bool errorsClosed = false;
    };

    // `command` is the executable, then its arguments.
    Program(const std::vector<std::string>& command, const std::filesystem::path& workingDirectory,
            const std::string& display, const Streams& streams);
    ~Program();  // ends the program if it still runs: SIGTERM, then SIGKILL
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Writes to standard input, reading the program's output meanwhile so
    // that neither side waits on a full pipe.
    void type(const std::string& text);
    // Closes standard input: the program meets its end.
    void endInput();
    // Closes the reading end of standard output, as a reader that has gone
    // would (`| head -c1`): the program's next write there fails.
    void stopReadingOutput();

    // Everything the program has written so far, read without waiting.
    const std::string& output();
    const std::string& errors();

    // Reads output until `done` holds or `patience` runs out; true if done.
    bool waitUntil(const std::function<bool()>& done, Clock::duration limit = patience);
    bool waitForOutput(const std::string& ending, Clock::duration limit = patience);

    // Exit code (128 + signal when killed), or nothing if it still runs.
    std::optional<int> waitForExit(Clock::duration limit = patience);

    pid_t processId() const { return pid; }
    // Processor time used so far, all threads.
    std::chrono::milliseconds cpuTime() const;
    // Resident memory now, in KiB.
    long residentKiB() const;

private:
    void collect(int waitMs);

    pid_t pid = -1;
    std::optional<int> exitCode;
    int inputFd = -1;
    int outputFd = -1;
    int errorFd = -1;
    std::string outputText;
    std::string errorText;
};
