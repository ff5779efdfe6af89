#pragma once

#include <memory>

// Xlib's display type, declared here so that Xlib's macros (None, Bool...)
// stay out of the files that include the graphics library.
struct _XDisplay;

struct DisplayCloser {
    void operator()(_XDisplay* display) const;
};
using DisplayConnection = std::unique_ptr<_XDisplay, DisplayCloser>;

// Opens the X display that the graphics library will use, or gives null when
// there is none. The caller holds it for the whole run, so that a virtual
// server that starts over when its last client leaves never does so between
// this check and the library's own connection.
DisplayConnection openDisplay();
