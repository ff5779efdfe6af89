#include "end_to_end_test.h"

#include <fstream>

// images/image1.png that is no picture, or an odd one: the program still
// opens its window, runs and closes cleanly, and has nothing to say about it
// beyond the graphics library's own messages.
namespace {

// Nothing outside the square where the frame is drawn at start-up.
::testing::AssertionResult nothingOutsideTheFrame(const Screenshot& shot)
{
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if ((x < 84 || x >= 116 || y < 84 || y >= 116) && shot.at(x, y) != sf::Color::White)
                return ::testing::AssertionFailure() << "(" << x << "," << y << ") is not white";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult nothingAtAll(const Screenshot& shot) { return showsOnly(shot, std::nullopt); }

class HostileImage : public EndToEndTest {
protected:
    HostileImage() { std::filesystem::remove(images() / "image1.png"); }

    // Starts on whatever the test put in images/ and checks that the program
    // answers, shows what it should and closes cleanly with nothing to say.
    void expectRunsAndClosesCleanly(::testing::AssertionResult (*looksRight)(const Screenshot&))
    {
        start();
        EXPECT_EQ(bench->program().output(), "");
        EXPECT_EQ(bench->pass("18"), "p->getX() = 100\np->getWidhtCurrent() = 32\n");
        EXPECT_TRUE(looksRight(bench->picture()));
        expectClosesWithExitCodeZero();
        EXPECT_EQ(bench->program().output(), "p->getX() = 100\np->getWidhtCurrent() = 32\n");
        EXPECT_TRUE(onlyLibraryMessages(bench->program().errors()));
    }

    void expectLoadFailureReported()
    {
        EXPECT_NE(bench->program().errors().find("Failed to load image"), std::string::npos);
    }

    void writeFile(const std::string& content)
    {
        std::ofstream(images() / "image1.png", std::ios::binary) << content;
    }
};

TEST_F(HostileImage, EmptyFile)
{
    writeFile("");
    expectRunsAndClosesCleanly(nothingAtAll);
    expectLoadFailureReported();
}

TEST_F(HostileImage, TextFileNamedLikeAPicture)
{
    writeFile("this is not a picture\n");
    expectRunsAndClosesCleanly(nothingAtAll);
    expectLoadFailureReported();
}

TEST_F(HostileImage, DirectoryNamedLikeAPicture)
{
    std::filesystem::create_directory(images() / "image1.png");
    expectRunsAndClosesCleanly(nothingAtAll);
    expectLoadFailureReported();
}

TEST_F(HostileImage, OnePixelPictureSmallerThanTheFrame)
{
    sf::Image dot;
    compat::createImage(dot, 1, 1, sf::Color::Red);
    ScratchImages::save(dot, images() / "image1.png");
    expectRunsAndClosesCleanly(nothingOutsideTheFrame);
}

TEST_F(HostileImage, VeryLargePictureStillShowsOnlyItsTopLeftFrame)
{
    ScratchImages::save(ScratchImages::quadrantSheet(4096, 4096), images() / "image1.png");
    expectRunsAndClosesCleanly([](const Screenshot& shot) { return showsOnly(shot, upright()); });
}

}  // namespace
