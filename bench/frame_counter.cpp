// Counts the frames a program shows, from outside: loaded with LD_PRELOAD, it
// stands in for glXSwapBuffers (which the graphics library calls once per
// display()) and passes every call on. SFML 2 calls glXSwapBuffers by name,
// which the preload answers. SFML 3 looks it up at run time: its GL loader
// opens libGL.so.1 on its own, takes glXGetProcAddressARB from that handle
// with dlsym, asks it for glXSwapBuffers and for glXGetProcAddress, and then
// asks the latter again. So dlsym and both glXGetProcAddress lookups are stood
// in for too, and for these three names each answers this library's own: on
// either path the swap the library makes is the counted one. It stands in the
// same way for XQueryKeymap, to count the key-state reads, and for
// XCheckIfEvent, with which the library takes its window's events, to count
// the pointer motions.
// The first FRAME_COUNTER_WARMUP seconds (default 1) after the first of these
// calls are not counted; with FRAME_COUNTER_SECONDS, only that many seconds
// after the warm-up are. At exit it writes one line to the file named by
// FRAME_COUNTER_OUT:
//     <frames> <seconds> <CPU seconds> <peak resident KiB> <key-state reads> <pointer motions> <renderer>
// where both times run from the end of the warm-up to the last frame (or for
// FRAME_COUNTER_SECONDS), the CPU time over all the program's threads (the X
// server's share is not in it).
// With FRAME_COUNTER_FIRST_FRAME set to a file instead, it writes there the
// wall-clock time (seconds since the epoch) of the first frame and ends the
// program at once: the end of its start-up.
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;
using SwapBuffers = void (*)(Display*, XID);
using GetString = const unsigned char* (*)(unsigned);
using QueryKeymap = int (*)(Display*, char*);
using Lookup = void* (*)(void*, const char*);
using GetProcAddress = void* (*)(const unsigned char*);
using CheckIfEvent = int (*)(Display*, XEvent*, int (*)(Display*, XEvent*, XPointer), XPointer);
constexpr unsigned glRenderer = 0x1F01;  // GL_RENDERER

// Plain data only: it is read at exit, when objects with destructors may
// already be gone.
struct Count {
    bool started = false;
    bool warm = false;
    Clock::time_point first, warmFrom, last;
    double cpuFrom = 0, cpuLast = 0;
    long frames = 0;
    long keyStateReads = 0;
    long motions = 0;
    bool ended = false;  // FRAME_COUNTER_SECONDS have passed
    double cpuEnd = 0;
    char renderer[128] = "unknown";
} count;

// The C library's own dlsym, found by its symbol version since dlsym(RTLD_NEXT,
// "dlsym") would answer this library's; GLIBC_2.34 where dlsym moved into libc
// itself, GLIBC_2.2.5 (x86-64) before.
Lookup realDlsym()
{
    static const Lookup real = [] {
        void* found = dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.34");
        if (!found)
            found = dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.2.5");
        return reinterpret_cast<Lookup>(found);
    }();
    return real;
}

// The library's own definition of a name this one stands in for: the next
// after this library, or else libGL's, which SFML 3 opens on its own (local to
// its handle) and which the program then may not link.
void* realSymbol(const char* name)
{
    const Lookup lookup = realDlsym();
    if (!lookup)
        return nullptr;
    if (void* found = lookup(RTLD_NEXT, name))
        return found;
    static void* const libGL = dlopen("libGL.so.1", RTLD_LAZY | RTLD_LOCAL);
    return libGL ? lookup(libGL, name) : nullptr;
}

double warmupSeconds()
{
    const char* text = std::getenv("FRAME_COUNTER_WARMUP");
    return text ? std::atof(text) : 1.0;
}

double countedSeconds()
{
    const char* text = std::getenv("FRAME_COUNTER_SECONDS");
    return text ? std::atof(text) : 0;
}

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::to_string(std::atol(line.c_str() + 6));
    return "0";
}

// The renderer's name, read while the program's GL context is current.
void readRendererName()
{
    const auto getString = reinterpret_cast<GetString>(realSymbol("glGetString"));
    if (const unsigned char* name = getString ? getString(glRenderer) : nullptr)
        std::snprintf(count.renderer, sizeof count.renderer, "%s", reinterpret_cast<const char*>(name));
}

