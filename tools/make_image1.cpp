// Draws images/image1.png: a 64 by 64 sheet whose top-left 32 by 32 frame has
// four quadrants of different colours and a black arrow pointing right, so a
// rotation, a mirror or a wrong texture rectangle shows at once. Outside the
// frame the sheet is a grey checkerboard, which must never be seen.
#include "sfml_compat.h"

#include <SFML/Graphics/Image.hpp>

#include <cstdlib>
#include <iostream>

namespace {

sf::Color quadrantColour(unsigned x, unsigned y)
{
    const bool right = x >= 16;
    const bool bottom = y >= 16;
    if (!bottom)
        return right ? sf::Color(40, 170, 60) : sf::Color(220, 40, 40);  // green, red
    return right ? sf::Color(240, 200, 30) : sf::Color(40, 80, 220);     // yellow, blue
}

bool onArrow(unsigned x, unsigned y)
{
    const int dy = static_cast<int>(y) - 16;  // rows 14..17 carry the shaft
    const bool shaft = x >= 4 && x < 20 && dy >= -2 && dy < 2;
    const int headDepth = static_cast<int>(x) - 20;  // the head narrows to the right
    const bool head = x >= 20 && x < 29 && dy >= -(8 - headDepth) && dy < (8 - headDepth);
    return shaft || head;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "images/image1.png";
    sf::Image sheet;
    compat::createImage(sheet, 64, 64, sf::Color::Black);
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 64; ++x) {
            if (x < 32 && y < 32)
                compat::setPixel(sheet, x, y, onArrow(x, y) ? sf::Color::Black : quadrantColour(x, y));
            else
                compat::setPixel(sheet, x, y, ((x / 8 + y / 8) % 2) ? sf::Color(90, 90, 90) : sf::Color(180, 180, 180));
        }
    if (!sheet.saveToFile(path)) {
        std::cerr << "make_image1: cannot write " << path << "\n";
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
