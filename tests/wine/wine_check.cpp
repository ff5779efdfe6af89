// The Windows build of spritebench, run by Wine in an X server of the
// check's own and judged as a person at the machine would: the window opens
// and shows the sprite, a key held in it asks for a number on the console,
// the typed number moves the sprite, and closing the window ends the program
// with exit code 0.
//
//     wine_check WINE64 SPRITEBENCH_EXE SFML_VERSION
//
// SFML_VERSION is the SFML the .exe was built against (2.6.2, say): its
// window's title names it, so a build that quietly fell back to another SFML
// fails here.
// WINEPREFIX and WINEDEBUG are taken from the environment (scripts/windows
// sets both). Not one of the CTest suites: it needs Wine and a Windows build.

#include "../image_fixture.h"
#include "desktop.h"
#include "picture_check.h"
#include "program.h"
#include "virtual_display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

namespace {

std::string wine;
std::string windowsProgram;
std::string windowsTitle;

// The first start in a Wine prefix takes several seconds before any window.
constexpr auto windowPatience = 60s;

SpriteLook uprightAt(int x, int y)
{
    return {x, y, 32, ScratchImages::topLeft, ScratchImages::topRight, ScratchImages::bottomLeft,
            ScratchImages::bottomRight};
}

// The console text the program prints on Linux as a Windows program prints
// it: its C runtime writes standard output in text mode, which ends each
// line with a carriage return and a line feed.
std::string withWindowsLineEnds(const std::string& text)
{
    std::string windows;
    for (const char c : text)
        windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return windows;
}

// Console text with its line ends and carriage returns shown, for messages.
std::string visible(const std::string& text)
{
    std::string shown;
    for (const char c : text)
        shown += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return "\"" + shown + "\"";
}

// Looks at the window until it shows only `look`; the last verdict if it
// never does within `patience`.
::testing::AssertionResult comesToShow(Desktop& hands, WindowId window, const SpriteLook& look)
{
    const auto deadline = Clock::now() + patience;
    for (;;) {
        ::testing::AssertionResult verdict = showsOnly(hands.grab(window), look);
        if (verdict || Clock::now() > deadline)
            return verdict;
        std::this_thread::sleep_for(50ms);
    }
}

const std::string prompt = withWindowsLineEnds("setX(x): \nx = ");

// Starts the program with standard input from `input`, waits for its window
// to show the sprite and gives it the focus.
class UnderWine : public ::testing::Test {
protected:
    UnderWine() : hands(display.name())
    {
        scratch.write("image1.png", ScratchImages::quadrantSheet(64, 64));
        // A held key must make one key-down message, not a stream of them.
        hands.switchAutorepeatOff();
    }

    void start(const Program::Streams& input)
    {
        program = std::make_unique<Program>(std::vector<std::string>{wine, windowsProgram},
                                            std::filesystem::current_path(), display.name(), input);
        window = hands.waitForWindowOf(*program, windowsTitle, windowPatience);
        ASSERT_NE(window, 0u) << "no window \"" << windowsTitle << "\"; exit code "
                              << program->waitForExit(0s).value_or(-1) << ", standard error:\n"
                              << program->errors();
        EXPECT_TRUE(comesToShow(hands, window, uprightAt(100, 100)));
        EXPECT_EQ(program->output(), "");
        // No window manager runs here, and Wine does not give its window the
        // focus by itself.
        hands.giveFocusTo(window);
    }

    // Holds W in the focused window until W's prompt shows; false if it
    // does not.
    bool promptForX()
    {
        hands.holdKey('w');
        const bool prompted = program->waitForOutput(prompt);
        hands.releaseKey('w');
        return prompted;
    }

    void closesWithExitCodeZero()
    {
        hands.askToClose(window);
        EXPECT_EQ(program->waitForExit(), 0) << "standard error:\n" << program->errors();
    }

    VirtualDisplay display;
    ScratchImages scratch;  // the working directory now, with its images/
    Desktop hands;
    std::unique_ptr<Program> program;
    WindowId window = 0;
};

TEST_F(UnderWine, ShowsTheSpriteMovesItOnAKeyAndANumberTypedLaterAndClosesWithExitCodeZero)
{
    start(Program::Input::Typed);
    ASSERT_TRUE(promptForX()) << "holding W printed " << visible(program->output());
    // The prompt waits for the number with the window alive: it is still
    // drawn, and closing it would end the program.
    std::this_thread::sleep_for(300ms);
    program->type("250\n");
    EXPECT_TRUE(comesToShow(hands, window, uprightAt(250, 100)));
    EXPECT_EQ(visible(program->output()), visible(prompt));
    closesWithExitCodeZero();
}

TEST_F(UnderWine, ClosingTheWindowWhileAPromptWaitsEndsTheProgram)
{
    start(Program::Input::Typed);
    ASSERT_TRUE(promptForX()) << "holding W printed " << visible(program->output());
    // While the program's read of standard input still waits.
    closesWithExitCodeZero();
    EXPECT_EQ(visible(program->output()), visible(prompt + "\r\n"));
}

TEST_F(UnderWine, ReadsTheNumberOfAPromptFromAFile)
{
    // Saved as a Windows editor saves it.
    Program::Streams file(Program::Input::File);
    file.inputFile = std::filesystem::current_path() / "typed.txt";
    std::ofstream(file.inputFile, std::ios::binary) << "250\r\n";
    start(file);
    // The number is there at once: W may run again before it is up, and
    // meet the end of the file.
    hands.holdKey('w');
    const auto promptFirst = [&] { return program->output().rfind(prompt, 0) == 0; };
    program->waitUntil(promptFirst);
    hands.releaseKey('w');
    ASSERT_TRUE(promptFirst()) << "holding W printed " << visible(program->output());
    EXPECT_TRUE(comesToShow(hands, window, uprightAt(250, 100)));
    closesWithExitCodeZero();
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 4 || !std::getenv("WINEPREFIX")) {
        // Without a prefix of its own, Wine would make or change ~/.wine.
        std::cerr << "usage: WINEPREFIX=DIR " << argv[0] << " WINE64 SPRITEBENCH_EXE SFML_VERSION\n";
        return 2;
    }
    wine = argv[1];
    windowsProgram = std::filesystem::absolute(argv[2]).string();
    windowsTitle = "spritebench (SFML " + std::string(argv[3]) + ")";
    return RUN_ALL_TESTS();
}
