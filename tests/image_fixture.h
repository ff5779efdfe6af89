#pragma once

#include "sfml_compat.h"

#include <SFML/Graphics/Image.hpp>

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

// Runs a test in a scratch working directory with its own images/ folder, so
// that the object under test reads a picture the test knows pixel by pixel.
class ScratchImages {
public:
    ScratchImages()
        : previous(std::filesystem::current_path()),
          root(std::filesystem::temp_directory_path() /
               ("spritebench-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++)))
    {
        std::filesystem::create_directories(root / "images");
        std::filesystem::current_path(root);
    }
    ~ScratchImages()
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(root);
    }

    // A sheet whose top-left 32 by 32 frame has four coloured quadrants and
    // whose pixels outside that frame are all `outside`.
    static sf::Image quadrantSheet(unsigned width, unsigned height)
    {
        sf::Image sheet;
        compat::createImage(sheet, width, height, outside);
        for (unsigned y = 0; y < 32 && y < height; ++y)
            for (unsigned x = 0; x < 32 && x < width; ++x)
                compat::setPixel(sheet, x, y,
                                 y < 16 ? (x < 16 ? topLeft : topRight) : (x < 16 ? bottomLeft : bottomRight));
        return sheet;
    }

    void write(const std::string& name, const sf::Image& image) const
    {
        save(image, root / "images" / name);
    }

    static void save(const sf::Image& image, const std::filesystem::path& path)
    {
        if (!image.saveToFile(path.string()))
            throw std::runtime_error("cannot write the test image " + path.string());
    }

    static inline const sf::Color topLeft{255, 0, 0};
    static inline const sf::Color topRight{0, 255, 0};
    static inline const sf::Color bottomLeft{0, 0, 255};
    static inline const sf::Color bottomRight{255, 255, 0};
    static inline const sf::Color outside{255, 0, 255};

private:
    static inline int counter = 0;
    std::filesystem::path previous;
    std::filesystem::path root;
};
