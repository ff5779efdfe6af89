#include "commands.h"
#include "display.h"
#include "keyboard.h"
#include "SpriteObject.h"
#include "sfml_compat.h"
#include "standard_streams.h"
#include "window_placement.h"

#include <SFML/Graphics.hpp>

#include <chrono>
#include <iostream>
#include <string>

// Names the SFML the program was built with, so that two builds running side
// by side can be told apart.
const std::string windowTitle = "spritebench (SFML " + std::to_string(SFML_VERSION_MAJOR) + "." +
                                std::to_string(SFML_VERSION_MINOR) + "." + std::to_string(SFML_VERSION_PATCH) + ")";

namespace {

void drawFrame(sf::RenderWindow& window, SpriteObject& p)
{
    window.clear(sf::Color(255, 255, 255, 255));
    p.draw(window);
    window.display();
}

// How often the window is drawn while a prompt waits: often enough that a
// part of it uncovered by another window is drawn again at once, seldom
// enough that waiting costs next to nothing.
constexpr std::chrono::milliseconds promptFrameInterval(30);

// While a prompt waits for a number that has not come, the window lives on:
// it takes its events (the library answers the desktop's "are you alive?"
// among them), which run no command, then or later, and is drawn as it
// stands. A close request closes it and gives the prompt up. A window closed
// already, by the very event whose pass asked, has nothing to take or draw:
// the prompt waits for its number as it would without a window.
WhileWaiting keepWindowAlive(sf::RenderWindow& window, SpriteObject& p)
{
    return [&window, &p] {
        if (window.isOpen()) {
            for (compat::Event event; (event = compat::pollEvent(window)) != compat::Event::None;) {
                if (event == compat::Event::Closed) {
                    window.close();
                    return false;
                }
            }
            drawFrame(window, p);
        }
        awaitStandardInput(promptFrameInterval);
        return true;
    };
}

}  // namespace

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
    const WhileWaiting whilePromptWaits = keepWindowAlive(window, *p);

    while (window.isOpen()) {
        for (compat::Event event; (event = compat::pollEvent(window)) != compat::Event::None;) {
            if (event == compat::Event::Closed)
                window.close();
            runCommandPass(p, dalpha, angle, keyboard, std::cin, std::cout, whilePromptWaits);
        }
        drawFrame(window, *p);
    }

    // The object goes first, while the window (and its GL context) still exists.
    delete p;
    return standardOutputLost() ? 1 : 0;
}
