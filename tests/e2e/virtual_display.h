#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// An Xvfb of the test's own on a free display number, with no reset when
// its last client leaves (a reset would bring key autorepeat back). Only this
// server is stopped when the object goes.
class VirtualDisplay {
public:
    // `options` go to Xvfb after its own, such as {"-extension", "GLX"}.
    explicit VirtualDisplay(const std::vector<std::string>& options = {});
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N", as DISPLAY wants it.
    const std::string& name() const { return displayName; }

private:
    pid_t pid = -1;
    std::string displayName;
};
