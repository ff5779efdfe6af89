// The least a program on the same stack does to show the same picture: the
// window of spritebench (same size, style and context settings), one sprite
// cut from images/image1.png, and a loop that polls events, clears, draws and
// displays. The frame-rate and memory figures of spritebench are quoted
// against it. Run it from the project root; an argument replaces the window
// title, so that two copies can be told apart.
#include "sfml_compat.h"

#include <SFML/Graphics.hpp>
#include <X11/Xlib.h>
// Xlib's None, a macro, would stand for compat::Event::None below.
#undef None

int main(int argc, char** argv)
{
    sf::Texture texture;
    if (!texture.loadFromFile("images/image1.png"))
        return 1;
    sf::Sprite sprite(texture, sf::IntRect({0, 0}, {32, 32}));
    sprite.setOrigin(sf::Vector2f(16, 16));
    sprite.setPosition(sf::Vector2f(100, 100));

    // A plain connection, for the window's place on the screen.
    const DisplayConnection display(XOpenDisplay(nullptr),
                                    [](void* opened) { XCloseDisplay(static_cast<Display*>(opened)); });
    if (!display)
        return 1;
    sf::RenderWindow window;
    compat::createWindow(window, display, 640, 480, argc > 1 ? argv[1] : "minimal", sf::Style::Default,
                         sf::ContextSettings{0, 0, 0, 2, 0});
    while (window.isOpen()) {
        for (compat::Event event; (event = compat::pollEvent(window)) != compat::Event::None;)
            if (event == compat::Event::Closed)
                window.close();
        window.clear(sf::Color::White);
        window.draw(sprite);
        window.display();
    }
    return 0;
}
