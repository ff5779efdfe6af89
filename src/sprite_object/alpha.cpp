#include "SpriteObject.h"

#include <cmath>
#include <cstdint>

// A NaN is no opacity at all: it leaves alpha as it was, so that the
// conversion to the colour byte only ever sees a number within 0 to 255.
void SpriteObject::setAlpha(float newAlpha)
{
    if (!std::isnan(newAlpha))
        alpha = newAlpha;
    applyAlpha();
}

void SpriteObject::setDAlpha(float dalpha)
{
    if (!std::isnan(dalpha))
        alpha += dalpha;
    applyAlpha();
}

float SpriteObject::getAlpha() const { return alpha; }

void SpriteObject::applyAlpha()
{
    if (alpha < 0)
        alpha = 0;
    if (alpha > 255)
        alpha = 255;
    const auto byte = static_cast<std::uint8_t>(alpha);  // truncates; 127.9 shows as 127
    sprite.setColor(sf::Color(255, 255, 255, byte));
}
