#include "SpriteObject.h"

#include <cmath>
#include <string>

SpriteObject::SpriteObject(sf::String fileName, int frameWidth, int frameHeight)
{
    initDefaults();
    loadImage(fileName, frameWidth, frameHeight);
}

SpriteObject::SpriteObject()
{
    initDefaults();
}

void SpriteObject::draw(sf::RenderWindow& window)
{
    window.draw(sprite, sf::RenderStates::Default);
}

void SpriteObject::initDefaults()
{
    setXY(0, 0);
    setAlpha(255);
    setRotation(0);
    setScale(1);
}

void SpriteObject::loadImage(sf::String fileName, int frameWidth, int frameHeight)
{
    widthBase = widthCurrent = static_cast<float>(frameWidth);
    heightBase = heightCurrent = static_cast<float>(frameHeight);

    const std::string path = (sf::String("images/") + fileName).toAnsiString();
    // A failed load is reported by the library on its own error stream; the
    // object then shows an empty texture and everything else works as usual.
    static_cast<void>(image.loadFromFile(path));
    compat::loadTexture(texture, image);

    sprite.setTexture(texture, false);
    sprite.setTextureRect(sf::IntRect({0, 0}, {frameWidth, frameHeight}));
    // Halves in whole pixels: an odd frame puts the origin half a pixel
    // left of or above its exact centre.
    sprite.setOrigin(sf::Vector2f(static_cast<float>(frameWidth / 2), static_cast<float>(frameHeight / 2)));
}

sf::Sprite SpriteObject::getSprite() const
{
    return sprite;
}
