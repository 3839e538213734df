// The whole editor as a user meets it: started as its own process under the
// test's X server against the simulated keyboard, driven only by real input
// events, its results read from the simulated keyboard's state file, the
// preset file and the settings file.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "Eventually.h"
#include "TempFolder.h"
#include "TestProcess.h"
#include "X11Driver.h"

#include <filesystem>
#include <memory>

namespace {

using namespace std::chrono_literals;
using TestSupport::TestProcess;
using TestSupport::X11Driver;

constexpr const char* kTitle = "Tarsel Preset Editor";
// The menu bar and its popup, in the window's coordinates.
constexpr int kFileMenuX = 20, kHelpMenuX = 84, kMenuY = 13;
constexpr int kRowX = 80, kFirstRowY = 24, kRowHeight = 24;
enum FileRow { kGetPreset = 0, kSendPreset = 1, kLoadFile = 3, kSaveFile = 4, kExit = 6 };

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The simulated keyboard's line for one parameter ("3: 00 03 ...").
std::string ParameterLine(const std::string& state, int index)
{
    std::istringstream lines(state);
    const std::string prefix = std::to_string(index) + ":";
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) == 0) return line;
    }
    return {};
}

std::string ReplaceLine(const std::string& state, int index, const std::string& line)
{
    std::istringstream lines(state);
    std::string out;
    for (std::string l; std::getline(lines, l);) out += (ParameterLine(l, index).empty() ? l : line) + "\n";
    return out;
}

class EditorEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x.IsConnected()) << x.Error();
        for (const char* sub : {"/config", "/data", "/runtime", "/documents"}) {
            std::filesystem::create_directories(folder.Path() + sub);
        }
        std::filesystem::permissions(folder.Path() + "/runtime", std::filesystem::perms::owner_all);
        statePath = folder.Path() + "/keyboard.txt";
        presetPath = folder.Path() + "/documents/saved.trs";
    }

    std::map<std::string, std::string> Environment() const
    {
        return {{"XDG_CONFIG_HOME", folder.Path() + "/config"},
                {"XDG_DATA_HOME", folder.Path() + "/data"},
                {"XDG_RUNTIME_DIR", folder.Path() + "/runtime"},
                {"XDG_DOCUMENTS_DIR", folder.Path() + "/documents"},
                {"TARSEL_SIMULATOR_STATE", statePath},
                {"TARSEL_FILE_CHOOSER", FAKE_FILE_CHOOSER_TOOL},
                {"FAKE_CHOOSER_ANSWER", presetPath},
                {"FAKE_CHOOSER_LOG", folder.Path() + "/chooser.log"},
                {"ASAN_OPTIONS", "detect_leaks=0"}};
    }

    TestSupport::WindowId StartEditor()
    {
        editor = std::make_unique<TestProcess>(std::vector<std::string>{TARSEL_EDITOR}, Environment());
        EXPECT_TRUE(editor->Started()) << editor->Error();
        const auto window = x.FindWindow(kTitle, 60s);
        EXPECT_TRUE(window) << "no editor window; stderr: " << editor->ErrorOutput();
        // The first frame and the engine's first values.
        std::this_thread::sleep_for(1500ms);
        if (window) x.Focus(*window);
        return window.value_or(0);
    }

    // A loaded machine may run the sanitized editor slowly: the menu gets
    // time to open before its row is clicked.
    void ChooseFileMenuRow(TestSupport::WindowId window, int row)
    {
        ASSERT_TRUE(x.Click(window, kFileMenuX, kMenuY));
        std::this_thread::sleep_for(1500ms);
        ASSERT_TRUE(x.Click(window, kRowX, kFirstRowY + row * kRowHeight + kRowHeight / 2));
        std::this_thread::sleep_for(500ms);
    }

    // Answers the message box with that caption with Enter; false when none came.
    bool DismissMessageBox(const std::string& caption)
    {
        const auto box = x.FindWindow(caption, 40s);
        if (!box) return false;
        x.Focus(*box);
        x.PressKey(XK_Return);
        return x.WaitUntilGone(caption, 10s);
    }

    TempFolder folder{"editor-e2e"};
    X11Driver x;
    std::string statePath;
    std::string presetPath;
    std::unique_ptr<TestProcess> editor;
};

