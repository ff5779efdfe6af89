#include "end_to_end_test.h"
#include "wayland_desktop.h"

#include <linux/input-event-codes.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

// The program on Wayland desktops, through each compositor's Xwayland: keys
// typed on the compositor's seat, with its keymap, run their commands.
namespace {

struct Compositor {
    const char* name;
    std::string (*missing)();
    std::unique_ptr<WaylandDesktop> (*start)(const std::string& layout);
    bool takesLayouts;
};

// Test names and failures name the compositor.
void PrintTo(const Compositor& compositor, std::ostream* out) { *out << compositor.name; }

const Compositor sway = {"sway", swayIsMissing, startSway, true};
const Compositor mutter = {"mutter", mutterIsMissing, [](const std::string&) { return startMutter(); }, false};
const Compositor kwin = {"kwin", kwinIsMissing, startKWin, true};

constexpr unsigned xkbOffset = 8;  // X keycodes are evdev's plus 8

class OnWayland : public EndToEndTest, public ::testing::WithParamInterface<Compositor> {
protected:
    void SetUp() override
    {
        const std::string missing = GetParam().missing();
        if (!missing.empty())
            GTEST_SKIP() << GetParam().name << ": " << missing;
    }

    // Starts the compositor with `layout`, then the program, and waits
    // until its window has the focus, as a click on it would give.
    void start(const std::string& layout = "us")
    {
        desktop = GetParam().start(layout);
        if (desktop->xAuthority().empty())
            unsetenv("XAUTHORITY");
        else
            setenv("XAUTHORITY", desktop->xAuthority().c_str(), 1);
        program = std::make_unique<Program>(std::vector<std::string>{SPRITEBENCH_PATH}, root, desktop->xDisplay(),
                                            Program::Input::Typed);
        eyes = std::make_unique<Desktop>(desktop->xDisplay());
        const std::string title = windowTitle;
        ASSERT_TRUE(program->waitUntil([&] { return program->waitForExit(0s) || eyes->focusedTitle() == title; }))
            << "the window never had the focus; focused: \"" << eyes->focusedTitle() << "\"";
        ASSERT_FALSE(program->waitForExit(0s)) << program->errors();
    }

    // Holds `keys` down, in order, until the program has printed `until`
    // (or, when empty, for a moment), then releases them; returns what the
    // program printed meanwhile and until every key is up on the X server.
    std::string hold(const std::vector<unsigned>& keys, const std::string& until)
    {
        const size_t before = program->output().size();
        for (unsigned key : keys)
            desktop->press(key);
        const bool printed = program->waitUntil(
            [&] { return program->output().find(until, before) != std::string::npos; });
        for (auto key = keys.rbegin(); key != keys.rend(); ++key)
            desktop->release(*key);
        program->waitUntil([&] {
            for (unsigned key : keys)
                if (eyes->keycodeIsDown(key + xkbOffset))
                    return false;
            return true;
        });
        // The passes of events that came before the releases.
        program->waitUntil([] { return false; }, 200ms);
        EXPECT_TRUE(printed) << "never printed \"" << until << "\"";
        return program->output().substr(before);
    }

    void expectGermanKeys();

    void expectClosesWithExitCodeZero()
    {
        program->endInput();
        program.reset();
        eyes.reset();
        desktop.reset();
    }

