#include "prompt.h"

#include <istream>
#include <limits>
#include <ostream>
#include <sstream>

namespace {

// The whole token must be one float as `>>` reads it, in range: "12abc",
// "nan" and "1e39" are refused rather than cut short or saturated.
std::optional<float> parseNumber(const std::string& token)
{
    std::istringstream text(token);
    float value = 0;
    if (!(text >> value) || text.peek() != std::char_traits<char>::eof())
        return std::nullopt;
    return value;
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
        std::string token;
        if (!(in >> token)) {
            out << std::endl;
            reportEnd(out);
            return std::nullopt;
        }
        if (const auto value = parseNumber(token)) {
            // The last number before the end is still used; the end is
            // reported now, since no later prompt will be shown.
            if (inputEnded(in))
                reportEnd(out);
            return value;
        }
        in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        out << "not a number, try again" << std::endl;
    }
}
