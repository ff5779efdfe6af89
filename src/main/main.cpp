#include "commands.h"
#include "display.h"
#include "keyboard.h"
#include "SpriteObject.h"
#include "sfml_compat.h"
#include "standard_streams.h"
#include "window_placement.h"

#include <SFML/Graphics.hpp>

#include <iostream>
#include <string>

// Names the SFML the program was built with, so that two builds running side
// by side can be told apart.
const std::string windowTitle = "spritebench (SFML " + std::to_string(SFML_VERSION_MAJOR) + "." +
                                std::to_string(SFML_VERSION_MINOR) + "." + std::to_string(SFML_VERSION_PATCH) + ")";

int main()
{
    prepareStandardStreams();

    // Only with X11 can the display be missing or lack OpenGL; the library
    // would abort or crash at its first texture. openDisplay says why.
    const DisplayConnection display = openDisplay(std::cerr);
    if (!display)
        return 1;
    const sf::Vector2u windowSize(640, 480);
    if (!windowWillShow(display, windowSize, std::cerr))
        return 1;

    SpriteObject* p = new SpriteObject("image1.png", 32, 32);
    p->setXY(100, 100);
    float dalpha = 0;
    float angle = 0;

    sf::RenderWindow window;
    // No depth, stencil or antialiasing; OpenGL 2.0.
    compat::createWindow(window, display, windowSize.x, windowSize.y, sf::String(windowTitle), sf::Style::Default,
                         sf::ContextSettings{0, 0, 0, 2, 0});
    const Keyboard keyboard = keyboardOn(display);

    while (window.isOpen()) {
        for (compat::Event event; (event = compat::pollEvent(window)) != compat::Event::None;) {
            if (event == compat::Event::Closed)
                window.close();
            runCommandPass(p, dalpha, angle, keyboard, std::cin, std::cout);
        }
        window.clear(sf::Color(255, 255, 255, 255));
        p->draw(window);
        window.display();
    }

    // The object goes first, while the window (and its GL context) still exists.
    delete p;
    return standardOutputLost() ? 1 : 0;
}
