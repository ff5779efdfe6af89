#pragma once

#include <iosfwd>
#include <optional>
#include <string>

// Asks for one number on the console: writes "name = " and reads one float.
// Whatever follows the number on its line stays for the next read. A token
// that is not a number is refused and asked for again. A UTF-8 byte-order
// mark at the very start of `in` is skipped. Returns nothing once
// standard input has ended; the end is reported on `out` the first time it
// is met.
std::optional<float> promptValue(std::string name, std::istream& in, std::ostream& out);

// True once the console can deliver no more numbers.
bool inputEnded(const std::istream& in);
