#include "end_to_end_test.h"

#include <cstdlib>
#include <initializer_list>

// Keymaps of two layouts, as `setxkbmap us,fr` or a desktop with two input
// sources makes them, with keys pressed by keycode as a keyboard sends them:
// a key runs the command of the letter that the layout in use shows on it.
namespace {

// X keycodes of a pc105 keyboard, by the US letter on the key.
constexpr unsigned usQ = 24, usW = 25, usY = 29, usZ = 52, us1 = 10, us3 = 12;

class KeyboardLayouts : public EndToEndTest {
protected:
    // The program goes before its X server.
    ~KeyboardLayouts() override { bench.reset(); }

    // The keymap of `layouts`, with the layout group `active` in use: on the
    // test's own X server, as the layouts could be changed by a desktop at
    // any time.
    void useLayouts(const std::string& layouts, unsigned active)
    {
        const std::string command = "setxkbmap -display " + display.name() + " -layout " + layouts;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        hands.lockLayoutGroup(active);
    }

    void startProgram() { bench = std::make_unique<Bench>(display.name(), root); }

    // Holds the keys of `keycodes` while one pointer motion reaches the
    // window and types `typed`, until the program has printed `until`;
    // returns all it printed meanwhile.
    std::string press(std::initializer_list<unsigned> keycodes, const std::string& until,
                      const std::string& typed = "")
    {
        Program& program = bench->program();
        const size_t before = program.output().size();
        for (unsigned keycode : keycodes)
            hands.holdKeycode(keycode);
        bench->nudgePointer();
        if (!typed.empty())
            program.type(typed);
        const bool printed =
            program.waitUntil([&] { return program.output().find(until, before) != std::string::npos; });
        for (unsigned keycode : keycodes)
            hands.releaseKeycode(keycode);
        bench->settle();
        EXPECT_TRUE(printed) << "never printed \"" << until << "\"";
        return program.output().substr(before);
    }

    VirtualDisplay display;
    Desktop hands{display.name()};
};

TEST_F(KeyboardLayouts, TheSecondLayoutInUseAtStartUpGivesTheKeysItsLetters)
{
    useLayouts("us,fr", 1);
    startProgram();
    // AZERTY prints A where a US keyboard has Q, and 1 on the shifted level.
    EXPECT_EQ(press({usQ}, "dy = ", "5 6\n"), "setDXY(dx,dy): \ndx = dy = ");
    EXPECT_EQ(press({us1}, "p->getX() = 105\n"), "p->getX() = 105\n");
    EXPECT_EQ(press({usW}, "alpha = ", "7\n"), "setAlpha(alpha): \nalpha = ");
}

TEST_F(KeyboardLayouts, LayoutsAndTheGroupInUseChangedWhileTheProgramRunsMoveTheKeys)
{
    startProgram();
    useLayouts("us,de", 1);
    // German keys trade Y and Z with the US ones.
    EXPECT_EQ(press({usY}, "alpha = ", "100\n"), "setAlpha(alpha): \nalpha = ");
    EXPECT_EQ(press({usZ, us3}, "p->getAlpha() = 100\n"), "p->getAlpha() = 100\n");
    hands.lockLayoutGroup(0);
    EXPECT_EQ(press({usZ}, "alpha = ", "50\n"), "setAlpha(alpha): \nalpha = ");
    EXPECT_EQ(press({usY, us3}, "p->getAlpha() = 50\n"), "p->getAlpha() = 50\n");
}

}  // namespace
