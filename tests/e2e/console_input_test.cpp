#include "end_to_end_test.h"

// What the console does with what a person types, or with its end.
namespace {

const std::string endLine = "standard input has ended; console commands are now ignored\n";

using ConsoleInput = StartedTest;

TEST_F(ConsoleInput, AWordIsRefusedAndTheNumberAfterItIsUsed)
{
    EXPECT_EQ(bench->pass("w", "abc\n7\n"), "setX(x): \nx = not a number, try again\nx = ");
    EXPECT_EQ(bench->pass("1"), "p->getX() = 7\n");
}

TEST_F(ConsoleInput, EndOfInputIsReportedOnceAndNothingIsApplied)
{
    bench->program().endInput();
    EXPECT_EQ(bench->pass("q"), "setXY(x, y): \nx = \n" + endLine);
    EXPECT_EQ(bench->pass("q"), "");
    EXPECT_EQ(bench->pass("wzxvbrt"), "");
    EXPECT_EQ(bench->pass("12"), "p->getX() = 100\np->getY() = 100\n");
    expectClosesWithExitCodeZero();
}

}  // namespace
