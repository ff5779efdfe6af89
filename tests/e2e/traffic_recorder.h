#pragma once

#include "traffic.h"

#include <memory>
#include <string>

// Counts the program's X traffic with the RECORD extension, on every
// connection the program has (the X-Resource extension tells which are its):
// the library's key tests and frames on the one that made its window, and
// the whole-keyboard reads of its own. A mark taken after the test's own requests
// tells exactly which of the program's requests came after them: no guessing
// with sleeps.
class TrafficRecorder {
public:
    TrafficRecorder(const std::string& display, unsigned long programWindow, int programProcess);
    ~TrafficRecorder();
    TrafficRecorder(const TrafficRecorder&) = delete;
    TrafficRecorder& operator=(const TrafficRecorder&) = delete;

    Traffic now() const;
    // The traffic up to this point in the server's order: after every
    // request that the test's other connections have synced.
    Traffic mark();

private:
    struct Recording;
    std::unique_ptr<Recording> recording;
};
