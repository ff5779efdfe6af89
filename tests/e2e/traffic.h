#pragma once

// What the program asked of the X server and what the server sent it, in
// the server's own order.
struct Traffic {
    long keyboardReads = 0;  // whole-keyboard reads on the program's own connection: one per command
                             // pass, one more after each command that ran
    long keyStateReads = 0;  // the library's own key tests, on the window's connection
    long framesShown = 0;    // one shared-memory image put per frame shown
    long motionEvents = 0;   // pointer motion events delivered to the program
};
