#pragma once

#include "keyboard.h"
#include "prompt.h"

#include <iosfwd>

class SpriteObject;

// Tests every key of the command table, in order, against the live key state,
// and runs the command of each key that is down to its end (prompts included)
// before testing the next. The keyboard is read once at the start, and again
// after each command that ran, which may have waited on the console for a
// long time: so a pass with no table key down costs one read, whatever else
// is held. `dalpha` and `angle` are the stored alpha and rotation steps, kept
// by the caller across passes. `whileWaiting` keeps the program alive while
// a prompt waits (see promptValue); where it gives a prompt up, that command
// does nothing and the pass ends there.
void runCommandPass(SpriteObject* p, float& dalpha, float& angle, const Keyboard& keyboard, std::istream& in,
                    std::ostream& out, const WhileWaiting& whileWaiting = {});