TEST_F(EditorEndToEndTest, PresetTravelsFromKeyboardToFileAndBack)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually([&] { return !ReadFile(statePath).empty(); }, 10s));
    const std::string original = ReadFile(statePath);

    // File > Get preset from keyboard: the success box is the proof it arrived.
    ChooseFileMenuRow(window, kGetPreset);
    EXPECT_TRUE(DismissMessageBox("Get preset from keyboard"))
        << "titles: " << ::testing::PrintToString(x.TopLevelTitles());

    // File > Save preset file: the scripted chooser answers the path.
    ChooseFileMenuRow(window, kSaveFile);
    ASSERT_TRUE(Eventually([&] { return ReadFile(presetPath).size() == 461; }, 20s))
        << "preset file size " << ReadFile(presetPath).size() << "; stderr: " << editor->ErrorOutput();

    // The keyboard changes: zone 1 off, channel 5, other notes.
    const std::string changedZone = "2: 00 05 10 20 06 0C";
    WriteFile(statePath, ReplaceLine(original, 2, changedZone));
    ASSERT_TRUE(Eventually([&] { return ParameterLine(ReadFile(statePath), 2) == changedZone; }, 5s));
    std::this_thread::sleep_for(1s);

    // File > Load preset file: every saved value goes back to the keyboard.
    ChooseFileMenuRow(window, kLoadFile);
    EXPECT_TRUE(Eventually([&] { return ReadFile(statePath) == original; }, 20s))
        << "keyboard now:\n"
        << ReadFile(statePath) << "expected:\n"
        << original;

    // Closing the window ends the program normally and keeps its placement.
    ASSERT_TRUE(x.RequestClose(window));
    const auto code = editor->WaitForExit(30s);
    ASSERT_TRUE(code.has_value()) << "still running; stderr: " << editor->ErrorOutput();
    EXPECT_EQ(*code, 1);
    const std::string settings = ReadFile(folder.Path() + "/config/Corvane/Tarsel Preset Editor/UserSettings.ini");
    EXPECT_NE(settings.find("WP"), std::string::npos) << settings;
}

TEST_F(EditorEndToEndTest, SecondStartHandsOverAndEnds)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    TestProcess second(std::vector<std::string>{TARSEL_EDITOR, "--from-second"}, Environment());
    const auto code = second.WaitForExit(30s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 255);  // -1
    EXPECT_TRUE(editor->IsRunning());
    ASSERT_TRUE(x.RequestClose(window));
    EXPECT_EQ(editor->WaitForExit(30s), std::optional<int>(1));
}

TEST_F(EditorEndToEndTest, SecondStartRaisesTheOpenDialog)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(x.Click(window, kHelpMenuX, kMenuY));
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(x.Click(window, kHelpMenuX + 40, kFirstRowY + kRowHeight / 2));
    const auto about = x.FindWindow("About Tarsel Preset Editor", 30s);
    ASSERT_TRUE(about) << "titles: " << ::testing::PrintToString(x.TopLevelTitles());
    (void)x.Focus(window);  // the main window in front of its dialog (it takes no focus while disabled)
    ASSERT_TRUE(x.IsAbove(window, *about));

    TestProcess second(std::vector<std::string>{TARSEL_EDITOR}, Environment());
    const auto code = second.WaitForExit(30s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 255);
    EXPECT_TRUE(Eventually([&] { return x.IsAbove(*about, window); }, 20s)) << "the dialog stays behind";

    ASSERT_TRUE(x.RequestClose(*about));
    EXPECT_TRUE(x.WaitUntilGone("About Tarsel Preset Editor", 20s));
    ASSERT_TRUE(x.RequestClose(window));
    EXPECT_EQ(editor->WaitForExit(30s), std::optional<int>(1));
}

