// Linked into every program of the sanitizer build, and only there, so that
// each of them gets a true verdict however it is started: by hand, by ctest,
// or by a test that starts the program itself.

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

// ASAN_OPTIONS and UBSAN_OPTIONS in the environment still override these.
// intercept_tls_get_addr=0: with the driver kept loaded, the leak check at exit
// now and then reads a bogus range out of its thread-local storage and dies
// ("Tracer caught signal 11"). Without it, dynamically loaded libraries' own
// thread-local storage is not scanned; the program keeps nothing there.
// print_suppressions=0: the summary of the leaks suppressed below ("Suppressions
// used: ...") would end up on the program's standard error, which the
// end-to-end tests check.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1:intercept_tls_get_addr=0:"
           "print_suppressions=0";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

// Mesa's GLX library (libGLX_mesa.so.0) of Mesa 25 (Debian 13) loses at exit
// the blocks it allocates for a display's GL configurations when the first GL
// context is made: about 108 KB, allocated and held by Mesa alone. They are
// suppressed by that library's name, so a block that the program allocates in
// its own code and loses is still reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libGLX_mesa.so";
}
