#include "end_to_end_test.h"

// What a person sees in the window after each kind of change.
namespace {

using C = ScratchImages;

class Pixels : public StartedTest {};

TEST_F(Pixels, MoveTakesTheFrameToItsNewCentre)
{
    bench->pass("a", "50 -20\n");
    SpriteLook moved = upright();
    moved.centreX = 150;
    moved.centreY = 80;
    EXPECT_TRUE(showsOnly(bench->picture(), moved));
}

TEST_F(Pixels, AlphaZeroShowsNothingAndHalfAlphaBlendsOverWhite)
{
    bench->pass("z", "0\n");
    EXPECT_TRUE(showsOnly(bench->picture(), std::nullopt));

    bench->pass("z", "128\n");
    SpriteLook half = upright();
    half.alpha = 128;
    EXPECT_TRUE(showsOnly(bench->picture(), half));
}

TEST_F(Pixels, RotationBy90TurnsTheQuadrantsClockwise)
{
    bench->pass("v", "90\n");
    EXPECT_TRUE(showsOnly(bench->picture(), SpriteLook{100, 100, 32, C::bottomLeft, C::topLeft, C::bottomRight,
                                                       C::topRight}));
}

TEST_F(Pixels, ScaleTwoDrawsTheFrame64PixelsWideAroundTheSameCentre)
{
    bench->pass("r", "2\n");
    SpriteLook doubled = upright();
    doubled.size = 64;
    EXPECT_TRUE(showsOnly(bench->picture(), doubled));
}

TEST_F(Pixels, NegativeScaleXMirrorsLeftAndRight)
{
    bench->pass("t", "-1 1\n");
    EXPECT_TRUE(showsOnly(bench->picture(), SpriteLook{100, 100, 32, C::topRight, C::topLeft, C::bottomRight,
                                                       C::bottomLeft}));
}

TEST_F(Pixels, PositionOutsideTheWindowShowsNothingAndBreaksNothing)
{
    bench->pass("q", "-500 -500\n");
    EXPECT_TRUE(showsOnly(bench->picture(), std::nullopt));
    bench->pass("q", "100000 3000000\n");
    EXPECT_TRUE(showsOnly(bench->picture(), std::nullopt));
    EXPECT_EQ(bench->pass("12"), "p->getX() = 100000\np->getY() = 3e+06\n");

    bench->pass("q", "100 100\n");
    EXPECT_TRUE(showsOnly(bench->picture(), upright()));
    expectClosesWithExitCodeZero();
}

}  // namespace
