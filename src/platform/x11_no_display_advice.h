#pragma once

#include <iosfwd>

// What to say when no X display can be opened. On a Wayland desktop (its
// compositor's socket is there) the program runs through Xwayland, so the
// advice is about Xwayland; elsewhere it is to run on a desktop or under a
// virtual X server.
void adviseWithoutDisplay(std::ostream& problems);
