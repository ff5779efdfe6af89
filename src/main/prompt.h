#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

// Keeps the program alive while a prompt waits for input that has not come
// yet: called again and again until some has, it should wait a little
// itself. Returns false to give the prompt up.
using WhileWaiting = std::function<bool()>;

// Asks for one number on the console: writes "name = " and reads one float.
// Whatever follows the number on its line stays for the next read. A token
// that is not a number is refused and asked for again. A UTF-8 byte-order
// mark at the very start of `in` is skipped. Returns nothing once
// standard input has ended; the end is reported on `out` the first time it
// is met. With `whileWaiting`, a read that would wait (`in`'s buffer has
// nothing available) waits through it instead; where it gives the prompt up,
// the prompt's line is ended and nothing is returned.
std::optional<float> promptValue(std::string name, std::istream& in, std::ostream& out,
                                 const WhileWaiting& whileWaiting = {});

// True once the console can deliver no more numbers.
bool inputEnded(const std::istream& in);
