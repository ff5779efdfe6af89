#pragma once

#include <chrono>

// Readies the standard streams at start-up, before anything uses them.
//
// Opens each of standard input, output and error that the program was
// started without on the null device (input for reading, the others for
// writing), so that no file or connection opened later, by the program or a
// library, takes one of their numbers and receives the console's text.
//
// Where a read can find standard input not ready yet (a POSIX descriptor left
// non-blocking by another program), std::cin waits for it instead, so that
// only the true end of input counts as its end; and std::cout waits where
// standard output cannot take more yet, so that no line is lost.
//
// Where a write to a pipe whose reader has gone raises a signal (POSIX's
// SIGPIPE), ignores it: such a write fails instead of ending the program, so
// an output that goes away while the program runs loses only its own text.
void prepareStandardStreams();

// Whether text meant for standard output has been lost, once what is still
// buffered has been written, for any reason but a reader that has gone (a
// full disk or an I/O error, say). The first loss is said on standard error
// when it happens, with the system's reason; the program goes on, and ends
// with a failure.
bool standardOutputLost();

// Waits until a read of std::cin would find something (a character or the
// end of input) or `timeout` has passed, whichever comes first; true if a
// read would find something. A read that finds nothing yet waits, asleep,
// for as long as it takes: this lets the program do other work meanwhile.
// Once prepareStandardStreams has run, std::cin's buffer also tells it
// without waiting: its in_avail() is 0 exactly while nothing has come.
bool awaitStandardInput(std::chrono::milliseconds timeout);
