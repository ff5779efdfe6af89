#include "end_to_end_test.h"

#include <cerrno>
#include <cstring>
#include <thread>

// The console given what no one means to type, or nothing at all. Nothing
// may crash, spin, or reach the object with a number nobody typed.
namespace {

const std::string endLine = "standard input has ended; console commands are now ignored\n";
const std::string refusal = "not a number, try again\n";
const std::string tooLarge = "too large for a float, try again\n";

class NoConsole : public EndToEndTest {};

TEST_F(NoConsole, StandardInputFromDevNullEndsTheFirstPromptAndSilencesTheRest)
{
    start(Program::Input::DevNull);
    EXPECT_EQ(bench->pass("q"), "setXY(x, y): \nx = \n" + endLine);
    EXPECT_EQ(bench->pass("q"), "");
    EXPECT_EQ(bench->pass("weasdzxvbrt"), "");
    EXPECT_EQ(bench->pass("123456789"),
              "p->getX() = 100\np->getY() = 100\np->getAlpha() = 255\np->getRotation() = 0\n"
              "p->getScale() = 1\np->getScaleX() = 1\np->getScaleY() = 1\n"
              "p->getWidhtCurrent() = 32\np->getHeightCurrent() = 32\n");
    expectClosesWithExitCodeZero();
}

using HostileConsole = StartedTest;

TEST_F(HostileConsole, EndInTheMiddleOfATwoValueCommandAppliesNeitherValue)
{
    bench->hold("q");
    const Traffic before = bench->mark();
    bench->nudgePointer();
    bench->program().type("5\n");
    ASSERT_TRUE(bench->program().waitForOutput("x = y = "));
    bench->program().endInput();
    bench->waitForPasses(before, 1);
    bench->release("q");

    EXPECT_EQ(bench->program().output(), "setXY(x, y): \nx = y = \n" + endLine);
    EXPECT_EQ(bench->pass("12"), "p->getX() = 100\np->getY() = 100\n");
    EXPECT_EQ(bench->pass("q"), "");
}

TEST_F(HostileConsole, MegabyteLineIsRefusedWhole)
{
    const std::string megabyte(1 << 20, '9');
    EXPECT_EQ(bench->pass("w", megabyte + " 5\n8\n"), "setX(x): \nx = " + refusal + "x = ");
    EXPECT_EQ(bench->pass("1"), "p->getX() = 8\n");
}

TEST_F(HostileConsole, WhatIsNotAWholeFiniteFloatIsRefused)
{
    EXPECT_EQ(bench->pass("w", "12abc\nnan\ninf\n1e39\n-0\n"),
              "setX(x): \nx = " + refusal + "x = " + refusal + "x = " + refusal + "x = " + tooLarge + "x = ");
    EXPECT_EQ(bench->pass("1"), "p->getX() = -0\n");
}

TEST_F(HostileConsole, AnOutputThatGoesAwayLosesOnlyItsOwnText)
{
    // As `spritebench | head -c1` once head has its character.
    EXPECT_EQ(bench->pass("1"), "p->getX() = 100\n");
    bench->program().stopReadingOutput();
    bench->pass("1");
    bench->pass("q", "200 150\n");
    bench->pass("12");
    SpriteLook moved = upright();
    moved.centreX = 200;
    moved.centreY = 150;
    EXPECT_TRUE(showsOnly(bench->picture(), moved));
    EXPECT_TRUE(onlyLibraryMessages(bench->program().errors()));
    expectClosesWithExitCodeZero();
}

// Text lost otherwise, as to a full disk, is said once, and the program goes
// on but ends with a failure.
TEST_F(NoConsole, AnOutputThatCannotBeWrittenIsSaidOnceAndEndsWithExitCodeOne)
{
    Program::Streams full(Program::Input::DevNull);
    full.outputFull = true;
    start(full);
    bench->pass("1");
    bench->pass("12");
    const std::string message = "spritebench: standard output cannot be written (" + std::string(std::strerror(ENOSPC)) +
                                "): what the program prints there is being lost.\n";
    std::string errors = bench->program().errors();
    const size_t said = errors.find(message);
    ASSERT_NE(said, std::string::npos) << errors;
    errors.erase(said, message.size());
    EXPECT_TRUE(onlyLibraryMessages(errors));
    EXPECT_EQ(bench->close(), 1);
}

TEST_F(NoConsole, EndlessInputWithNoBlankInItKeepsMemoryFlat)
{
    start(Program::Input::DevZero);
    bench->hold("w");
    bench->nudgePointer();
    ASSERT_TRUE(bench->program().waitForOutput("setX(x): \nx = "));
    // Reading starts growing what stays bounded (under AddressSanitizer, the
    // fake stack frames of each refill of the input's buffer, up to a few
    // MiB); what follows must stay flat.
    std::this_thread::sleep_for(500ms);
    const long before = bench->program().residentKiB();
    std::this_thread::sleep_for(1500ms);
    EXPECT_LT(bench->program().residentKiB() - before, 2048) << "KiB more after 1.5 s of reading zeros";
}

TEST_F(NoConsole, StartedWithEveryStandardStreamClosedItRunsAndExitsWithZero)
{
    Program::Streams closed(Program::Input::Closed);
    closed.outputClosed = closed.errorsClosed = true;
    start(closed);
    bench->pass("1q");
    expectClosesWithExitCodeZero();
}

// Waiting at a prompt, the program sleeps between the frames it still draws
// 30 times a second (about 2% of a core, 10% under the sanitizers): a
// spinning one would use most of the wall time.
void expectSleepsFor300ms(Program& program)
{
    const auto before = program.cpuTime();
    std::this_thread::sleep_for(300ms);
    const auto used = program.cpuTime() - before;
    EXPECT_LT(used.count(), 60) << "milliseconds of processor time in 300";
}

TEST_F(HostileConsole, PromptWaitsWithoutSpinningAndAnEmptyLineKeepsItWaiting)
{
    bench->hold("w");
    const Traffic before = bench->mark();
    bench->nudgePointer();
    ASSERT_TRUE(bench->program().waitForOutput("x = "));
    expectSleepsFor300ms(bench->program());
    bench->program().type("\n");
    expectSleepsFor300ms(bench->program());
    EXPECT_EQ(bench->recorder().now().keyboardReads, before.keyboardReads + 1)
        << "the pass stops in the command of W, before the read after it";

    bench->program().type("6\n");
    bench->waitForPasses(before, 1);
    bench->release("w");
    bench->settle();
    EXPECT_EQ(bench->program().output(), "setX(x): \nx = ");
    EXPECT_EQ(bench->pass("1"), "p->getX() = 6\n");
}

// Another program may leave the pipe (or terminal) non-blocking, a flag that
// the program shares with it: a read then finds nothing yet rather than
// waiting. The prompt still waits, asleep, and only the true end ends input.
TEST_F(NoConsole, InputLeftNonBlockingIsWaitedForAndOnlyItsTrueEndEndsIt)
{
    Program::Streams nonBlocking;
    nonBlocking.inputNonBlocking = true;
    start(nonBlocking);
    bench->hold("w");
    const Traffic before = bench->mark();
    bench->nudgePointer();
    ASSERT_TRUE(bench->program().waitForOutput("x = ")) << bench->program().output();
    expectSleepsFor300ms(bench->program());
    bench->program().type("7\n");
    bench->waitForPasses(before, 1);
    bench->release("w");
    bench->settle();
    EXPECT_EQ(bench->program().output(), "setX(x): \nx = ");
    EXPECT_EQ(bench->pass("1"), "p->getX() = 7\n");

    bench->program().endInput();
    EXPECT_EQ(bench->pass("w"), "setX(x): \nx = \n" + endLine);
    expectClosesWithExitCodeZero();
}

}  // namespace
