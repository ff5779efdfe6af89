#pragma once

#include "sfml_compat.h"

#include <SFML/Graphics.hpp>

// A picture cut from an image file, with the numbers that place and shape it
// on screen. Every setter stores its value and passes it to the sprite at
// once; every accessor returns the stored value and never reads the sprite.
class SpriteObject {
public:
    SpriteObject(sf::String fileName, int frameWidth, int frameHeight);
    SpriteObject();
    ~SpriteObject() = default;

    // The sprite points at this object's own texture: a copy would show a
    // texture it does not own.
    SpriteObject(const SpriteObject&) = delete;
    SpriteObject& operator=(const SpriteObject&) = delete;

    void draw(sf::RenderWindow& window);
    void initDefaults();
    void loadImage(sf::String fileName, int frameWidth, int frameHeight);

    void setXY(float x, float y);
    void setX(float x);
    void setY(float y);
    void setDXY(float dx, float dy);
    void setDX(float dx);
    void setDY(float dy);
    float getX() const;
    float getY() const;

    void setAlpha(float alpha);
    void setDAlpha(float dalpha);
    float getAlpha() const;

    void setRotation(float angle);
    void rotate(float angle);
    float getRotation() const;

    void setScale(float scale);
    void setScale(float scaleX, float scaleY);
    float getScale() const;
    float getScaleX() const;
    float getScaleY() const;

    float getWidhtCurrent() const;
    float getHeightCurrent() const;
    float getWidthBase() const;
    float getHeightBase() const;

    sf::Sprite getSprite() const;

private:
    void applyPosition();
    void applyAlpha();
    void normalizeRotation();

    float x = 0;
    float y = 0;
    float alpha = 255;
    float rotation = 0;
    float scale = 1;
    float scaleX = 1;
    float scaleY = 1;
    float widthCurrent = 0;
    float heightCurrent = 0;
    // Zero until an image is loaded, so that the defaults applied before
    // loading (and by the constructor without a file) read a defined size.
    float widthBase = 0;
    float heightBase = 0;
    sf::Image image;
    sf::Texture texture;
    sf::Sprite sprite = compat::blankSprite(texture);
};
