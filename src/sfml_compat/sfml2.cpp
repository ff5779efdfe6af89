#include "sfml_compat.h"

#include "window_placement.h"

namespace compat {

void createWindow(sf::RenderWindow& window, const DisplayConnection& display, unsigned width, unsigned height,
                  const sf::String& title, std::uint32_t style, const sf::ContextSettings& settings)
{
    const WindowFit fit = fitOnScreen(display, {width, height});
    const bool moved = createInPlace(display, fit, {width, height}, [&] {
        window.create(sf::VideoMode(width, height, fit.bitsPerPixel), title, style, settings);
    });
    // Where the window could not be moved as it was made (the server cannot
    // say whose a window is), the library has made it where it shows at
    // least in part, or would still be waiting: it goes into place now.
    if (fit.centredCorner && !moved)
        window.setPosition(*fit.centredCorner);
}

Event pollEvent(sf::Window& window)
{
    sf::Event event;
    if (!window.pollEvent(event))
        return Event::None;
    return event.type == sf::Event::Closed ? Event::Closed : Event::Other;
}

sf::Sprite blankSprite(const sf::Texture&)
{
    return sf::Sprite();
}

const sf::Texture* textureOf(const sf::Sprite& sprite)
{
    return sprite.getTexture();
}

void setRotation(sf::Transformable& object, float degrees)
{
    object.setRotation(degrees);
}

void rotate(sf::Transformable& object, float degrees)
{
    object.rotate(degrees);
}

float rotationOf(const sf::Transformable& object)
{
    return object.getRotation();
}

void loadTexture(sf::Texture& texture, const sf::Image& image)
{
    static_cast<void>(texture.loadFromImage(image, sf::IntRect()));
}

sf::Image capture(const sf::RenderWindow& window)
{
    sf::Texture texture;
    texture.create(window.getSize().x, window.getSize().y);
    texture.update(window);
    return texture.copyToImage();
}

void createImage(sf::Image& image, unsigned width, unsigned height, sf::Color colour)
{
    image.create(width, height, colour);
}

sf::Color pixelAt(const sf::Image& image, unsigned x, unsigned y)
{
    return image.getPixel(x, y);
}

void setPixel(sf::Image& image, unsigned x, unsigned y, sf::Color colour)
{
    image.setPixel(x, y, colour);
}

}  // namespace compat