    std::unique_ptr<WaylandDesktop> desktop;
    std::unique_ptr<Program> program;
    std::unique_ptr<Desktop> eyes;
};

// A key held runs its command once for every event that comes meanwhile (the
// press, the text it types): one or more copies of its line, nothing else.
::testing::AssertionResult onlyCopiesOf(const std::string& line, const std::string& output)
{
    if (output.empty() || output.size() % line.size() != 0)
        return ::testing::AssertionFailure() << "printed \"" << output << "\"";
    for (size_t at = 0; at < output.size(); at += line.size())
        if (output.compare(at, line.size(), line) != 0)
            return ::testing::AssertionFailure() << "printed \"" << output << "\"";
    return ::testing::AssertionSuccess();
}

TEST_P(OnWayland, KeysOfTheTableRunTheirCommandsAndOthersNothing)
{
    start();
    const std::string x100 = "p->getX() = 100\n";
    EXPECT_TRUE(onlyCopiesOf(x100, hold({KEY_1}, x100)));
    EXPECT_TRUE(onlyCopiesOf(x100, hold({KEY_LEFTSHIFT, KEY_1}, x100)));
    // P is in no row: held with 2, only 2's line comes.
    const std::string y100 = "p->getY() = 100\n";
    EXPECT_TRUE(onlyCopiesOf(y100, hold({KEY_P, KEY_2}, y100)));

    EXPECT_EQ(hold({KEY_Q}, "x = "), "setXY(x, y): \nx = ");
    program->type("200 150\n");
    EXPECT_TRUE(program->waitForOutput("x = y = "));
    const std::string x200 = "p->getX() = 200\n";
    EXPECT_TRUE(onlyCopiesOf(x200, hold({KEY_1}, x200)));
    EXPECT_TRUE(onlyCopiesOf("p->getY() = 150\n", hold({KEY_2}, "p->getY() = 150\n")));
    EXPECT_EQ(program->errors().find("rror"), std::string::npos) << program->errors();
}

// On a German keyboard Z and Y trade places: the key labelled Z (where a US
// keyboard has Y) sets the alpha, the one labelled Y runs nothing.
TEST_P(OnWayland, AGermanKeyboardRunsTheCommandsOfTheLettersOnItsKeys)
{
    if (!GetParam().takesLayouts)
        GTEST_SKIP() << GetParam().name << " alone keeps its US keymap: GNOME Shell sets the layout";
    start("de");
    expectGermanKeys();
}

// The same with German as the second layout of two, in use.
TEST_P(OnWayland, TwoLayoutsWithTheSecondInUseRunTheCommandsOfItsLetters)
{
    if (!GetParam().takesLayouts)
        GTEST_SKIP() << GetParam().name << " alone keeps its US keymap: GNOME Shell sets the layout";
    start("us,de");
    desktop->lockLayout(1);
    expectGermanKeys();
}

void OnWayland::expectGermanKeys()
{
    EXPECT_EQ(hold({KEY_Y}, "alpha = "), "setAlpha(alpha): \nalpha = ");
    program->type("100\n");
    const std::string alpha100 = "p->getAlpha() = 100\n";
    EXPECT_TRUE(onlyCopiesOf(alpha100, hold({KEY_Z, KEY_3}, alpha100)));
}

INSTANTIATE_TEST_SUITE_P(Compositors, OnWayland, ::testing::Values(sway, mutter, kwin),
                         [](const ::testing::TestParamInfo<Compositor>& info) { return info.param.name; });

// Each Wayland test leaves /tmp as it found it, passed or failed: nothing
// new there that has outlived what made it. That is a socket nobody listens
// on (a session bus's, an X server's), the lock file of an X server that has
// gone (xvfb-run -a would skip its display number), or a runtime directory
// that Qt makes where XDG_RUNTIME_DIR is unset. What something still alive
// holds, another test run's say, is not counted.
class NothingLeftInTmp : public ::testing::Environment {
public:
    void SetUp() override { before = entries(); }
    void TearDown() override
    {
        for (const std::filesystem::path& entry : entries())
            if (!before.count(entry) && isLeftOver(entry))
                ADD_FAILURE() << "the test left " << entry << " behind";
    }

private:
    static std::set<std::filesystem::path> entries()
    {
        std::set<std::filesystem::path> found;
        for (const char* directory : {"/tmp", "/tmp/.X11-unix"}) {
            std::error_code unreadable;
            for (const auto& entry : std::filesystem::directory_iterator(directory, unreadable))
                found.insert(entry.path());
        }
        return found;
    }

    static bool isLeftOver(const std::filesystem::path& entry)
    {
        const std::string name = entry.filename().string();
        if (name.rfind("runtime-", 0) == 0)
            return std::filesystem::is_directory(entry);
        if (std::filesystem::is_socket(entry)) {
            const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            entry.string().copy(address.sun_path, sizeof address.sun_path - 1);
            const bool refused = connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
                                 errno == ECONNREFUSED;
            close(socket);
            return refused;
        }
        pid_t server = 0;
        if (name.rfind(".X", 0) == 0 && name.size() > 7 && name.compare(name.size() - 5, 5, "-lock") == 0 &&
            std::ifstream(entry) >> server)
            return kill(server, 0) != 0 && errno == ESRCH;
        return false;
    }

    std::set<std::filesystem::path> before;
};

const ::testing::Environment* const tmpCheck = ::testing::AddGlobalTestEnvironment(new NothingLeftInTmp);

}  // namespace
