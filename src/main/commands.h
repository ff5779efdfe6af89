#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <functional>
#include <iosfwd>

class SpriteObject;

// Tells whether a key is down right now.
using KeyIsDown = std::function<bool(sf::Keyboard::Key)>;

// Tests every key of the command table, in order, against the live key state,
// and runs the command of each key that is down to its end (prompts included)
// before testing the next. `dalpha` and `angle` are the stored alpha and
// rotation steps, kept by the caller across passes.
void runCommandPass(SpriteObject* p, float& dalpha, float& angle, const KeyIsDown& keyIsDown,
                    std::istream& in, std::ostream& out);
