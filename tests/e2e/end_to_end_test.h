#pragma once

#include "../image_fixture.h"
#include "bench.h"
#include "picture_check.h"
#include "virtual_display.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>

// One virtual X server for all the tests of this process.
inline VirtualDisplay& sharedDisplay()
{
    static VirtualDisplay display;
    return display;
}

// Lines the graphics library writes on its own error stream. SFML 2 reports a
// failed load on one line, SFML 3 on four.
inline bool isLibraryMessage(const std::string& line)
{
    const auto startsWith = [&](const std::string& start) { return line.rfind(start, 0) == 0; };
    return startsWith("Failed to load image \"images/image1.png\". Reason: ") ||
           line == "Failed to load image" || line == "    Provided path: images/image1.png" ||
           startsWith("    Absolute path: /") || startsWith("Reason: ") ||
           ((startsWith("Failed to create texture, invalid size (") ||
             startsWith("Failed to resize texture, invalid size (")) && line.back() == ')') ||
           line == "Setting vertical sync not supported";
}

inline ::testing::AssertionResult onlyLibraryMessages(const std::string& errors)
{
    std::istringstream lines(errors);
    for (std::string line; std::getline(lines, line);)
        if (!isLibraryMessage(line))
            return ::testing::AssertionFailure() << "not the library's: \"" << line << "\"";
    return ::testing::AssertionSuccess();
}

// A scratch working directory for the program, with images/image1.png of
// known pixels: the quadrant sheet, whose pixels outside the top-left frame
// must never show.
class EndToEndTest : public ::testing::Test {
protected:
    EndToEndTest()
    {
        char pattern[] = "/tmp/spritebench-e2e-XXXXXX";
        root = mkdtemp(pattern);
        std::filesystem::create_directories(images());
        ScratchImages::save(ScratchImages::quadrantSheet(64, 64), images() / "image1.png");
    }
    ~EndToEndTest() override
    {
        bench.reset();
        std::filesystem::remove_all(root);
    }

    std::filesystem::path images() const { return root / "images"; }

    Bench& start(const Program::Streams& streams = Program::Input::Typed)
    {
        bench = std::make_unique<Bench>(sharedDisplay().name(), root, streams);
        return *bench;
    }

    void expectClosesWithExitCodeZero()
    {
        EXPECT_EQ(bench->close(), 0) << "standard error:\n" << bench->program().errors();
    }

    // The sheet's top-left frame as drawn at start-up.
    static SpriteLook upright()
    {
        return {100, 100, 32, ScratchImages::topLeft, ScratchImages::topRight, ScratchImages::bottomLeft,
                ScratchImages::bottomRight};
    }

    std::filesystem::path root;
    std::unique_ptr<Bench> bench;
};

// The same, started before each test.
class StartedTest : public EndToEndTest {
protected:
    StartedTest() { start(); }
};
