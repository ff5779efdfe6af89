#include "end_to_end_test.h"

#include <string>

// The loop as a person meets it: one command pass per event, none without
// one, and the close button.
namespace {

std::string times(int count, const std::string& text)
{
    std::string all;
    for (int i = 0; i < count; ++i)
        all += text;
    return all;
}

using WindowEvents = StartedTest;

TEST_F(WindowEvents, KeyHeldWhileThePointerMovesRunsOncePerMotion)
{
    bench->hold("1");
    const Traffic before = bench->mark();
    for (int i = 0; i < 5; ++i)
        bench->nudgePointer();
    bench->waitForPasses(before, 5);
    bench->release("1");
    bench->settle();

    EXPECT_EQ(bench->motionEvents(), 5);
    EXPECT_EQ(bench->keyboardReads(), 10) << "one per pass, one after each command that ran";
    EXPECT_EQ(bench->program().output(), times(5, "p->getX() = 100\n"));
}

TEST_F(WindowEvents, KeyHeldWithoutEventsRunsNothing)
{
    bench->hold("1q");
    for (int i = 0; i < 5; ++i)
        bench->settle();  // two frames each
    bench->release("1q");
    bench->settle();

    EXPECT_EQ(bench->keyboardReads(), 0);
    EXPECT_EQ(bench->program().output(), "");
}

TEST_F(WindowEvents, APassReadsTheKeyboardOnceWhateverIsHeldAndAgainAfterEachCommand)
{
    // No key down: one whole-keyboard read per pass.
    const Traffic before = bench->mark();
    for (int i = 0; i < 3; ++i)
        bench->nudgePointer();
    bench->waitForPasses(before, 3);
    bench->settle();
    EXPECT_EQ(bench->keyboardReads(), 3);

    // P is in no row, but it is down: still the one read. 1 and 2 run,
    // each followed by a read.
    EXPECT_EQ(bench->pass("p"), "");
    EXPECT_EQ(bench->keyboardReads(), 4);
    EXPECT_EQ(bench->pass("p12"), "p->getX() = 100\np->getY() = 100\n");
    EXPECT_EQ(bench->keyboardReads(), 7);
    EXPECT_EQ(bench->recorder().now().keyStateReads, before.keyStateReads) << "the library tested keys itself";
}

TEST_F(WindowEvents, CloseButtonEndsTheProgramWithExitCodeZero)
{
    expectClosesWithExitCodeZero();
    EXPECT_EQ(bench->program().output(), "");
}

class MissingImages : public EndToEndTest {};

TEST_F(MissingImages, WindowStillOpensAndTheLoopRuns)
{
    std::filesystem::remove_all(images());
    start();
    EXPECT_TRUE(showsOnly(bench->picture(), std::nullopt));
    EXPECT_EQ(bench->pass("18"), "p->getX() = 100\np->getWidhtCurrent() = 32\n");
    expectClosesWithExitCodeZero();
    EXPECT_NE(bench->program().errors().find("Failed to load image"), std::string::npos);
    EXPECT_TRUE(onlyLibraryMessages(bench->program().errors()));
}

}  // namespace
