#include "standard_streams.h"

#include <windows.h>

#include <algorithm>
#include <iostream>
#include <streambuf>

namespace {

// Standard input read by a thread of its own, one read at a time and only
// when the program asks for one, so that the program can wait for it with a
// time limit whatever the handle is: a console (whose handle is signalled for
// mouse and focus records as well as keys, and which echoes a line only while
// a read is in progress), a pipe, or a file. A read is started once the
// buffer is empty and something is wanted from it; the buffer is the
// thread's only while that read runs.
class WaitingInput : public std::streambuf {
public:
    WaitingInput()
        : input(GetStdHandle(STD_INPUT_HANDLE)),
          wanted(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
          done(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        // Never joined: at the end of the program it may still wait in a
        // read of the console, which ending the process ends.
        CloseHandle(CreateThread(nullptr, 0, reader, this, 0, nullptr));
    }

    // True once what was asked for has come, waiting at most `timeout`.
    bool await(DWORD timeoutMs)
    {
        if (gptr() < egptr() || ended)
            return true;
        if (!reading) {
            reading = true;
            SetEvent(wanted);
        }
        return WaitForSingleObject(done, timeoutMs) == WAIT_OBJECT_0;
    }

protected:
    std::streamsize showmanyc() override
    {
        if (!await(0))
            return 0;
        // Here the buffer is empty: the read has ended, with nothing at the end.
        return (ended || got == 0) ? -1 : 1;
    }

    int_type underflow() override
    {
        if (gptr() < egptr())
            return traits_type::to_int_type(*gptr());
        if (ended)
            return traits_type::eof();
        await(INFINITE);
        reading = false;
        ResetEvent(done);
        // As the C runtime reads in text mode, a Ctrl-Z ends the input.
        char* const stop = std::find(buffer, buffer + got, '\x1A');
        ended = got == 0 || stop != buffer + got;
        if (stop == buffer)
            return traits_type::eof();
        setg(buffer, buffer, stop);
        return traits_type::to_int_type(buffer[0]);
    }

private:
    static DWORD WINAPI reader(void* self)
    {
        auto& input = *static_cast<WaitingInput*>(self);
        for (;;) {
            WaitForSingleObject(input.wanted, INFINITE);
            DWORD read = 0;
            if (!ReadFile(input.input, input.buffer, sizeof input.buffer, &read, nullptr))
                read = 0;
            input.got = read;
            SetEvent(input.done);
        }
    }

    HANDLE input;
    HANDLE wanted;
    HANDLE done;
    bool reading = false;
    bool ended = false;
    DWORD got = 0;
    char buffer[4096];
};

WaitingInput* waitingInput = nullptr;

}  // namespace

// The C runtime keeps the numbers of the three standard streams for them even
// when the program is started without them, so nothing opened later takes
// their place; and a write to a pipe whose reader has gone fails with no
// signal.
void prepareStandardStreams()
{
    // Never destroyed: std::cin may be used until the very end.
    waitingInput = new WaitingInput;
    std::cin.rdbuf(waitingInput);
}

bool awaitStandardInput(std::chrono::milliseconds timeout)
{
    return waitingInput->await(static_cast<DWORD>(timeout.count()));
}

// Told at the end from std::cout's failure, which does not say why: a pipe
// fails once its reader has gone, and a stream the program was started
// without fails from the start, and both lose only their own text, quietly.
// A file or a console that fails has lost what someone meant to keep.
bool standardOutputLost()
{
    std::cout.flush();
    if (!std::cout.fail())
        return false;
    const DWORD type = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE));
    if (type != FILE_TYPE_DISK && type != FILE_TYPE_CHAR)
        return false;
    std::cerr << "spritebench: standard output could not be written: some of what the program printed there "
                 "was lost.\n";
    return true;
}
