#include "commands.h"
#include "image_fixture.h"
#include "SpriteObject.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Key = sf::Keyboard::Key;

// A bench with scripted keys and console: the object has no image, which the
// commands never need.
class CommandPassTest : public ::testing::Test {
protected:
    CommandPassTest() { object.setXY(100, 100); }

    // One pass with `keys` held; `typed` is added to what is still unread on
    // standard input. Returns what the pass wrote to standard output.
    std::string pass(std::set<Key> keys, const std::string& typed = "")
    {
        if (!typed.empty()) {
            std::string unread(std::istreambuf_iterator<char>(in), {});
            in.clear();
            in.str(unread + typed);
        }
        out.str("");
        runCommandPass(&object, dalpha, angle, {[] {}, [&](Key key) { return keys.count(key) > 0; }}, in, out);
        return out.str();
    }

    SpriteObject object;
    float dalpha = 0;
    float angle = 0;
    std::istringstream in;
    std::ostringstream out;
};

TEST_F(CommandPassTest, NoKeyDownDoesNothing)
{
    EXPECT_EQ(pass({}, "1 2\n"), "");
    EXPECT_EQ(object.getX(), 100);
}

TEST_F(CommandPassTest, PositionCommandsPromptAndCallTheirSetters)
{
    EXPECT_EQ(pass({Key::Q}, "3 4\n"), "setXY(x, y): \nx = y = ");
    EXPECT_EQ(object.getX(), 3);
    EXPECT_EQ(object.getY(), 4);

    EXPECT_EQ(pass({Key::W}, "10\n"), "setX(x): \nx = ");
    EXPECT_EQ(pass({Key::E}, "20\n"), "setY(y): \ny = ");
    EXPECT_EQ(object.getX(), 10);
    EXPECT_EQ(object.getY(), 20);

    EXPECT_EQ(pass({Key::A}, "5\n-5\n"), "setDXY(dx,dy): \ndx = dy = ");
    EXPECT_EQ(pass({Key::S}, "0.5\n"), "setDX(dx): \ndx = ");
    EXPECT_EQ(pass({Key::D}, "-1.5\n"), "setDY(dy): \ndy = ");
    EXPECT_EQ(object.getX(), 15.5f);
    EXPECT_EQ(object.getY(), 13.5f);
}

TEST_F(CommandPassTest, AccessorKeysEchoTheirValuesWithDefaultFormatting)
{
    // Each accessor has a value of its own, so that a row calling the wrong
    // one shows.
    ScratchImages images;
    images.write("image1.png", ScratchImages::quadrantSheet(32, 32));
    object.loadImage("image1.png", 10, 20);
    object.setY(-7);
    object.setAlpha(127.5f);
    object.setRotation(-30);
    object.setScale(0.5f, 3);
    const std::string expected =
        "p->getX() = 100\n"
        "p->getY() = -7\n"
        "p->getAlpha() = 127.5\n"
        "p->getRotation() = 330\n"
        "p->getScale() = 0\n"
        "p->getScaleX() = 0.5\n"
        "p->getScaleY() = 3\n"
        "p->getWidhtCurrent() = 5\n"
        "p->getHeightCurrent() = 60\n";
    EXPECT_EQ(pass({Key::Num9, Key::Num1, Key::Num5, Key::Num2, Key::Num3, Key::Num4, Key::Num6, Key::Num7,
                    Key::Num8}),
              expected);
}

TEST_F(CommandPassTest, AlphaStepIsKeptByXAndAppliedByC)
{
    EXPECT_EQ(pass({Key::C}), "setDAlpha(0), (alpha = 255)\n");
    EXPECT_EQ(object.getAlpha(), 255);

    EXPECT_EQ(pass({Key::Z}, "100\n"), "setAlpha(alpha): \nalpha = ");
    EXPECT_EQ(pass({Key::X}, "10\n"), "dalpha = ");
    EXPECT_EQ(dalpha, 10);
    EXPECT_EQ(object.getAlpha(), 100);

    EXPECT_EQ(pass({Key::C}), "setDAlpha(10), (alpha = 100)\n");
    EXPECT_EQ(pass({Key::C}), "setDAlpha(10), (alpha = 110)\n");
    EXPECT_EQ(object.getAlpha(), 120);
}

TEST_F(CommandPassTest, XAndCInOnePassStepByTheNewValue)
{
    // X comes before C in the table: C uses the step just typed.
    EXPECT_EQ(pass({Key::C, Key::X}, "-55\n"), "dalpha = setDAlpha(-55), (alpha = 255)\n");
    EXPECT_EQ(object.getAlpha(), 200);
}

TEST_F(CommandPassTest, RotationStepIsKeptByBAndAppliedAgainByN)
{
    EXPECT_EQ(pass({Key::N}), "rotate(0), (angle = 0)\n");

    EXPECT_EQ(pass({Key::B}, "30\n"), "rotate(angle): \nangle = ");
    EXPECT_EQ(angle, 30);
    EXPECT_EQ(object.getRotation(), 30);
    EXPECT_EQ(pass({Key::N}), "rotate(30), (angle = 60)\n");

    EXPECT_EQ(pass({Key::V}, "45\n"), "setRotation(angle): \nangle = ");
    EXPECT_EQ(object.getRotation(), 45);
    EXPECT_EQ(angle, 30);
    EXPECT_EQ(pass({Key::N}), "rotate(30), (angle = 75)\n");

    object.setRotation(350);
    EXPECT_EQ(pass({Key::N}), "rotate(30), (angle = 20)\n");
}

