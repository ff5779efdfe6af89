#include "prompt.h"

#include <cmath>
#include <initializer_list>
#include <istream>
#include <limits>
#include <locale>
#include <ostream>
#include <sstream>

namespace {

// Longer than any number a person types. A longer token is refused as soon as
// it passes this, so that input with no blank in it (an endless line, or
// /dev/zero) cannot grow the program's memory.
constexpr std::size_t longestToken = 4096;

enum class Reading { Number, NotANumber, TooLarge };

// The whole token must be one float as `>>` reads it, in range: "12abc" and
// "nan" are refused rather than cut short, "1e39" rather than saturated, and
// a token that `readToken` stopped holding is refused whatever it began with.
Reading parseNumber(const std::string& token, float& value)
{
    value = 0;
    if (token.size() > longestToken)
        return Reading::NotANumber;
    std::istringstream text(token);
    if (!(text >> value))
        // A stream that meets a number out of range gives the largest float
        // of that sign along with the failure. Only a word that is that
        // number to its end is too large: "1e39abc" is no number at all.
        return std::fabs(value) == std::numeric_limits<float>::max() && text.eof() ? Reading::TooLarge
                                                                                    : Reading::NotANumber;
    return text.peek() == std::char_traits<char>::eof() ? Reading::Number : Reading::NotANumber;
}

// A file saved by a Windows editor may begin with the UTF-8 byte-order mark.
// It is no part of any word, and is skipped where it can be: at the very
// start of the input, before anything else has been read from the stream.
// Returns what was read there that turned out not to be the mark: the start
// of the first word.
std::string skipByteOrderMarkAtStart(std::istream& in)
{
    static const int startPassed = std::ios_base::xalloc();
    std::string read;
    if (in.iword(startPassed))
        return read;
    in.iword(startPassed) = 1;
    for (const char expected : {'\xEF', '\xBB', '\xBF'}) {
        if (in.peek() != std::char_traits<char>::to_int_type(expected))
            return read;
        read.push_back(static_cast<char>(in.get()));
    }
    return {};
}

// Reads the next blank-separated word, as `>>` would, but holds at most one
// character more than `longestToken`: the rest of a longer word stays unread.
std::string readToken(std::istream& in)
{
    std::string token = skipByteOrderMarkAtStart(in);
    if (token.empty())
        in >> std::ws;
    const auto& blank = std::use_facet<std::ctype<char>>(in.getloc());
    for (int next = in.peek(); next != std::char_traits<char>::eof() && token.size() <= longestToken;
         next = in.peek()) {
        if (blank.is(std::ctype_base::space, static_cast<char>(next)))
            break;
        token.push_back(static_cast<char>(in.get()));
    }
    return token;
}

void reportEnd(std::ostream& out)
{
    out << "standard input has ended; console commands are now ignored" << std::endl;
}

}  // namespace

bool inputEnded(const std::istream& in)
{
    return in.eof() || in.bad();
}

std::optional<float> promptValue(std::string name, std::istream& in, std::ostream& out)
{
    if (inputEnded(in))
        return std::nullopt;
    for (;;) {
        out << name << " = " << std::flush;
        const std::string token = readToken(in);
        if (token.empty()) {
            out << std::endl;
            reportEnd(out);
            return std::nullopt;
        }
        float value = 0;
        const Reading reading = parseNumber(token, value);
        if (reading == Reading::Number) {
            // The last number before the end is still used; the end is
            // reported now, on a line of its own, since no later prompt will
            // be shown.
            if (inputEnded(in)) {
                out << std::endl;
                reportEnd(out);
            }
            return value;
        }
        // The rest of the line goes with the refused token; `ignore` keeps
        // none of it.
        in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        out << (reading == Reading::TooLarge ? "too large for a float, try again" : "not a number, try again")
            << std::endl;
    }
}
