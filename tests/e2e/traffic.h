#pragma once

// What the program asked of the X server and what the server sent it, in
// the server's own order.
struct Traffic {
    long keyStateReads = 0;  // one key state query per row of the command table
    long framesShown = 0;    // one shared-memory image put per frame shown
    long motionEvents = 0;   // pointer motion events delivered to the program
};
