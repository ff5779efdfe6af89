#pragma once

#include "desktop.h"

#include <string>

struct _XDisplay;

// Wine makes and destroys short-lived top-level windows of its own while a
// program starts, so one can be gone between the listing of the windows and
// the question about its name. Xlib's default handler would end the check
// on that error; from this call on, an error about a window that no longer
// exists makes only the request fail, and any other error still ends the
// check.
void tolerateVanishingWindows();

// Where key events go. With no window manager on the server, nothing gives a
// newly mapped window the focus unless its program takes it, so the check
// gives it as a window manager would on a click.
class KeyboardFocus {
public:
    explicit KeyboardFocus(const std::string& display);
    ~KeyboardFocus();
    KeyboardFocus(const KeyboardFocus&) = delete;
    KeyboardFocus& operator=(const KeyboardFocus&) = delete;

    // True if the focus is on `window` or on a window inside it.
    bool isIn(WindowId window);
    void giveTo(WindowId window);

private:
    _XDisplay* display = nullptr;
};
