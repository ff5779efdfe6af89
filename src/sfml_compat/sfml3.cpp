#include "sfml_compat.h"

#include "window_placement.h"

#include <cmath>

namespace compat {

void createWindow(sf::RenderWindow& window, const DisplayConnection& display, unsigned width, unsigned height,
                  const sf::String& title, std::uint32_t style, const sf::ContextSettings& settings)
{
    const WindowFit fit = fitOnScreen(display, {width, height});
    const bool moved = createInPlace(display, fit, {width, height}, [&] {
        window.create(sf::VideoMode({width, height}, fit.bitsPerPixel), title, style, sf::State::Windowed, settings);
    });
    // Where the window could not be moved as it was made (the server cannot
    // say whose a window is), the library has made it where it shows at
    // least in part, or would still be waiting: it goes into place now.
    if (fit.centredCorner && !moved)
        window.setPosition(*fit.centredCorner);
}

// Raw mouse motion is new in SFML 3: one pointer motion brings a MouseMoved
// event and one or more raw ones. They are passed over, so that a motion is
// one event, as with SFML 2.
Event pollEvent(sf::Window& window)
{
    while (const std::optional<sf::Event> event = window.pollEvent()) {
        if (event->is<sf::Event::MouseMovedRaw>())
            continue;
        return event->is<sf::Event::Closed>() ? Event::Closed : Event::Other;
    }
    return Event::None;
}

sf::Sprite blankSprite(const sf::Texture& texture)
{
    return sf::Sprite(texture);
}

const sf::Texture* textureOf(const sf::Sprite& sprite)
{
    return &sprite.getTexture();
}

// SFML 3 wraps an angle into one turn through a conversion to int, which is
// undefined for angles of more than about 13 billion turns, NaN or infinity.
// So the angle is wrapped here, in degrees, exactly as SFML 2 wraps it, and
// SFML 3 gets it within one turn. A NaN or infinite angle has no place within
// a turn: the sprite keeps the angle it had.
void setRotation(sf::Transformable& object, float degrees)
{
    if (!std::isfinite(degrees))
        return;
    float wrapped = std::fmod(degrees, 360.f);
    if (wrapped < 0)
        wrapped += 360.f;
    object.setRotation(sf::degrees(wrapped));
}

// As SFML 2 turns: the sum of the angle and the turn, wrapped.
void rotate(sf::Transformable& object, float degrees)
{
    setRotation(object, rotationOf(object) + degrees);
}

float rotationOf(const sf::Transformable& object)
{
    return object.getRotation().asDegrees();
}

void loadTexture(sf::Texture& texture, const sf::Image& image)
{
    static_cast<void>(texture.loadFromImage(image));
}

sf::Image capture(const sf::RenderWindow& window)
{
    sf::Texture texture(window.getSize());
    texture.update(window);
    return texture.copyToImage();
}

void createImage(sf::Image& image, unsigned width, unsigned height, sf::Color colour)
{
    image.resize({width, height}, colour);
}

sf::Color pixelAt(const sf::Image& image, unsigned x, unsigned y)
{
    return image.getPixel({x, y});
}

void setPixel(sf::Image& image, unsigned x, unsigned y, sf::Color colour)
{
    image.setPixel({x, y}, colour);
}

}  // namespace compat
