#include "standard_streams.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <iostream>
#include <streambuf>

namespace {

// Whether a read of standard input would find something now (a character, or
// the end), waiting at most `timeoutMs` for it. select rather than poll:
// macOS's poll has refused terminals, which select takes everywhere. A
// failure other than a signal counts as ready: the read then says what it is.
bool readable(int timeoutMs)
{
    fd_set input;
    FD_ZERO(&input);
    FD_SET(STDIN_FILENO, &input);
    timeval timeout = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int found = select(STDIN_FILENO + 1, &input, nullptr, nullptr, &timeout);
    return found > 0 || (found < 0 && errno != EINTR);
}

// Standard input read straight from its file descriptor. A descriptor that
// another program left non-blocking (the flag belongs to the open pipe or
// terminal, which it shares) says "nothing yet" where a blocking one waits:
// the C library's stream takes that for the end of input. Here it is waited
// for, asleep in poll, and so is a read that a signal cut short; only a read
// that finds the true end, or fails otherwise, ends input. The flag is left
// as it is, since the programs that share the descriptor may rely on it.
//
// It also tells, without waiting, whether a read would find something now
// (in_avail() is not 0), so that a prompt can keep the window alive while
// none has come.
class WaitingInput : public std::streambuf {
protected:
    std::streamsize showmanyc() override { return readable(0) ? 1 : 0; }

    int_type underflow() override
    {
        for (;;) {
            const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
            if (got > 0) {
                setg(buffer, buffer, buffer + got);
                return traits_type::to_int_type(buffer[0]);
            }
            if (got == 0)
                return traits_type::eof();
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                return traits_type::eof();
            pollfd ready = {STDIN_FILENO, POLLIN, 0};
            if (poll(&ready, 1, -1) < 0 && errno != EINTR)
                return traits_type::eof();
        }
    }

private:
    char buffer[4096];
};

// Set once text meant for standard output has been lost otherwise than to a
// reader that has gone.
bool outputLost = false;

// A reader that closes the pipe (`| head -n 1`) has chosen to read no more,
// and its text goes quietly, as with any command-line tool. Any other
// failure (a full disk, an I/O error) loses text that someone meant to keep:
// that is said once, with the system's reason.
void loseOutput(int error)
{
    if (error == EPIPE || outputLost)
        return;
    outputLost = true;
    std::cerr << "spritebench: standard output cannot be written (" << std::strerror(error)
              << "): what the program prints there is being lost.\n";
}

// Standard output written straight to its file descriptor, for the same
// reason: where a non-blocking pipe is full, or a terminal is stopped
// (Ctrl-S), the C library's stream fails and every later line is lost. Here
// the write waits until the descriptor takes more; any other failure fails
// the stream, as before.
class WaitingOutput : public std::streambuf {
public:
    WaitingOutput() { setp(buffer, buffer + sizeof buffer); }

protected:
    int_type overflow(int_type c) override
    {
        if (sync() != 0)
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof()))
            sputc(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }

    int sync() override
    {
        const char* next = pbase();
        while (next < pptr()) {
            const ssize_t put = write(STDOUT_FILENO, next, static_cast<size_t>(pptr() - next));
            if (put > 0) {
                next += put;
                continue;
            }
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd ready = {STDOUT_FILENO, POLLOUT, 0};
                if (poll(&ready, 1, -1) >= 0 || errno == EINTR)
                    continue;
            }
            // A write that puts nothing and names no error counts as one of the device.
            loseOutput(put < 0 ? errno : EIO);
            setp(buffer, buffer + sizeof buffer);
            return -1;
        }
        setp(buffer, buffer + sizeof buffer);
        return 0;
    }

private:
    char buffer[4096];
};

}  // namespace

void prepareStandardStreams()
{
    signal(SIGPIPE, SIG_IGN);
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(stream, F_GETFD) != -1)
            continue;
        // The lowest free number is taken: this one, since those below it are open by now.
        const int opened = open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != stream) {
            dup2(opened, stream);
            close(opened);
        }
    }
    // Never destroyed: std::cin may be used until the very end.
    static WaitingInput* const input = new WaitingInput;
    std::cin.rdbuf(input);
    static WaitingOutput* const output = new WaitingOutput;
    std::cout.rdbuf(output);
}

bool standardOutputLost()
{
    std::cout.flush();
    return outputLost;
}

bool awaitStandardInput(std::chrono::milliseconds timeout)
{
    if (std::cin.rdbuf()->in_avail() != 0)
        return true;
    return readable(static_cast<int>(timeout.count()));
}
