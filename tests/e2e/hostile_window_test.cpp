#include "end_to_end_test.h"

#include <string>

// The window pushed harder than a person would: closed with a key down, and
// flooded with events.
namespace {

using HostileWindow = StartedTest;

TEST_F(HostileWindow, ClosingWhileAKeyIsHeldRunsThatLastPassAndExitsWithZero)
{
    bench->hold("1");
    expectClosesWithExitCodeZero();
    // The close request is an event too: its pass still runs, once.
    EXPECT_EQ(bench->program().output(), "p->getX() = 100\n");
}

TEST_F(HostileWindow, TheCloseRequestClosesTheWindowBeforeItsPassRuns)
{
    // Q's prompt holds the pass of the close request: the window is gone by then.
    bench->hold("q");
    bench->askToClose();
    ASSERT_TRUE(bench->program().waitForOutput("setXY(x, y): \nx = "));
    EXPECT_TRUE(bench->program().waitUntil([&] { return !bench->windowIsShown(); }));
    bench->release("q");
    bench->program().type("1 2\n");
    EXPECT_EQ(bench->program().waitForExit(), 0);
}

TEST_F(HostileWindow, EveryEventOfABurstRunsOnePassInOrder)
{
    constexpr int burst = 2000;
    bench->hold("12");
    const Traffic before = bench->mark();
    for (int i = 0; i < burst; ++i)
        bench->nudgePointer();
    bench->waitForPasses(before, burst);
    bench->release("12");
    bench->settle();

    // The server merged no motion, and the program ran one pass for each.
    EXPECT_EQ(bench->motionEvents(), burst);
    EXPECT_EQ(bench->keyboardReads(), 3 * burst) << "one per pass, one after each of its two commands";
    const std::string& output = bench->program().output();
    std::string expected;
    for (int i = 0; i < burst; ++i)
        expected += "p->getX() = 100\np->getY() = 100\n";
    EXPECT_EQ(output.size(), expected.size());
    EXPECT_TRUE(output == expected) << "lines lost, added or out of order";
}

}  // namespace
