#pragma once

#include "desktop.h"

#include <string>

struct _XDisplay;

// Where key events go. With no window manager on the server, nothing gives a
// newly mapped window the focus unless its program takes it, so the check
// can give it as a window manager would on a click.
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
