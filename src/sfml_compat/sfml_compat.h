#pragma once

#include "display.h"

#include <SFML/Graphics.hpp>

#include <cstdint>

// The few calls that SFML 2 and SFML 3 spell differently, each stated once.
// sfml2.cpp or sfml3.cpp implements them, whichever SFML the build found;
// everything else in the program, the tests and the benchmark calls SFML in
// the forms both majors accept.
namespace compat {

// Opens a window of the given size, windowed, with the given style and
// context, at 32 bits per pixel where the screen offers them (else at its own
// depth), centred on the screen unless a window manager places it. `display`
// is the caller's connection (openDisplay's), which asks and moves.
void createWindow(sf::RenderWindow& window, const DisplayConnection& display, unsigned width, unsigned height,
                  const sf::String& title,
                  std::uint32_t style = sf::Style::Default, const sf::ContextSettings& settings = sf::ContextSettings());

enum class Event { None, Closed, Other };

// Takes the next pending event of the window, if there is one, and tells
// whether it asks to close the window.
Event pollEvent(sf::Window& window);

// A sprite as it starts out in an object that has loaded nothing yet. An
// SFML 3 sprite always refers to a texture, so it refers to `texture`, whose
// size is still 0; an SFML 2 sprite refers to none.
sf::Sprite blankSprite(const sf::Texture& texture);

// The texture a sprite shows; nullptr where it shows none (SFML 2 only).
const sf::Texture* textureOf(const sf::Sprite& sprite);

// Angles in degrees, as floats.
void setRotation(sf::Transformable& object, float degrees);
void rotate(sf::Transformable& object, float degrees);
float rotationOf(const sf::Transformable& object);

// Uploads the whole image. As with every load here, the result is not
// examined: a failure is reported by the library on its own error stream.
void loadTexture(sf::Texture& texture, const sf::Image& image);

// What the window shows now, read back from its last drawn frame.
sf::Image capture(const sf::RenderWindow& window);

void createImage(sf::Image& image, unsigned width, unsigned height, sf::Color colour);
sf::Color pixelAt(const sf::Image& image, unsigned x, unsigned y);
void setPixel(sf::Image& image, unsigned x, unsigned y, sf::Color colour);

}  // namespace compat
