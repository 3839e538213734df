// The driver against a real SDL program under the test X server: it finds
// the program's window and the program receives what the driver sends.
#include "X11Driver.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>

#include "Eventually.h"
#include "TestProcess.h"

namespace TestSupport {
namespace {

std::string ProbePath()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "X11DriverProbe";
}

class X11DriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(driver.IsConnected()) << driver.Error();
        ASSERT_TRUE(probe.Started()) << probe.Error();
        ASSERT_EVENTUALLY(HasLine("ready"));
        const auto found = driver.FindWindow(title);
        ASSERT_TRUE(found) << Describe();
        window = *found;
        ASSERT_TRUE(driver.Focus(window));
    }

    bool HasLine(const std::string& line) const { return Lines().find("\n" + line + "\n") != std::string::npos; }
    std::string Lines() const { return "\n" + probe.Output(); }
    // Output lines that start with `prefix`, joined by newlines.
    std::string LinesStarting(const std::string& prefix) const
    {
        std::istringstream in(probe.Output());
        std::string line, joined;
        while (std::getline(in, line)) {
            if (line.rfind(prefix, 0) == 0) joined += line + "\n";
        }
        return joined;
    }
    std::string Describe()
    {
        std::string text = "windows:";
        for (const std::string& t : driver.TopLevelTitles()) text += " [" + t + "]";
        return text + "\nprobe out:\n" + probe.Output() + "probe err:\n" + probe.ErrorOutput();
    }

    X11Driver driver;
    const std::string title = "X11 driver probe " + std::to_string(::getpid());
    TestProcess probe{{ProbePath(), title}};
    WindowId window = 0;
};

TEST_F(X11DriverTest, FindsTheWindowByPartOfItsTitle)
{
    const auto titles = driver.TopLevelTitles();
    EXPECT_NE(std::find(titles.begin(), titles.end(), title), titles.end()) << Describe();
    EXPECT_EQ(driver.FindWindow("driver probe " + std::to_string(::getpid())), window);
    const auto geometry = driver.Geometry(window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 320);
    EXPECT_EQ(geometry->height, 240);
    EXPECT_FALSE(driver.FindWindow("no window has this title", std::chrono::milliseconds(100)));
}

TEST_F(X11DriverTest, ClicksArriveAtThePointAskedWithTheirButton)
{
    struct Case {
        MouseButton button;
        int x, y;
        const char* down;
        const char* up;
    };
    const Case cases[] = {
        {MouseButton::Left, 10, 20, "down 1 10 20 1", "up 1 10 20"},
        {MouseButton::Right, 300, 200, "down 3 300 200 1", "up 3 300 200"},
        {MouseButton::Middle, 0, 239, "down 2 0 239 1", "up 2 0 239"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.down);
        ASSERT_TRUE(driver.Click(window, c.x, c.y, c.button));
        EXPECT_EVENTUALLY(HasLine(c.down) && HasLine(c.up)) << Describe();
    }
    ASSERT_TRUE(driver.DoubleClick(window, 50, 60));
    EXPECT_EVENTUALLY(HasLine("down 1 50 60 2")) << Describe();
}

TEST_F(X11DriverTest, ADragHoldsTheButtonAlongTheWayAndLetsGoAtItsEnd)
{
    ASSERT_TRUE(driver.Drag(window, 20, 30, 120, 90));
    EXPECT_EVENTUALLY(HasLine("up 1 120 90")) << Describe();
    const std::string lines = Lines();
    const size_t down = lines.find("\ndown 1 20 30 1\n"), up = lines.find("\nup 1 120 90\n");
    ASSERT_NE(down, std::string::npos) << Describe();
    // Moves on the way, each with the button held, the last at the end.
    const std::string between = lines.substr(down, up - down + 1);
    EXPECT_NE(between.find("\ndrag 120 90\n"), std::string::npos) << Describe();
    size_t moves = 0;
    for (size_t at = between.find("\ndrag "); at != std::string::npos; at = between.find("\ndrag ", at + 1)) ++moves;
    EXPECT_GE(moves, 5u) << Describe();
    // Moves after the release hold no button.
    ASSERT_TRUE(driver.MoveTo(window, 200, 100));
    ASSERT_TRUE(driver.Click(window, 200, 100));
    EXPECT_EVENTUALLY(HasLine("up 1 200 100")) << Describe();
    EXPECT_EQ(LinesStarting("drag 200"), "") << Describe();
}

