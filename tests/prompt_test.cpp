#include "prompt.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    for (const std::string bad : {"abc", "12abc", "nan", "inf", "-inf", "1e39", "-1e39", "3,5", "--1", "1e39abc",
                                  "-1e39x", "1e39,5", "1e39e"}) {
        Console console(bad + " 99 ignored too\n42\n");
        EXPECT_EQ(console.ask("x"), 42.0f) << bad;
        // Too large only when the whole word is the number.
        const bool large = bad == "1e39" || bad == "-1e39";
        EXPECT_EQ(console.out.str(), "x = " + (large ? tooLarge : refusal) + "x = ") << bad;
    }
}

TEST(PromptValue, CarriageReturnsTabsAndOtherBlanksSeparateWords)
{
    // A Windows editor ends every line with CR LF.
    Console console("5\r\n6\t7\r\n\t 8\v9\f10\r\n");
    for (const float expected : {5.0f, 6.0f, 7.0f, 8.0f, 9.0f, 10.0f})
        EXPECT_EQ(console.ask("v"), expected);
    EXPECT_EQ(console.out.str(), "v = v = v = v = v = v = ");
}

TEST(PromptValue, AWordOf4096CharactersIsReadAndOneOf4097IsRefused)
{
    // Number-like to the end, so that a cut word would read as a number.
    const std::string longest = std::string(4095, '0') + "1";
    Console fits(longest + " 7\n");
    EXPECT_EQ(fits.ask("x"), 1.0f);
    EXPECT_EQ(fits.ask("y"), 7.0f);
    EXPECT_EQ(fits.out.str(), "x = y = ");

    Console tooLong("0" + longest + " 7\n8\n");
    EXPECT_EQ(tooLong.ask("x"), 8.0f);
    EXPECT_EQ(tooLong.out.str(), "x = " + refusal + "x = ");
}

TEST(PromptValue, AByteOrderMarkAtTheStartOfTheInputIsSkipped)
{
    // As a Windows editor saves a file; each stream has a start of its own.
    for (int stream = 0; stream < 2; ++stream) {
        Console console("\xEF\xBB\xBF" "200 150\r\n");
        EXPECT_EQ(console.ask("x"), 200.0f);
        EXPECT_EQ(console.ask("y"), 150.0f);
        EXPECT_EQ(console.out.str(), "x = y = ");
    }
    Console markAlone("\xEF\xBB\xBF");
    EXPECT_EQ(markAlone.ask("x"), std::nullopt);
    EXPECT_EQ(markAlone.out.str(), "x = \n" + endLine);
}

TEST(PromptValue, AByteOrderMarkAnywhereElseIsPartOfTheWord)
{
    // After the first word, and after a blank at the start.
    for (const std::string typed : {"1 \xEF\xBB\xBF" "2\n3\n", "\xEF\xBB\xBF" "1\n\xEF\xBB\xBF" "2\n3\n"}) {
        Console console(typed);
        EXPECT_EQ(console.ask("x"), 1.0f);
        EXPECT_EQ(console.ask("y"), 3.0f);
        EXPECT_EQ(console.out.str(), "x = y = " + refusal + "y = ");
    }
    for (const std::string typed : {" \xEF\xBB\xBF" "2\n3\n", "\xEF\xBB" "2\n3\n", "\xEF" "2\n3\n"}) {
        Console console(typed);
        EXPECT_EQ(console.ask("x"), 3.0f);
        EXPECT_EQ(console.out.str(), "x = " + refusal + "x = ");
    }
    // At the start of a line after a refused word.
    Console afterRefusal("abc\n\xEF\xBB\xBF" "2\n3\n");
    EXPECT_EQ(afterRefusal.ask("x"), 3.0f);
    EXPECT_EQ(afterRefusal.out.str(), "x = " + refusal + "x = " + refusal + "x = ");
}

TEST(PromptValue, AnOutputThatFailedLeavesTheInputWorking)
{
    // As standard output is once its reader has gone.
    Console console("3 4\n");
    console.out.setstate(std::ios_base::badbit);
    EXPECT_EQ(console.ask("x"), 3.0f);
    EXPECT_EQ(console.ask("y"), 4.0f);
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

// Input that comes a character at a time, each time the prompt waits for it,
// as typing does. Nothing is available in between: a read made without
// waiting first finds the end instead, and the prompt would say so.
class Trickle : public std::streambuf {
public:
    explicit Trickle(std::string typed) : typed(std::move(typed)) {}

    // Lets one more character come.
    void comeOne() { come = std::min(come + 1, typed.size()); }
    int waits = 0;

protected:
    std::streamsize showmanyc() override { return static_cast<std::streamsize>(come - taken); }
    int_type underflow() override
    {
        return taken < come ? traits_type::to_int_type(typed[taken]) : traits_type::eof();
    }
    int_type uflow() override
    {
        const int_type next = underflow();
        taken += next != traits_type::eof();
        return next;
    }

private:
    std::string typed;
    std::size_t come = 0;
    std::size_t taken = 0;
};

TEST(PromptValue, WaitsThroughTheGivenWaitForInputThatComesLaterAndCanBeGivenUp)
{
    Trickle typed("\xEF\xBB\xBF 12 abc\n7\n");
    std::istream in(&typed);
    std::ostringstream out;
    const WhileWaiting comeOne = [&] {
        ++typed.waits;
        typed.comeOne();
        return true;
    };
    EXPECT_EQ(promptValue("x", in, out, comeOne), 12.0f);
    EXPECT_EQ(typed.waits, 7) << "once before each character, the blank after 12 included";
    EXPECT_EQ(promptValue("y", in, out, comeOne), 7.0f);
    EXPECT_EQ(out.str(), "x = y = " + refusal + "y = ");

    // Given up before the number comes: the prompt's line is ended and the
    // end of input is not said, for it has not ended.
    EXPECT_EQ(promptValue("z", in, out, [] { return false; }), std::nullopt);
    EXPECT_EQ(out.str(), "x = y = " + refusal + "y = z = \n");
    EXPECT_FALSE(inputEnded(in));
}

}  // namespace