__attribute__((destructor)) void report()
{
    const char* path = std::getenv("FRAME_COUNTER_OUT");
    if (!path)
        return;
    const double limit = countedSeconds();
    double seconds = count.warm ? std::chrono::duration<double>(count.last - count.warmFrom).count() : 0;
    double cpu = count.warm ? count.cpuLast - count.cpuFrom : 0;
    if (limit > 0 && count.warm) {
        seconds = limit;
        cpu = (count.ended ? count.cpuEnd : cpuSeconds()) - count.cpuFrom;
    }
    std::ofstream(path) << count.frames << " " << seconds << " " << cpu << " " << peakResidentKiB() << " "
                        << count.keyStateReads << " " << count.motions << " " << count.renderer << "\n";
}

}  // namespace

namespace {

// Starts the clock at the first call, ends the warm-up after its seconds and
// the count after FRAME_COUNTER_SECONDS; true while calls are counted.
bool counting(Clock::time_point now)
{
    if (!count.started) {
        count.started = true;
        count.first = now;
        return false;
    }
    if (!count.warm) {
        static const double warmup = warmupSeconds();
        if (std::chrono::duration<double>(now - count.first).count() < warmup)
            return false;
        count.warm = true;
        count.warmFrom = now;
        count.cpuFrom = cpuSeconds();
        return false;
    }
    static const double limit = countedSeconds();
    if (limit > 0 && !count.ended && std::chrono::duration<double>(now - count.warmFrom).count() >= limit) {
        count.ended = true;
        count.cpuEnd = cpuSeconds();
    }
    return !count.ended;
}

}  // namespace

extern "C" void glXSwapBuffers(Display* display, XID drawable)
{
    static const auto real = reinterpret_cast<SwapBuffers>(realSymbol("glXSwapBuffers"));
    real(display, drawable);

    if (const char* path = std::getenv("FRAME_COUNTER_FIRST_FRAME")) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        if (FILE* const file = std::fopen(path, "w")) {
            std::fprintf(file, "%ld.%06ld\n", static_cast<long>(now.tv_sec), now.tv_nsec / 1000);
            std::fclose(file);
        }
        _exit(0);
    }
    static bool first = true;
    if (std::exchange(first, false))
        readRendererName();
    const Clock::time_point now = Clock::now();
    if (!counting(now))
        return;
    ++count.frames;
    count.last = now;
    count.cpuLast = cpuSeconds();
}

extern "C" int XQueryKeymap(Display* display, char* keys)
{
    static const auto real = reinterpret_cast<QueryKeymap>(realSymbol("XQueryKeymap"));
    const int result = real(display, keys);
    if (counting(Clock::now()))
        ++count.keyStateReads;
    return result;
}

extern "C" int XCheckIfEvent(Display* display, XEvent* event, int (*predicate)(Display*, XEvent*, XPointer),
                             XPointer argument)
{
    static const auto real = reinterpret_cast<CheckIfEvent>(realSymbol("XCheckIfEvent"));
    const int found = real(display, event, predicate, argument);
    if (counting(Clock::now()) && found && event->type == MotionNotify)
        ++count.motions;
    return found;
}

namespace {

void* answerFor(const char* name);

GetProcAddress realGetProcAddressARB()
{
    static const auto real = reinterpret_cast<GetProcAddress>(realSymbol("glXGetProcAddressARB"));
    return real;
}

}  // namespace

extern "C" void* glXGetProcAddressARB(const unsigned char* name)
{
    if (void* ours = answerFor(reinterpret_cast<const char*>(name)))
        return ours;
    const GetProcAddress real = realGetProcAddressARB();
    return real ? real(name) : nullptr;
}

extern "C" void* glXGetProcAddress(const unsigned char* name)
{
    return glXGetProcAddressARB(name);
}

extern "C" void* dlsym(void* handle, const char* name)
{
    if (void* ours = answerFor(name))
        return ours;
    const Lookup real = realDlsym();
    return real ? real(handle, name) : nullptr;
}

namespace {

// This library's stand-in for a name it answers, else null. Every other name
// goes on to the C library's dlsym as the wrapper's last step, which the
// optimised build makes a jump: so a caller's RTLD_NEXT still starts after
// the caller, not after this library.
void* answerFor(const char* name)
{
    if (!name)
        return nullptr;
    if (std::strcmp(name, "glXSwapBuffers") == 0)
        return reinterpret_cast<void*>(&glXSwapBuffers);
    if (std::strcmp(name, "glXGetProcAddressARB") == 0)
        return reinterpret_cast<void*>(&glXGetProcAddressARB);
    if (std::strcmp(name, "glXGetProcAddress") == 0)
        return reinterpret_cast<void*>(&glXGetProcAddress);
    return nullptr;
}

}  // namespace
