#include "end_to_end_test.h"

namespace {

using StartUp = StartedTest;

TEST_F(StartUp, ShowsOnlyTheTopLeftFrameCentredAt100And100OnWhite)
{
    EXPECT_TRUE(showsOnly(bench->picture(), upright()));
    EXPECT_EQ(bench->program().output(), "");
}

TEST_F(StartUp, EachAccessorKeyPrintsItsStartUpValue)
{
    EXPECT_EQ(bench->pass("1"), "p->getX() = 100\n");
    EXPECT_EQ(bench->pass("2"), "p->getY() = 100\n");
    EXPECT_EQ(bench->pass("3"), "p->getAlpha() = 255\n");
    EXPECT_EQ(bench->pass("4"), "p->getRotation() = 0\n");
    EXPECT_EQ(bench->pass("5"), "p->getScale() = 1\n");
    EXPECT_EQ(bench->pass("6"), "p->getScaleX() = 1\n");
    EXPECT_EQ(bench->pass("7"), "p->getScaleY() = 1\n");
    EXPECT_EQ(bench->pass("8"), "p->getWidhtCurrent() = 32\n");
    EXPECT_EQ(bench->pass("9"), "p->getHeightCurrent() = 32\n");
}

TEST_F(StartUp, AccessorKeysHeldTogetherPrintInTheOrderOfTheTable)
{
    EXPECT_EQ(bench->pass("987654321"),
              "p->getX() = 100\n"
              "p->getY() = 100\n"
              "p->getAlpha() = 255\n"
              "p->getRotation() = 0\n"
              "p->getScale() = 1\n"
              "p->getScaleX() = 1\n"
              "p->getScaleY() = 1\n"
              "p->getWidhtCurrent() = 32\n"
              "p->getHeightCurrent() = 32\n");
}

}  // namespace
