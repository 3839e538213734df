// The editor's window under a real window manager: moved, resized, minimised
// and restored from outside the program as a user and the window manager do
// it, its place read from the X server and its pixels from the screen.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Eventually.h"
#include "SavedPlacement.h"
#include "TempFolder.h"
#include "TestProcess.h"
#include "X11Driver.h"

namespace {

using namespace std::chrono_literals;
using TestSupport::TestProcess;
using TestSupport::WindowGeometry;
using TestSupport::WindowId;
using TestSupport::X11Driver;

constexpr const char* kTitle = "Tarsel Preset Editor";
// The main control's minimum: every edit panel whole.
constexpr int kMinimumWidth = 1002, kMinimumHeight = 686;

bool operator==(const WindowGeometry& a, const WindowGeometry& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::string Text(const WindowGeometry& g)
{
    return std::to_string(g.width) + "x" + std::to_string(g.height) + "+" + std::to_string(g.x) + "+" +
           std::to_string(g.y);
}

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x.IsConnected()) << x.Error();
        ASSERT_TRUE(display) << "no X display";
        for (const char* sub : {"/config", "/data", "/runtime", "/documents", "/home"}) {
            std::filesystem::create_directories(folder.Path() + sub);
        }
        std::filesystem::permissions(folder.Path() + "/runtime", std::filesystem::perms::owner_all);
        windowManager = std::make_unique<TestProcess>(std::vector<std::string>{"openbox", "--sm-disable"},
                                                      std::map<std::string, std::string>{{"HOME", folder.Path() + "/home"}});
        ASSERT_TRUE(windowManager->Started()) << windowManager->Error();
        ASSERT_TRUE(Eventually([&] { return WindowManagerRuns(); }, 20s))
            << "openbox did not start: " << windowManager->ErrorOutput();
    }

    void TearDown() override
    {
        editor.reset();
        windowManager.reset();
    }

    bool WindowManagerRuns()
    {
        const Atom check = XInternAtom(display.get(), "_NET_SUPPORTING_WM_CHECK", False);
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        const bool found = XGetWindowProperty(display.get(), DefaultRootWindow(display.get()), check, 0, 1, False,
                                              XA_WINDOW, &type, &format, &count, &left, &data) == Success &&
                           count == 1;
        if (data) XFree(data);
        return found;
    }

    std::map<std::string, std::string> Environment() const
    {
        return {{"XDG_CONFIG_HOME", folder.Path() + "/config"},
                {"XDG_DATA_HOME", folder.Path() + "/data"},
                {"XDG_RUNTIME_DIR", folder.Path() + "/runtime"},
                // A start also looks for the editor under the cache folder.
                {"XDG_CACHE_HOME", folder.Path() + "/cache"},
                {"XDG_DOCUMENTS_DIR", folder.Path() + "/documents"},
                {"TARSEL_SIMULATOR_STATE", folder.Path() + "/keyboard.txt"},
                {"TARSEL_FILE_CHOOSER", FAKE_FILE_CHOOSER_TOOL},
                {"FAKE_CHOOSER_LOG", ChooserLog()},
                {"ASAN_OPTIONS", "detect_leaks=0"}};
    }

    // The chooser cancels (no answer is set), so no message box follows: a
    // box outlives a killed editor as a process of its own.
    std::string ChooserLog() const { return folder.Path() + "/chooser.log"; }

    std::string SettingsPath() const { return SettingsFileUnder(folder.Path() + "/config"); }

    void WriteSavedPlacement(const std::string& record) { ASSERT_TRUE(ReplaceSavedPlacement(SettingsPath(), record)); }

    WindowId StartEditor()
    {
        editor = std::make_unique<TestProcess>(std::vector<std::string>{TARSEL_EDITOR}, Environment());
        EXPECT_TRUE(editor->Started()) << editor->Error();
        const auto window = x.FindWindow(kTitle, 60s);
        EXPECT_TRUE(window) << "no editor window; stderr: " << editor->ErrorOutput();
        // The first frames and the engine's first values.
        std::this_thread::sleep_for(2s);
        return window.value_or(0);
    }

    void CloseEditor(WindowId window)
    {
        ASSERT_TRUE(x.RequestClose(window));
        const auto code = editor->WaitForExit(30s);
        ASSERT_TRUE(code.has_value()) << "still running; stderr: " << editor->ErrorOutput();
    }

    WindowGeometry Geometry(WindowId window)
    {
        return x.Geometry(window).value_or(WindowGeometry{});
    }

    // Waits until the window's place has settled (no change for a while).
    WindowGeometry Settled(WindowId window)
    {
        WindowGeometry last = Geometry(window);
        for (int quiet = 0, tries = 0; quiet < 5 && tries < 100; ++tries) {
            std::this_thread::sleep_for(100ms);
            const WindowGeometry now = Geometry(window);
            quiet = now == last ? quiet + 1 : 0;
            last = now;
        }
        return last;
    }

    // As a pager or a tool such as xdotool asks: through the window manager.
    void MoveResize(WindowId window, int left, int top, int width, int height)
    {
        XMoveResizeWindow(display.get(), window, left, top, unsigned(width), unsigned(height));
        XSync(display.get(), False);
    }
    void Resize(WindowId window, int width, int height)
    {
        XResizeWindow(display.get(), window, unsigned(width), unsigned(height));
        XSync(display.get(), False);
    }

    bool IsShown(WindowId window)
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display.get(), window, &attributes) && attributes.map_state == IsViewable;
    }

    // The screen's pixels where the window's client area is.
    std::vector<unsigned long> ScreenPixels(const WindowGeometry& g)
    {
        std::vector<unsigned long> pixels;
        XImage* image = XGetImage(display.get(), DefaultRootWindow(display.get()), g.x, g.y, unsigned(g.width),
                                  unsigned(g.height), AllPlanes, ZPixmap);
        if (!image) return pixels;
        for (int y = 0; y < g.height; y += 4) {
            for (int x = 0; x < g.width; x += 4) pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        }
        XDestroyImage(image);
        return pixels;
    }

    TempFolder folder{"editor-window"};
    X11Driver x;
    std::unique_ptr<Display, DisplayCloser> display{XOpenDisplay(nullptr)};
    std::unique_ptr<TestProcess> windowManager;
    std::unique_ptr<TestProcess> editor;
};

