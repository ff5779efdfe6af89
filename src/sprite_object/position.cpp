#include "SpriteObject.h"

void SpriteObject::setXY(float newX, float newY)
{
    x = newX;
    y = newY;
    applyPosition();
}

void SpriteObject::setX(float newX)
{
    x = newX;
    applyPosition();
}

void SpriteObject::setY(float newY)
{
    y = newY;
    applyPosition();
}

void SpriteObject::setDXY(float dx, float dy)
{
    x += dx;
    y += dy;
    applyPosition();
}

void SpriteObject::setDX(float dx)
{
    x += dx;
    applyPosition();
}

void SpriteObject::setDY(float dy)
{
    y += dy;
    applyPosition();
}

float SpriteObject::getX() const { return x; }
float SpriteObject::getY() const { return y; }

void SpriteObject::applyPosition()
{
    sprite.setPosition(sf::Vector2f(x, y));
}
