// Saves pictures of the real window, drawn from the project's own
// images/image1.png, for the README: start-up, then rotated, scaled and
// half-transparent.
#include "bench.h"
#include "virtual_display.h"

#include <cstdlib>
#include <iostream>
#include <stdexcept>

namespace {

int takeScreenshots(const std::filesystem::path& projectRoot, const std::filesystem::path& output)
{
    VirtualDisplay display;
    Bench bench(display.name(), projectRoot);
    const auto save = [&](const char* name) {
        const std::string path = (output / name).string();
        if (!bench.picture().toImage().saveToFile(path))
            throw std::runtime_error("cannot write " + path);
        std::cout << path << "\n";
    };

    save("startup.png");
    bench.pass("v", "30\n");
    save("rotated.png");
    bench.pass("v", "0\n");
    bench.pass("r", "3\n");
    save("scaled.png");
    bench.pass("r", "1\n");
    bench.pass("z", "128\n");
    save("half-transparent.png");
    return bench.close() == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: take_screenshots PROJECT_ROOT OUTPUT_DIRECTORY\n";
        return EXIT_FAILURE;
    }
    try {
        return takeScreenshots(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::cerr << "take_screenshots: " << error.what() << "\n";
        return EXIT_FAILURE;
    }
}
