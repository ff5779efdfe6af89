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

// Returns once `in` has a character or its end to give, after keeping the
// program alive with `whileWaiting` for as long as it has neither; false if
// `whileWaiting` gave the wait up. Without `whileWaiting`, a read waits in
// the stream itself.
bool awaitInput(std::istream& in, const WhileWaiting& whileWaiting)
{
    if (!whileWaiting)
        return true;
    while (in.good() && in.rdbuf()->in_avail() == 0)
        if (!whileWaiting())
            return false;
    return true;
}

constexpr int givenUp = std::char_traits<char>::eof() - 1;

// The next character, waited for as `awaitInput` says; eof at the end of
// input, `givenUp` where the wait was given up.
int peekWaiting(std::istream& in, const WhileWaiting& whileWaiting)
{
    return awaitInput(in, whileWaiting) ? in.peek() : givenUp;
}

// A file saved by a Windows editor may begin with the UTF-8 byte-order mark.
// It is no part of any word, and is skipped where it can be: at the very
// start of the input, before anything else has been read from the stream.
// Puts what was read there that turned out not to be the mark, the start of
// the first word, in `read`. False where the wait was given up.
bool skipByteOrderMarkAtStart(std::istream& in, const WhileWaiting& whileWaiting, std::string& read)
{
    static const int startPassed = std::ios_base::xalloc();
    if (in.iword(startPassed))
        return true;
    for (const char expected : {'\xEF', '\xBB', '\xBF'}) {
        const int next = peekWaiting(in, whileWaiting);
        if (next == givenUp)
            return false;
        // Marked only once the first character has come, so that a prompt
        // given up before it still skips the mark at the next.
        in.iword(startPassed) = 1;
        if (next != std::char_traits<char>::to_int_type(expected))
            return true;
        read.push_back(static_cast<char>(in.get()));
    }
    read.clear();
    return true;
}

// Reads the next blank-separated word, as `>>` would, but holds at most one
// character more than `longestToken`: the rest of a longer word stays unread.
// Nothing where the wait for it was given up.
std::optional<std::string> readToken(std::istream& in, const WhileWaiting& whileWaiting)
{
    std::string token;
    if (!skipByteOrderMarkAtStart(in, whileWaiting, token))
        return std::nullopt;
    const auto& blank = std::use_facet<std::ctype<char>>(in.getloc());
    const auto isBlank = [&](int c) { return blank.is(std::ctype_base::space, static_cast<char>(c)); };
    int next = peekWaiting(in, whileWaiting);
    for (; token.empty() && next >= 0 && isBlank(next); next = peekWaiting(in, whileWaiting))
        in.get();
    for (; next >= 0 && token.size() <= longestToken; next = peekWaiting(in, whileWaiting)) {
        if (isBlank(next))
            break;
        token.push_back(static_cast<char>(in.get()));
    }
    if (next == givenUp)
        return std::nullopt;
    return token;
}

// Throws away the rest of the line; false where the wait was given up. What
// has come already is taken straight from the stream's buffer: a line can be
// endless (/dev/zero).
bool skipRestOfLine(std::istream& in, const WhileWaiting& whileWaiting)
{
    std::streambuf& buffer = *in.rdbuf();
    for (;;) {
        while (buffer.in_avail() > 0)
            if (buffer.sbumpc() == '\n')
                return true;
        const int next = peekWaiting(in, whileWaiting);
        if (next == givenUp)
            return false;
        if (next < 0)
            return true;
    }
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

std::optional<float> promptValue(std::string name, std::istream& in, std::ostream& out,
                                 const WhileWaiting& whileWaiting)
{
    if (inputEnded(in))
        return std::nullopt;
    for (;;) {
        out << name << " = " << std::flush;
        const std::optional<std::string> token = readToken(in, whileWaiting);
        if (!token) {
            // The prompt stays unanswered: what comes next starts on a line of its own.
            out << std::endl;
            return std::nullopt;
        }
        if (token->empty()) {
            out << std::endl;
            reportEnd(out);
            return std::nullopt;
        }
        float value = 0;
        const Reading reading = parseNumber(*token, value);
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
        // The rest of the line goes with the refused token.
        if (!skipRestOfLine(in, whileWaiting)) {
            out << std::endl;
            return std::nullopt;
        }
        out << (reading == Reading::TooLarge ? "too large for a float, try again" : "not a number, try again")
            << std::endl;
    }
}
