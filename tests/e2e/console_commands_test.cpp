#include "end_to_end_test.h"

// Every kind of row of the command table once, through the real program:
// real keys, real console, exact console text.
namespace {

using ConsoleCommands = StartedTest;

TEST_F(ConsoleCommands, SettersTakeTheirNumbersAndTwoFitOnOneLine)
{
    EXPECT_EQ(bench->pass("q", "3 4\n"), "setXY(x, y): \nx = y = ");
    EXPECT_EQ(bench->pass("12"), "p->getX() = 3\np->getY() = 4\n");

    EXPECT_EQ(bench->pass("w", "10\n"), "setX(x): \nx = ");
    EXPECT_EQ(bench->pass("e", "20\n"), "setY(y): \ny = ");
    EXPECT_EQ(bench->pass("12"), "p->getX() = 10\np->getY() = 20\n");
}

TEST_F(ConsoleCommands, RelativeMovesAddToThePosition)
{
    EXPECT_EQ(bench->pass("a", "5\n-5\n"), "setDXY(dx,dy): \ndx = dy = ");
    EXPECT_EQ(bench->pass("s", "0.5\n"), "setDX(dx): \ndx = ");
    EXPECT_EQ(bench->pass("d", "-1.5\n"), "setDY(dy): \ndy = ");
    EXPECT_EQ(bench->pass("12"), "p->getX() = 105.5\np->getY() = 93.5\n");
}

TEST_F(ConsoleCommands, AlphaIsSetSteppedAndClamped)
{
    EXPECT_EQ(bench->pass("z", "100\n"), "setAlpha(alpha): \nalpha = ");
    EXPECT_EQ(bench->pass("x", "10\n"), "dalpha = ");
    EXPECT_EQ(bench->pass("3"), "p->getAlpha() = 100\n");
    EXPECT_EQ(bench->pass("c"), "setDAlpha(10), (alpha = 100)\n");
    EXPECT_EQ(bench->pass("3"), "p->getAlpha() = 110\n");

    EXPECT_EQ(bench->pass("x", "200\n"), "dalpha = ");
    EXPECT_EQ(bench->pass("c"), "setDAlpha(200), (alpha = 110)\n");
    EXPECT_EQ(bench->pass("3"), "p->getAlpha() = 255\n");

    EXPECT_EQ(bench->pass("z", "-20\n"), "setAlpha(alpha): \nalpha = ");
    EXPECT_EQ(bench->pass("3"), "p->getAlpha() = 0\n");
}

TEST_F(ConsoleCommands, RotationIsSetTurnedAndTurnedAgainWrappingAt360)
{
    EXPECT_EQ(bench->pass("v", "45\n"), "setRotation(angle): \nangle = ");
    EXPECT_EQ(bench->pass("b", "30\n"), "rotate(angle): \nangle = ");
    EXPECT_EQ(bench->pass("4"), "p->getRotation() = 75\n");
    EXPECT_EQ(bench->pass("n"), "rotate(30), (angle = 105)\n");

    EXPECT_EQ(bench->pass("v", "350\n"), "setRotation(angle): \nangle = ");
    EXPECT_EQ(bench->pass("n"), "rotate(30), (angle = 20)\n");
    EXPECT_EQ(bench->pass("b", "-40\n"), "rotate(angle): \nangle = ");
    EXPECT_EQ(bench->pass("4"), "p->getRotation() = 340\n");
}

TEST_F(ConsoleCommands, ScaleIsSetInBothForms)
{
    EXPECT_EQ(bench->pass("r", "2\n"), "setScale(scale): \nscale = ");
    EXPECT_EQ(bench->pass("56789"),
              "p->getScale() = 2\np->getScaleX() = 2\np->getScaleY() = 2\n"
              "p->getWidhtCurrent() = 64\np->getHeightCurrent() = 64\n");

    EXPECT_EQ(bench->pass("t", "2 3\n"), "setScale(scaleX, scaleY): \nscaleX = scaleY = ");
    EXPECT_EQ(bench->pass("56789"),
              "p->getScale() = 0\np->getScaleX() = 2\np->getScaleY() = 3\n"
              "p->getWidhtCurrent() = 64\np->getHeightCurrent() = 96\n");
}

TEST_F(ConsoleCommands, AllKeysHeldRunEveryRowOnceInTableOrder)
{
    EXPECT_EQ(bench->pass("tnr1xz2qcv9wbe8d3s7a4560", "1 2\n3\n4\n1 1\n1\n1\n100\n10\n45\n30\n2\n2 3\n"),
              "setXY(x, y): \nx = y = "
              "setX(x): \nx = "
              "setY(y): \ny = "
              "setDXY(dx,dy): \ndx = dy = "
              "setDX(dx): \ndx = "
              "setDY(dy): \ndy = "
              "p->getX() = 5\n"
              "p->getY() = 6\n"
              "p->getAlpha() = 255\n"
              "p->getRotation() = 0\n"
              "p->getScale() = 1\n"
              "p->getScaleX() = 1\n"
              "p->getScaleY() = 1\n"
              "p->getWidhtCurrent() = 32\n"
              "p->getHeightCurrent() = 32\n"
              "setAlpha(alpha): \nalpha = "
              "dalpha = "
              "setDAlpha(10), (alpha = 100)\n"
              "setRotation(angle): \nangle = "
              "rotate(angle): \nangle = "
              "rotate(30), (angle = 105)\n"
              "setScale(scale): \nscale = "
              "setScale(scaleX, scaleY): \nscaleX = scaleY = ");
    EXPECT_EQ(bench->pass("34567"),
              "p->getAlpha() = 110\np->getRotation() = 105\n"
              "p->getScale() = 0\np->getScaleX() = 2\np->getScaleY() = 3\n");
}

}  // namespace