TEST_F(X11DriverTest, WheelStepsArriveWithTheirDirection)
{
    ASSERT_TRUE(driver.MoveTo(window, 100, 100));
    driver.Wheel(2);
    driver.Wheel(-1);
    EXPECT_EVENTUALLY(LinesStarting("wheel") == "wheel 1\nwheel 1\nwheel -1\n") << Describe();
}

TEST_F(X11DriverTest, TypedTextAndKeysWithModifiersArrive)
{
    ASSERT_TRUE(driver.Type("Hi, {you}!\n"));
    EXPECT_EVENTUALLY(HasLine("key Return")) << Describe();
    std::string typed;
    std::istringstream in(LinesStarting("text "));
    for (std::string line; std::getline(in, line);) typed += line.substr(5);
    EXPECT_EQ(typed, "Hi, {you}!");
    EXPECT_TRUE(HasLine("key H shift"));

    ASSERT_TRUE(driver.PressKey(XK_a, Ctrl));
    ASSERT_TRUE(driver.PressKey(XK_F2, Shift | Alt));
    EXPECT_EVENTUALLY(HasLine("key A ctrl") && HasLine("key F2 shift alt")) << Describe();

    EXPECT_FALSE(driver.Type("caf\xC3\xA9")) << "only ASCII is typed";
    EXPECT_FALSE(driver.PressKey(0x12345678));
}

TEST_F(X11DriverTest, ClosingTheWindowEndsTheProgram)
{
    ASSERT_TRUE(driver.RequestClose(window));
    EXPECT_EQ(probe.WaitForExit(std::chrono::seconds(10)), 0) << Describe();
    EXPECT_TRUE(HasLine("quit"));
    EXPECT_TRUE(driver.WaitUntilGone(title));
    EXPECT_FALSE(driver.FindWindow(title, std::chrono::milliseconds(0)));
}

TEST_F(X11DriverTest, EscapeEndsTheProgramWithItsOwnCode)
{
    ASSERT_TRUE(driver.PressKey(XK_Escape));
    EXPECT_EQ(probe.WaitForExit(std::chrono::seconds(10)), 3) << Describe();
}

TEST(TestProcessTest, PassesEnvironmentAndKeepsOutputAndExitCode)
{
    ::setenv("PROBE_GREETING", "inherited", 1);
    struct Case {
        std::map<std::string, std::string> environment;
        std::string output;
    };
    const Case cases[] = {
        {{}, "inherited\n"},
        {{{"PROBE_GREETING", "given"}}, "given\n"},
        {{{"PROBE_GREETING", ""}, {"OTHER", "x"}}, "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        TestProcess process({ProbePath(), "--exit", "7"}, c.environment);
        ASSERT_TRUE(process.Started()) << process.Error();
        EXPECT_EQ(process.WaitForExit(std::chrono::seconds(10)), 7);
        EXPECT_EQ(process.Output(), c.output);
        EXPECT_EQ(process.ErrorOutput(), "a line on standard error\n");
        EXPECT_FALSE(process.IsRunning());
    }
    ::unsetenv("PROBE_GREETING");
}

TEST(TestProcessTest, ProgramStillRunningAtTheTimeOutIsKilled)
{
    TestProcess process({"sleep", "30"});
    ASSERT_TRUE(process.Started()) << process.Error();
    EXPECT_FALSE(process.WaitForExit(std::chrono::milliseconds(50)));
    EXPECT_TRUE(process.IsRunning());
    process.Kill();
    EXPECT_FALSE(process.IsRunning());
    EXPECT_EQ(process.Signal(), SIGTERM);
    EXPECT_FALSE(process.WaitForExit(std::chrono::milliseconds(0)));
}

TEST(TestProcessTest, MissingProgramSaysSo)
{
    TestProcess process({"/no/such/program"});
    EXPECT_FALSE(process.Started());
    EXPECT_NE(process.Error().find("/no/such/program"), std::string::npos) << process.Error();
    EXPECT_FALSE(process.WaitForExit(std::chrono::milliseconds(0)));
    EXPECT_FALSE(TestProcess({}).Started());
}

}  // namespace
}  // namespace TestSupport