TEST_F(CommandPassTest, ScaleCommandsCallBothForms)
{
    EXPECT_EQ(pass({Key::R}, "2\n"), "setScale(scale): \nscale = ");
    EXPECT_EQ(object.getScale(), 2);
    EXPECT_EQ(pass({Key::T}, "2 3\n"), "setScale(scaleX, scaleY): \nscaleX = scaleY = ");
    EXPECT_EQ(object.getScale(), 0);
    EXPECT_EQ(object.getScaleX(), 2);
    EXPECT_EQ(object.getScaleY(), 3);
}

TEST_F(CommandPassTest, RowsRunInTableOrderWhateverTheKeyOrder)
{
    const std::string output = pass({Key::T, Key::Num1, Key::Q, Key::R}, "1 2 3 4 5\n");
    EXPECT_EQ(output,
              "setXY(x, y): \nx = y = "
              "p->getX() = 1\n"
              "setScale(scale): \nscale = "
              "setScale(scaleX, scaleY): \nscaleX = scaleY = ");
    EXPECT_EQ(object.getScaleX(), 4);
    EXPECT_EQ(object.getScaleY(), 5);
}

TEST_F(CommandPassTest, TheKeyboardIsReadOnceAndAgainAfterEachCommandThatRan)
{
    // Num1 is pressed only once Q's prompts have returned: the read after Q
    // must see it. Each read takes the state that the tests then answer from.
    std::set<Key> live{Key::Q}, lastRead;
    std::vector<Key> asked;
    int reads = 0;
    const Keyboard keyboard{[&] {
                                ++reads;
                                if (object.getX() == 7)
                                    live.insert(Key::Num1);
                                lastRead = live;
                            },
                            [&](Key key) {
                                asked.push_back(key);
                                return lastRead.count(key) > 0;
                            }};
    in.str("7 8\n");
    runCommandPass(&object, dalpha, angle, keyboard, in, out);
    EXPECT_EQ(out.str(), "setXY(x, y): \nx = y = p->getX() = 7\n");
    EXPECT_EQ(reads, 3) << "one at the start, one after each of the two commands";
    ASSERT_EQ(asked.size(), 23u);
    EXPECT_EQ(asked.front(), Key::Q);
    EXPECT_EQ(asked.back(), Key::T);

    reads = 0;
    live.clear();
    object.setX(0);
    runCommandPass(&object, dalpha, angle, keyboard, in, out);
    EXPECT_EQ(reads, 1) << "no table key down: the one read at the start";
}

TEST_F(CommandPassTest, WordIsRefusedAndAskedForAgain)
{
    EXPECT_EQ(pass({Key::W}, "left\n30\n"), "setX(x): \nx = not a number, try again\nx = ");
    EXPECT_EQ(object.getX(), 30);
}

const std::string endLine = "standard input has ended; console commands are now ignored\n";

TEST_F(CommandPassTest, EndOfInputAtTheFirstPromptCallsNothing)
{
    EXPECT_EQ(pass({Key::Q}), "setXY(x, y): \nx = \n" + endLine);
    EXPECT_EQ(object.getX(), 100);
    EXPECT_EQ(object.getY(), 100);
}

TEST_F(CommandPassTest, EndOfInputInsideACommandCallsNothingAndLaterOnlyNumberFreeKeysWork)
{
    dalpha = 5;
    angle = 7;
    object.setScale(2);
    EXPECT_EQ(pass({Key::T, Key::Num6}, "3"),
              "p->getScaleX() = 2\n"
              "setScale(scaleX, scaleY): \nscaleX = \n" + endLine);
    EXPECT_EQ(object.getScaleX(), 2);
    EXPECT_EQ(object.getScaleY(), 2);

    // Commands that read numbers are silent now; the accessors and the
    // stored steps still work.
    EXPECT_EQ(pass({Key::Q, Key::X, Key::B, Key::Z, Key::Num1, Key::C, Key::N}),
              "p->getX() = 100\n"
              "setDAlpha(5), (alpha = 255)\n"
              "rotate(7), (angle = 7)\n");
    EXPECT_EQ(dalpha, 5);
    EXPECT_EQ(angle, 7);
    EXPECT_EQ(object.getX(), 100);
}

TEST_F(CommandPassTest, APromptGivenUpEndsThePassWithNothingCalled)
{
    // The window closed while Q waited for y: x was typed, y never came.
    in.str("5 ");
    const WhileWaiting closed = [] { return false; };
    runCommandPass(&object, dalpha, angle, {[] {}, [](Key key) { return key == Key::Q || key == Key::Num1; }}, in,
                   out, closed);
    EXPECT_EQ(out.str(), "setXY(x, y): \nx = y = \n");
    EXPECT_EQ(object.getX(), 100);
}

}  // namespace
