#include "prompt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

namespace {

struct Console {
    explicit Console(std::string typed) : in(std::move(typed)) {}
    std::optional<float> ask(const std::string& name) { return promptValue(name, in, out); }
    std::istringstream in;
    std::ostringstream out;
};

const std::string endLine = "standard input has ended; console commands are now ignored\n";
const std::string refusal = "not a number, try again\n";
const std::string tooLarge = "too large for a float, try again\n";

TEST(PromptValue, ReadsOneNumberAndLeavesTheRestOfTheLine)
{
    Console console("3 4\n");
    EXPECT_EQ(console.ask("x"), 3.0f);
    EXPECT_EQ(console.ask("y"), 4.0f);
    EXPECT_EQ(console.out.str(), "x = y = ");
}

TEST(PromptValue, SkipsBlankLinesAndAcceptsEveryFormThatStreamsRead)
{
    Console console("\n\n   -0\n1e3 .5 +7 2.5e-1\n");
    const auto negativeZero = console.ask("a");
    ASSERT_TRUE(negativeZero);
    EXPECT_EQ(*negativeZero, 0.0f);
    EXPECT_TRUE(std::signbit(*negativeZero));
    EXPECT_EQ(console.ask("b"), 1000.0f);
    EXPECT_EQ(console.ask("c"), 0.5f);
    EXPECT_EQ(console.ask("d"), 7.0f);
    EXPECT_EQ(console.ask("e"), 0.25f);
}

TEST(PromptValue, RefusesWhatIsNotAWholeNumberAndAsksAgain)
{
    for (const std::string bad : {"abc", "12abc", "nan", "inf", "-inf", "1e39", "-1e39", "3,5", "--1"}) {
        Console console(bad + " 99 ignored too\n42\n");
        EXPECT_EQ(console.ask("x"), 42.0f) << bad;
        const bool large = bad.find("1e39") != std::string::npos;
        EXPECT_EQ(console.out.str(), "x = " + (large ? tooLarge : refusal) + "x = ") << bad;
    }
}

TEST(PromptValue, NumbersTooSmallForAFloatBecomeZeroOrADenormal)
{
    Console console("1e-50 -1e-50 1e-40\n");
    EXPECT_EQ(console.ask("a"), 0.0f);
    const auto negative = console.ask("b");
    ASSERT_TRUE(negative);
    EXPECT_TRUE(*negative == 0.0f && std::signbit(*negative));
    const auto denormal = console.ask("c");
    ASSERT_TRUE(denormal);
    EXPECT_GT(*denormal, 0.0f);
    EXPECT_LT(*denormal, std::numeric_limits<float>::min());
}

TEST(PromptValue, EndOfInputGivesNoValueAndIsReportedOnce)
{
    Console console("");
    EXPECT_EQ(console.ask("x"), std::nullopt);
    EXPECT_EQ(console.ask("y"), std::nullopt);
    EXPECT_EQ(console.out.str(), "x = \n" + endLine);
    EXPECT_TRUE(inputEnded(console.in));
}

TEST(PromptValue, LastNumberBeforeTheEndIsUsedAndTheEndReported)
{
    Console console("7");
    EXPECT_EQ(console.ask("x"), 7.0f);
    EXPECT_EQ(console.ask("y"), std::nullopt);
    // The typed 7 stands after "x = " on the console: the notice starts a line.
    EXPECT_EQ(console.out.str(), "x = \n" + endLine);
}

TEST(PromptValue, EndAfterAWordIsAnEndNotAValue)
{
    Console console("abc");
    EXPECT_EQ(console.ask("x"), std::nullopt);
    EXPECT_EQ(console.out.str(), "x = " + refusal + "x = \n" + endLine);
}

TEST(PromptValue, HugeLineOfGarbageIsDiscardedWhole)
{
    Console console(std::string(1 << 20, 'z') + " 5\n6\n");
    EXPECT_EQ(console.ask("x"), 6.0f);
    EXPECT_EQ(console.out.str(), "x = " + refusal + "x = ");
}

}  // namespace
