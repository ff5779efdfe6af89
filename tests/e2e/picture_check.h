#pragma once

#include "screenshot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <sstream>

// What the sprite should look like on screen: a square of four coloured
// quadrants, as seen after any turn or mirror, blended over white.
struct SpriteLook {
    int centreX = 100;
    int centreY = 100;
    int size = 32;
    sf::Color topLeft, topRight, bottomLeft, bottomRight;
    int alpha = 255;

    sf::Color colourAt(int x, int y) const
    {
        const int left = centreX - size / 2;
        const int top = centreY - size / 2;
        if (x < left || x >= left + size || y < top || y >= top + size)
            return sf::Color::White;
        const bool right = x - left >= size / 2;
        const bool bottom = y - top >= size / 2;
        const sf::Color colour = bottom ? (right ? bottomRight : bottomLeft) : (right ? topRight : topLeft);
        const auto blend = [&](int channel) {
            return static_cast<std::uint8_t>((channel * alpha + 255 * (255 - alpha)) / 255);
        };
        return sf::Color(blend(colour.r), blend(colour.g), blend(colour.b));
    }
};

// Every pixel of the window against the look (or plain white for none),
// allowing the last bit or two of blending round-off.
inline ::testing::AssertionResult showsOnly(const Screenshot& shot, const std::optional<SpriteLook>& look)
{
    int wrong = 0;
    std::ostringstream first;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const sf::Color want = look ? look->colourAt(x, y) : sf::Color::White;
            const sf::Color got = shot.at(x, y);
            const auto near = [](int a, int b) { return a - b <= 2 && b - a <= 2; };
            if (near(want.r, got.r) && near(want.g, got.g) && near(want.b, got.b))
                continue;
            if (wrong++ < 5)
                first << " (" << x << "," << y << ") is " << int(got.r) << "," << int(got.g) << "," << int(got.b)
                      << " not " << int(want.r) << "," << int(want.g) << "," << int(want.b) << ";";
        }
    if (wrong == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong << " pixels differ:" << first.str();
}
