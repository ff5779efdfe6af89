#pragma once

// What the program asked of the X server and what the server sent it, in
// the server's own order.
struct Traffic {
    long passes = 0;         // one whole-keyboard read at the start of each command pass
    long keyStateReads = 0;  // one key test per row of the table, in a pass that finds some key down
    long framesShown = 0;    // one shared-memory image put per frame shown
    long motionEvents = 0;   // pointer motion events delivered to the program
};