TEST_F(EditorWindowTest, ClosedAtAPlaceAndSizeItOpensThereAgain)
{
    WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    const WindowGeometry first = Settled(window);
    const WindowGeometry screen{0, 0, DisplayWidth(display.get(), 0), DisplayHeight(display.get(), 0)};
    EXPECT_NEAR(first.x + first.width / 2, screen.width / 2, 16) << "opens centred: " << Text(first);
    EXPECT_NEAR(first.y + first.height / 2, screen.height / 2, 32) << "opens centred: " << Text(first);

    MoveResize(window, 100, 80, 1100, 760);
    const WindowGeometry placed = Settled(window);
    ASSERT_EQ(placed.width, 1100);
    ASSERT_EQ(placed.height, 760);
    CloseEditor(window);

    window = StartEditor();
    ASSERT_NE(window, 0u);
    EXPECT_EQ(Text(Settled(window)), Text(placed));
    CloseEditor(window);
}

TEST_F(EditorWindowTest, ADamagedOrForeignPlacementOpensCentredAtTheDefaultSize)
{
    WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    const WindowGeometry fresh = Settled(window);
    CloseEditor(window);
    // A frame on a screen that is not there, then a record cut short.
    for (const std::string& record : {PlacementRecord(10000, 10000, 11100, 10760), std::string("2C000000010203")}) {
        SCOPED_TRACE(record);
        WriteSavedPlacement(record);
        window = StartEditor();
        ASSERT_NE(window, 0u);
        EXPECT_EQ(Text(Settled(window)), Text(fresh));
        CloseEditor(window);
    }
}

TEST_F(EditorWindowTest, ASmallPlaceSavedInACornerOpensCentredRatherThanOffScreen)
{
    WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    const WindowGeometry fresh = Settled(window);
    CloseEditor(window);
    const int width = DisplayWidth(display.get(), 0), height = DisplayHeight(display.get(), 0);
    // Each fits the screen as saved; grown to the minimum it would not.
    const struct {
        int left, top, right, bottom;
    } frames[] = {{width - 1, height - 1, width, height}, {width - 80, height - 24, width - 70, height - 14}};
    for (const auto& f : frames) {
        const std::string record = PlacementRecord(f.left, f.top, f.right, f.bottom);
        SCOPED_TRACE(record);
        WriteSavedPlacement(record);
        window = StartEditor();
        ASSERT_NE(window, 0u);
        const WindowGeometry shown = Settled(window);
        EXPECT_EQ(Text(shown), Text(fresh));
        EXPECT_LE(shown.x + shown.width, width) << Text(shown);
        EXPECT_LE(shown.y + shown.height, height) << Text(shown);
        CloseEditor(window);
    }
}

// The largest settings file the editor reads.
constexpr size_t kSettingsLimit = 1024 * 1024;