TEST_F(EditorEndToEndTest, AboutShowsTheVersionAndEndsWithOk)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(x.Click(window, kHelpMenuX, kMenuY));
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(x.Click(window, kHelpMenuX + 40, kFirstRowY + kRowHeight / 2));
    const auto about = x.FindWindow("About Tarsel Preset Editor", 30s);
    ASSERT_TRUE(about) << "titles: " << ::testing::PrintToString(x.TopLevelTitles());
    const auto frame = x.Geometry(*about);
    ASSERT_TRUE(frame);
    // The OK button sits 96 px from the right and 40 px from the bottom.
    x.Focus(*about);
    ASSERT_TRUE(x.Click(*about, frame->width - 56, frame->height - 27));
    EXPECT_TRUE(x.WaitUntilGone("About Tarsel Preset Editor", 20s));
    EXPECT_TRUE(editor->IsRunning());

    // Its close box ends it too, as Cancel would; the editor goes on.
    ASSERT_TRUE(x.Click(window, kHelpMenuX, kMenuY));
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(x.Click(window, kHelpMenuX + 40, kFirstRowY + kRowHeight / 2));
    const auto again = x.FindWindow("About Tarsel Preset Editor", 30s);
    ASSERT_TRUE(again);
    ASSERT_TRUE(x.RequestClose(*again));
    EXPECT_TRUE(x.WaitUntilGone("About Tarsel Preset Editor", 20s));
    EXPECT_TRUE(editor->IsRunning());

    // And Escape.
    ASSERT_TRUE(x.Click(window, kHelpMenuX, kMenuY));
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(x.Click(window, kHelpMenuX + 40, kFirstRowY + kRowHeight / 2));
    const auto third = x.FindWindow("About Tarsel Preset Editor", 30s);
    ASSERT_TRUE(third);
    x.Focus(*third);
    ASSERT_TRUE(x.PressKey(XK_Escape));
    EXPECT_TRUE(x.WaitUntilGone("About Tarsel Preset Editor", 20s));
    EXPECT_TRUE(editor->IsRunning());
    ASSERT_TRUE(x.RequestClose(window));
    EXPECT_EQ(editor->WaitForExit(30s), std::optional<int>(1));
}

// Parses the simulated keyboard's state file: index -> bytes.
std::map<int, std::vector<int>> Blobs(const std::string& state)
{
    std::map<int, std::vector<int>> blobs;
    std::istringstream lines(state);
    for (std::string line; std::getline(lines, line);) {
        const size_t colon = line.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
        std::istringstream bytes(line.substr(colon + 1));
        std::vector<int>& blob = blobs[std::stoi(line.substr(0, colon))];
        for (std::string b; bytes >> b;) blob.push_back(std::stoi(b, nullptr, 16));
    }
    return blobs;
}

// One field of every panel the mouse can change alone, by its step button or
// its switch (window coordinates of the shipped skin), and the byte it moves.
struct PanelEdit {
    const char* what;
    int x, y;
    int parameter, byte, delta;
};
constexpr PanelEdit kEdits[] = {
    {"keybed octave up", 803, 48, 1, 1, +1},
    {"zone 1 on", 27, 97, 2, 0, +1},
    {"zone 2 on", 275, 97, 3, 0, +1},
    {"zone 3 on", 523, 97, 4, 0, +1},
    {"zone 4 on", 771, 97, 5, 0, +1},
    {"mod wheel CC up", 165, 340, 6, 2, +1},
    {"pitch wheel lower limit up", 433, 313, 7, 1, +1},
    {"fader CC up", 661, 340, 8, 2, +1},
    {"expression pedal CC up", 909, 340, 9, 2, +1},
    {"foot switch 1 CC up", 661, 510, 13, 9, +1},
    {"foot switch 2 CC up", 909, 510, 14, 9, +1},
};

