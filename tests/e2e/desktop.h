#pragma once

#include "program.h"
#include "screenshot.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

struct _XDisplay;
using WindowId = unsigned long;  // an X window, without Xlib's macros in every test

// The test's hands and eyes on the X server: real key and pointer input
// through XTest, the window manager's close request, and the window's pixels.
class Desktop {
public:
    explicit Desktop(const std::string& display);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Autorepeat would add presses and releases of its own to a held key.
    void switchAutorepeatOff();
    bool autorepeatIsOn();

    // Every mapped top-level window with this title, or framed in a mapped
    // top-level window by a window manager, in stacking order.
    std::vector<WindowId> windowsTitled(const std::string& title);
    // The first mapped top-level window with this title; none if `stillWaiting`
    // says to stop first.
    WindowId waitForWindow(const std::string& title, const std::function<bool()>& stillWaiting);
    // The same, while `program` runs and for at most `limit`.
    WindowId waitForWindowOf(Program& program, const std::string& title, Clock::duration limit = patience);

    // Keyboard focus goes nowhere: keys still change the live key state, but
    // no window gets key events.
    void takeFocusAway();
    // Key events go to `window`, as a window manager would send them after a
    // click on it.
    void giveFocusTo(WindowId window);
    bool keyEventsGoSomewhere();  // false once the focus is taken away
    // The name of the window with the keyboard focus; empty if it has none.
    std::string focusedTitle();
    // Whether the key of this X keycode is down now, as the server sees it.
    bool keycodeIsDown(unsigned keycode);

    // `key` is the character on the key: 'q', '1', ...
    void holdKey(char key);
    void releaseKey(char key);
    // By X keycode, as a keyboard sends a key whatever the layout.
    void holdKeycode(unsigned keycode);
    void releaseKeycode(unsigned keycode);
    // Puts XKB layout group `group` (0 for the first layout) in use and keeps it.
    void lockLayoutGroup(unsigned group);
    void movePointer(WindowId window, int x, int y);

    // What a window manager sends when the close button is clicked.
    void askToClose(WindowId window);

    Screenshot grab(WindowId window);
    // Left, top, width and height on the screen.
    std::array<int, 4> placeOf(WindowId window);

    // Returns once the server has handled every request made so far.
    void sync();

private:
    unsigned keycodeOf(char key);

    _XDisplay* display = nullptr;
};
