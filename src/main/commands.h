#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <functional>
#include <iosfwd>

class SpriteObject;

// Tells whether a key is down right now.
using KeyIsDown = std::function<bool(sf::Keyboard::Key)>;

// Tells whether any key at all may be down right now, modifiers and keys
// outside the command table included: false only where none is. Where each
// key's test is a round trip to the display server, one read of the whole
// keyboard spares the 23 of a pass in which no key is down.
using AnyKeyMayBeDown = std::function<bool()>;

// Tests every key of the command table, in order, against the live key state,
// and runs the command of each key that is down to its end (prompts included)
// before testing the next. Where `anyKeyMayBeDown` says that no key is down,
// no key of the table could be, and the pass ends without testing them.
// `dalpha` and `angle` are the stored alpha and rotation steps, kept by the
// caller across passes.
void runCommandPass(SpriteObject* p, float& dalpha, float& angle, const AnyKeyMayBeDown& anyKeyMayBeDown,
                    const KeyIsDown& keyIsDown, std::istream& in, std::ostream& out);
