// Linked into every program of the sanitizer build, and only there.
//
// Mesa unloads its driver (swrast_dri.so) when the program's last X display
// closes, at exit. Blocks that the driver still points at from its own static
// data then look leaked, and LeakSanitizer cannot even name the module they
// came from, so no suppression can match them. Ignoring dlclose keeps every
// library mapped until the process ends: those blocks stay reachable, and a
// leak that is reported is a real one with a full stack.
extern "C" int dlclose(void*)
{
    return 0;
}
