#pragma once

#include "display.h"

#include <functional>

// The whole-keyboard read that comes before a command pass's key tests, on
// the display connection that the program holds for the whole run (which
// must outlive what this returns). Where the library draws through X11, each
// key test is a round trip to the X server, and one read of every key at
// once tells whether any is down. Elsewhere a key test is a cheap local call,
// and this always answers that a key may be down.
std::function<bool()> anyKeyMayBeDownOn(const DisplayConnection& display);
