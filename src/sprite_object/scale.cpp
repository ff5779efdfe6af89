#include "SpriteObject.h"

void SpriteObject::setScale(float newScale)
{
    if (newScale < 0)
        newScale = 0;
    scale = scaleX = scaleY = newScale;
    sprite.setScale(sf::Vector2f(scaleX, scaleY));
    widthCurrent = widthBase * scale;
    heightCurrent = heightBase * scale;
}

// Separate factors are kept as given (a negative one mirrors the picture);
// scale 0 marks that the uniform factor no longer applies.
void SpriteObject::setScale(float newScaleX, float newScaleY)
{
    scale = 0;
    scaleX = newScaleX;
    scaleY = newScaleY;
    sprite.setScale(sf::Vector2f(scaleX, scaleY));
    widthCurrent = widthBase * scaleX;
    heightCurrent = heightBase * scaleY;
}

float SpriteObject::getScale() const { return scaleX == scaleY ? scale : 0; }
float SpriteObject::getScaleX() const { return scaleX; }
float SpriteObject::getScaleY() const { return scaleY; }

float SpriteObject::getWidhtCurrent() const { return widthCurrent; }
float SpriteObject::getHeightCurrent() const { return heightCurrent; }
float SpriteObject::getWidthBase() const { return widthBase; }
float SpriteObject::getHeightBase() const { return heightBase; }