TEST_F(EditorWindowTest, ASettingsFileTooLargeToReadIsMovedAsideAndTheNextCloseKeepsThePlace)
{
    const std::string settings = SettingsPath();
    std::filesystem::create_directories(std::filesystem::path(settings).parent_path());
    const std::string tooLarge = "Big = " + std::string(kSettingsLimit - 6, 'x') + "\n";
    TempFolder::WriteText(settings, tooLarge);

    WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    MoveResize(window, 100, 80, 1100, 760);
    const WindowGeometry placed = Settled(window);
    CloseEditor(window);
    EXPECT_NE(editor->ErrorOutput().find("moved aside to " + settings + ".too-large"), std::string::npos)
        << editor->ErrorOutput();
    EXPECT_EQ(TempFolder::ReadText(settings + ".too-large"), tooLarge);
    ASSERT_TRUE(std::filesystem::exists(settings));
    EXPECT_LT(std::filesystem::file_size(settings), 4096u);

    window = StartEditor();
    ASSERT_NE(window, 0u);
    EXPECT_EQ(Text(Settled(window)), Text(placed));
    CloseEditor(window);
}

TEST_F(EditorWindowTest, ASettingsFileJustUnderItsLimitIsNeverSavedPastIt)
{
    const std::string settings = SettingsPath();
    std::filesystem::create_directories(std::filesystem::path(settings).parent_path());
    const std::string nearlyFull = "Big = " + std::string(kSettingsLimit - 8, 'x') + "\n";
    TempFolder::WriteText(settings, nearlyFull);

    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        const WindowId window = StartEditor();
        ASSERT_NE(window, 0u);
        MoveResize(window, 100, 80, 1100, 760);
        (void)Settled(window);
        CloseEditor(window);
        // Each start still reads it; the place it cannot hold is not saved.
        const std::string said = editor->ErrorOutput();
        EXPECT_EQ(said.find("cannot read"), std::string::npos) << said;
        EXPECT_NE(said.find(settings + " is not saved"), std::string::npos) << said;
        EXPECT_EQ(TempFolder::ReadText(settings), nearlyFull);
    }
}

TEST_F(EditorWindowTest, AResizeKeepsThePlaceAndTheMinimumHolds)
{
    const WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    const WindowGeometry before = Settled(window);
    // The right and bottom edges pulled out.
    Resize(window, before.width + 120, before.height + 40);
    WindowGeometry after = Settled(window);
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    EXPECT_EQ(after.width, before.width + 120);
    EXPECT_EQ(after.height, before.height + 40);

    // Dragged far smaller: it stops at the minimum, still in its place.
    Resize(window, 400, 300);
    after = Settled(window);
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    EXPECT_EQ(after.width, kMinimumWidth);
    EXPECT_EQ(after.height, kMinimumHeight);
    CloseEditor(window);
}

TEST_F(EditorWindowTest, AfterMinimiseAndRestoreTheScreenShowsTheEditorAgain)
{
    const WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    const WindowGeometry place = Settled(window);
    const std::vector<unsigned long> before = ScreenPixels(place);
    ASSERT_FALSE(before.empty());

    XIconifyWindow(display.get(), window, DefaultScreen(display.get()));
    XSync(display.get(), False);
    ASSERT_TRUE(Eventually([&] { return !IsShown(window); }, 10s)) << "not minimised";
    std::this_thread::sleep_for(500ms);
    XMapWindow(display.get(), window);  // as the task bar restores it
    XSync(display.get(), False);
    ASSERT_TRUE(Eventually([&] { return IsShown(window); }, 10s)) << "not restored";
    std::vector<unsigned long> after;
    const bool same = Eventually(
        [&] {
            std::this_thread::sleep_for(100ms);
            after = ScreenPixels(Settled(window));
            return after == before;
        },
        15s);
    size_t differing = 0;
    for (size_t i = 0; i < std::min(before.size(), after.size()); ++i) differing += before[i] != after[i];
    EXPECT_TRUE(same) << differing << " of " << before.size() << " sampled pixels differ after the restore";
    CloseEditor(window);
}

TEST_F(EditorWindowTest, KeysTypedWhileAnotherWindowIsActiveDoNotReachTheEditor)
{
    const WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    Display* d = display.get();
    const Window other = XCreateSimpleWindow(d, DefaultRootWindow(d), 20, 20, 200, 120, 0, 0, 0xFFFFFF);
    XStoreName(d, other, "Another program");
    XMapWindow(d, other);
    XSync(d, False);
    const auto found = x.FindWindow("Another program", 10s);
    ASSERT_TRUE(found);
    ASSERT_TRUE(x.Focus(*found));

    // Ctrl+O would open the file chooser in the editor.
    ASSERT_TRUE(x.PressKey(XK_o, TestSupport::Ctrl));
    std::this_thread::sleep_for(2s);
    EXPECT_FALSE(std::filesystem::exists(ChooserLog())) << "the editor took a key typed into another window";

    // The same key with the editor active does reach it.
    ASSERT_TRUE(x.Focus(window));
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(x.PressKey(XK_o, TestSupport::Ctrl));
    EXPECT_TRUE(Eventually([&] { return std::filesystem::exists(ChooserLog()); }, 20s))
        << "the editor heard nothing while active";
    XDestroyWindow(d, other);
    XSync(d, False);
    std::this_thread::sleep_for(1s);
    CloseEditor(window);
}

}  // namespace
