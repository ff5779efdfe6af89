#include "SpriteObject.h"

// The sprite always gets the angle as passed; only the object's own field is
// wrapped, once, so getRotation may read 360 where the sprite keeps 0.
void SpriteObject::setRotation(float angle)
{
    rotation = angle;
    compat::setRotation(sprite, angle);
    normalizeRotation();
}

void SpriteObject::rotate(float angle)
{
    rotation += angle;
    compat::rotate(sprite, angle);
    normalizeRotation();
}

float SpriteObject::getRotation() const { return rotation; }

void SpriteObject::normalizeRotation()
{
    if (rotation < 0)
        rotation += 360;
    else if (rotation > 360)
        rotation -= 360;
}
