#include "commands.h"
#include "display.h"
#include "SpriteObject.h"
#include "standard_streams.h"

#include <SFML/Graphics.hpp>

#include <iostream>

int main()
{
    prepareStandardStreams();

    // Only with X11 can the display be missing or lack OpenGL; the library
    // would abort or crash at its first texture. openDisplay says why.
    const DisplayConnection display = openDisplay(std::cerr);
    if (!display)
        return 1;

    SpriteObject* p = new SpriteObject("image1.png", 32, 32);
    p->setXY(100, 100);
    float dalpha = 0;
    float angle = 0;

    sf::RenderWindow window(sf::VideoMode(640, 480, 32), sf::String("spritebench"), sf::Style::Default,
                            sf::ContextSettings(0, 0, 0, 2, 0));
    const KeyIsDown keyIsDown = [](sf::Keyboard::Key key) { return sf::Keyboard::isKeyPressed(key); };

    while (window.isOpen()) {
        sf::Event event;
        while (window.pollEvent(event)) {
            if (event.type == sf::Event::Closed)
                window.close();
            runCommandPass(p, dalpha, angle, keyIsDown, std::cin, std::cout);
        }
        window.clear(sf::Color(255, 255, 255, 255));
        p->draw(window);
        window.display();
    }

    // The object goes first, while the window (and its GL context) still exists.
    delete p;
    return 0;
}
