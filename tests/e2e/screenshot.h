#pragma once

#include "sfml_compat.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>

#include <vector>

// The picture of a window as the X server holds it, opaque RGB.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<sf::Color> pixels;  // row by row

    sf::Color at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }

    sf::Image toImage() const
    {
        sf::Image image;
        compat::createImage(image, static_cast<unsigned>(width), static_cast<unsigned>(height), sf::Color::Black);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                compat::setPixel(image, static_cast<unsigned>(x), static_cast<unsigned>(y), at(x, y));
        return image;
    }
};