// A choice made in a combo box: a click opens its list, Down moves through
// the items, Enter picks one; the byte moves by the number of steps.
struct ComboEdit {
    const char* what;
    int x, y, steps;
    int parameter, byte;
};
constexpr ComboEdit kComboEdits[] = {
    {"global channel two further", 240, 52, 2, 0, 0},
    {"first hardware button's channel", 186, 527, 1, 11, 0},
    {"second hardware button's channel", 427, 527, 3, 12, 0},
    {"hardware buttons next type", 300, 462, 1, 10, 0},
};

TEST_F(EditorEndToEndTest, EveryPanelSendsItsWholeValueAndShowsTheKeyboards)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)).size() == 15; }, 10s));
    std::map<int, std::vector<int>> expected = Blobs(ReadFile(statePath));
    for (const PanelEdit& edit : kEdits) {
        SCOPED_TRACE(edit.what);
        expected[edit.parameter][static_cast<size_t>(edit.byte)] += edit.delta;
        ASSERT_TRUE(x.Click(window, edit.x, edit.y));
        // Exactly the part's new value, and nothing else changed.
        EXPECT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)) == expected; }, 15s)) << "keyboard now:\n"
                                                                                             << ReadFile(statePath);
        expected = Blobs(ReadFile(statePath));
    }
    for (const ComboEdit& edit : kComboEdits) {
        SCOPED_TRACE(edit.what);
        expected[edit.parameter][static_cast<size_t>(edit.byte)] += edit.steps;
        ASSERT_TRUE(x.Click(window, edit.x, edit.y));
        std::this_thread::sleep_for(1s);
        for (int i = 0; i < edit.steps; ++i) ASSERT_TRUE(x.PressKey(XK_Down));
        ASSERT_TRUE(x.PressKey(XK_Return));
        EXPECT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)) == expected; }, 15s)) << "keyboard now:\n"
                                                                                             << ReadFile(statePath);
        expected = Blobs(ReadFile(statePath));
    }

    // A number typed over another: the pitch wheel's upper limit becomes 100.
    expected[7][2] = 100;
    ASSERT_TRUE(x.Click(window, 398, 345));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(x.PressKey(XK_BackSpace));
    ASSERT_TRUE(x.Type("100"));
    ASSERT_TRUE(x.PressKey(XK_Return));
    EXPECT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)) == expected; }, 15s))
        << "keyboard now:\n" << ReadFile(statePath);

    // The keyboard changes the pitch wheel's limits itself: the panel takes the
    // value without sending anything back, and its next step starts from it.
    const std::string fromKeyboard = "7: 00 05 70";
    WriteFile(statePath, ReplaceLine(ReadFile(statePath), 7, fromKeyboard));
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(ParameterLine(ReadFile(statePath), 7), fromKeyboard);
    ASSERT_TRUE(x.Click(window, 433, 313));
    EXPECT_TRUE(Eventually([&] { return ParameterLine(ReadFile(statePath), 7) == "7: 00 06 70"; }, 15s))
        << ParameterLine(ReadFile(statePath), 7);

    ASSERT_TRUE(x.RequestClose(window));
    EXPECT_EQ(editor->WaitForExit(30s), std::optional<int>(1));
}

// The picture the README shows: `make screenshot` writes it to docs/, a test
// run beside the test program.
TEST_F(EditorEndToEndTest, WindowPicture)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    const char* wanted = std::getenv("EDITOR_SCREENSHOT");
    const std::string path = wanted ? wanted : "editor.png";
    EXPECT_TRUE(x.SavePicture(window, path));
    EXPECT_GT(std::filesystem::file_size(path), 10000u);
    ASSERT_TRUE(x.RequestClose(window));
    EXPECT_EQ(editor->WaitForExit(30s), std::optional<int>(1));
}

}  // namespace
