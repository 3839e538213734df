// The whole editor as a user meets it: started as its own process under the
// test's X server against the simulated keyboard, driven only by real input
// events, its results read from the simulated keyboard's state file, the
// preset file and the settings file.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "Eventually.h"
#include "SavedPlacement.h"
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
constexpr const char* kAboutTitle = "About Tarsel Preset Editor";
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

std::map<int, std::vector<int>> Blobs(const std::string& state);

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
                // A start also looks for the editor under the cache folder.
                {"XDG_CACHE_HOME", folder.Path() + "/cache"},
                {"XDG_DOCUMENTS_DIR", folder.Path() + "/documents"},
                {"TARSEL_SIMULATOR_STATE", statePath},
                {"TARSEL_FILE_CHOOSER", FAKE_FILE_CHOOSER_TOOL},
                {"FAKE_CHOOSER_ANSWER", chooserAnswer.empty() ? presetPath : chooserAnswer},
                {"FAKE_CHOOSER_LOG", folder.Path() + "/chooser.log"},
                {"TARSEL_MESSAGE_BOX", FAKE_MESSAGE_BOX_TOOL},
                {"FAKE_MESSAGE_BOX_LOG", BoxLog()},
                {"FAKE_MESSAGE_BOX_ANSWERS", boxAnswers},
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

    std::string BoxLog() const { return folder.Path() + "/boxes.log"; }

    // The message boxes the editor showed so far, each as the arguments the
    // dialog program got; the lines the program notes itself ("# ...") apart.
    std::vector<std::vector<std::string>> Boxes() const
    {
        std::vector<std::vector<std::string>> boxes;
        std::istringstream lines(ReadFile(BoxLog()));
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("# ", 0) == 0) continue;
            std::vector<std::string>& box = boxes.emplace_back(1);
            for (size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '\t') {
                    box.emplace_back();
                } else if (line[i] == '\\' && i + 1 < line.size()) {
                    const char c = line[++i];
                    box.back() += c == 't' ? '\t' : c == 'n' ? '\n' : c;
                } else {
                    box.back() += line[i];
                }
            }
        }
        return boxes;
    }

    // The n-th box (from 1) once the editor has shown it; empty when it did not come.
    std::vector<std::string> WaitForBox(size_t n)
    {
        if (!Eventually([&] { return Boxes().size() >= n; }, 40s)) {
            ADD_FAILURE() << "box " << n << " did not come; stderr: " << editor->ErrorOutput();
            return {};
        }
        return Boxes()[n - 1];
    }

    // The dialog program's arguments for a box of the editor's window:
    // kind "--info", "--error" or "--question" (with a warning icon).
    static std::vector<std::string> Box(TestSupport::WindowId window, const std::string& kind,
                                        const std::string& title, const std::string& text)
    {
        std::vector<std::string> box{kind, "--title=" + title, "--text=" + text, "--no-markup", "--modal"};
        if (kind == "--question") box.push_back("--icon-name=dialog-warning");
        box.push_back("--attach=" + std::to_string(window));
        return box;
    }

    // A second start of the editor beside the first: its exit code, none while it still runs.
    std::optional<int> RunSecondEditor(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> command{TARSEL_EDITOR};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return TestProcess(command, Environment()).WaitForExit(30s);
    }

    // Closing the window ends the program normally (its exit code 1).
    void CloseNormally(TestSupport::WindowId window)
    {
        ASSERT_TRUE(x.RequestClose(window));
        EXPECT_EQ(editor->WaitForExit(30s), std::optional<int>(1));
    }

    // Help > About, as a user opens it: the dialog's window, or none (a failure) when it did not come.
    std::optional<TestSupport::WindowId> OpenAbout(TestSupport::WindowId window)
    {
        if (!x.Click(window, kHelpMenuX, kMenuY)) return std::nullopt;
        std::this_thread::sleep_for(1500ms);
        if (!x.Click(window, kHelpMenuX + 40, kFirstRowY + kRowHeight / 2)) return std::nullopt;
        const auto about = x.FindWindow(kAboutTitle, 30s);
        if (!about) ADD_FAILURE() << "no About box; titles: " << ::testing::PrintToString(x.TopLevelTitles());
        return about;
    }

    TempFolder folder{"editor-e2e"};
    X11Driver x;
    std::string statePath;
    std::string presetPath;
    std::string chooserAnswer;  // the preset path when empty
    std::string boxAnswers;     // the dialog program's exit codes, box by box
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
    EXPECT_EQ(WaitForBox(1),
              Box(window, "--info", "Get preset from keyboard", "The preset was read from the keyboard."));

    // File > Save preset file: the scripted chooser answers the path.
    ChooseFileMenuRow(window, kSaveFile);
    ASSERT_TRUE(Eventually([&] { return ReadFile(presetPath).size() == 461; }, 20s))
        << "preset file size " << ReadFile(presetPath).size() << "; stderr: " << editor->ErrorOutput();
    EXPECT_EQ(WaitForBox(2), Box(window, "--info", "Save preset file",
                                 "The keyboard's preset was saved in \u201Csaved.trs\u201D."));

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
    EXPECT_EQ(WaitForBox(3), Box(window, "--info", "Load preset file",
                                 "The preset in \u201Csaved.trs\u201D was loaded and sent to the keyboard."));

    // Closing the window ends the program normally and keeps its placement.
    ASSERT_TRUE(x.RequestClose(window));
    const auto code = editor->WaitForExit(30s);
    ASSERT_TRUE(code.has_value()) << "still running; stderr: " << editor->ErrorOutput();
    EXPECT_EQ(*code, 1);
    const std::string settings = ReadFile(SettingsFileUnder(folder.Path() + "/config"));
    EXPECT_NE(settings.find("WP"), std::string::npos) << settings;
}

// Each refused file is named with what is wrong with it, and the keyboard keeps its setup.
TEST_F(EditorEndToEndTest, ARefusedPresetFileIsNamedWithWhatIsWrong)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)).size() == 15; }, 10s));
    const std::string original = ReadFile(statePath);
    struct Case {
        std::optional<std::string> content;  // none: no such file
        const char* text;
    };
    const Case cases[] = {
        {std::nullopt, "\u201Csaved.trs\u201D cannot be opened: No such file or directory."},
        {std::string("Shopping list: milk, eggs\n"), "\u201Csaved.trs\u201D is not a preset file of the Tarsel."},
        {std::string("\1\0\0\0\0\0\0\0\0\0\0\0\30\0\0", 15),
         "\u201Csaved.trs\u201D is damaged and cannot be read as a preset."},
    };
    size_t shown = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.content) WriteFile(presetPath, *c.content);
        ChooseFileMenuRow(window, kLoadFile);
        EXPECT_EQ(WaitForBox(++shown), Box(window, "--error", "Load preset file", c.text));
    }
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(ReadFile(statePath), original);
    CloseNormally(window);
}

// "saved" is saved as "saved.trs": the chooser asked about the name without
// the extension, so the editor asks before it replaces the file.
TEST_F(EditorEndToEndTest, SavingUnderANameWithoutTheExtensionAsksBeforeReplacing)
{
    chooserAnswer = folder.Path() + "/documents/saved";
    boxAnswers = "1,0";  // No, then Yes
    WriteFile(presetPath, "an older preset");
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)).size() == 15; }, 10s));
    const std::vector<std::string> question =
        Box(window, "--question", "Save preset file",
            "\u201Csaved.trs\u201D already exists. Do you want to replace it?");

    ChooseFileMenuRow(window, kSaveFile);
    EXPECT_EQ(WaitForBox(1), question);
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(ReadFile(presetPath), "an older preset") << "No replaced the file";
    EXPECT_EQ(Boxes().size(), 1u) << "a box after No";
    EXPECT_FALSE(std::filesystem::exists(chooserAnswer));

    ChooseFileMenuRow(window, kSaveFile);
    EXPECT_EQ(WaitForBox(2), question);
    EXPECT_TRUE(Eventually([&] { return ReadFile(presetPath).size() == 461; }, 20s)) << "Yes kept the old file";
    EXPECT_EQ(WaitForBox(3), Box(window, "--info", "Save preset file",
                                 "The keyboard's preset was saved in \u201Csaved.trs\u201D."));
    CloseNormally(window);
}

// While a box is open the window still paints what it shows, and SIGTERM
// ends the box and the editor as a close of the window would.
TEST_F(EditorEndToEndTest, AnOpenBoxKeepsTheWindowPaintedAndEndsWithTheEditor)
{
    boxAnswers = "hold";
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ChooseFileMenuRow(window, kGetPreset);
    ASSERT_FALSE(WaitForBox(1).empty());
    std::this_thread::sleep_for(1s);
    const std::optional<TestSupport::Picture> before = x.Capture(window);
    ASSERT_TRUE(before);

    // Another window covers part of it and goes: the part shows again.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_TRUE(display);
    const auto frame = x.Geometry(window);
    ASSERT_TRUE(frame);
    const Window cover = XCreateSimpleWindow(display, DefaultRootWindow(display), frame->x + 100, frame->y + 100, 400,
                                             300, 0, 0, 0xFFFFFF);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    XChangeWindowAttributes(display, cover, CWOverrideRedirect, &attributes);
    XMapRaised(display, cover);
    XSync(display, False);
    std::this_thread::sleep_for(500ms);
    XDestroyWindow(display, cover);
    XCloseDisplay(display);
    std::optional<TestSupport::Picture> after;
    EXPECT_TRUE(Eventually(
        [&] {
            after = x.Capture(window);
            return after && after->pixels == before->pixels;
        },
        10s))
        << "the uncovered part was not painted again";
    EXPECT_TRUE(editor->IsRunning());

    ASSERT_EQ(::kill(editor->Pid(), SIGTERM), 0);
    EXPECT_EQ(editor->WaitForExit(30s), std::optional<int>(1)) << "stderr: " << editor->ErrorOutput();
    EXPECT_TRUE(Eventually([&] { return ReadFile(BoxLog()).find("# ended by signal 15\n") != std::string::npos; },
                           10s))
        << ReadFile(BoxLog());
}

TEST_F(EditorEndToEndTest, SecondStartHandsOverAndEnds)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    EXPECT_EQ(RunSecondEditor({"--from-second"}), std::optional<int>(255));  // -1
    EXPECT_TRUE(editor->IsRunning());
    CloseNormally(window);
}

TEST_F(EditorEndToEndTest, SecondStartRaisesTheOpenDialog)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    const auto about = OpenAbout(window);
    ASSERT_TRUE(about);
    (void)x.Focus(window);  // the main window in front of its dialog (it takes no focus while disabled)
    ASSERT_TRUE(x.IsAbove(window, *about));

    EXPECT_EQ(RunSecondEditor({}), std::optional<int>(255));
    EXPECT_TRUE(Eventually([&] { return x.IsAbove(*about, window); }, 20s)) << "the dialog stays behind";

    ASSERT_TRUE(x.RequestClose(*about));
    EXPECT_TRUE(x.WaitUntilGone(kAboutTitle, 20s));
    CloseNormally(window);
}

// How far apart two colours are: the sum over red, green and blue.
int ColourDistance(uint32_t a, uint32_t b)
{
    int sum = 0;
    for (int shift : {0, 8, 16}) sum += std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff));
    return sum;
}

// Where a rectangle of a picture differs from its top-left pixel (its
// background) by more than anti-aliasing does, in the picture's coordinates.
struct Ink {
    int left = std::numeric_limits<int>::max(), top = std::numeric_limits<int>::max(), right = -1, bottom = -1;
    bool Any() const { return right >= 0; }
};
Ink InkIn(const TestSupport::Picture& picture, int x0, int y0, int width, int height)
{
    const uint32_t background = picture.At(x0, y0);
    Ink ink;
    for (int y = y0; y < y0 + height; ++y) {
        for (int x = x0; x < x0 + width; ++x) {
            if (ColourDistance(picture.At(x, y), background) <= 192) continue;
            ink.left = std::min(ink.left, x), ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x), ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

TEST_F(EditorEndToEndTest, AboutShowsTheVersionAndEndsWithOk)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    const auto about = OpenAbout(window);
    ASSERT_TRUE(about);
    const auto frame = x.Geometry(*about);
    ASSERT_TRUE(frame);
    // The OK button sits 96 px from the right and 40 px from the bottom.
    x.Focus(*about);
    std::this_thread::sleep_for(1s);
    const std::optional<TestSupport::Picture> picture = x.Capture(*about);
    ASSERT_TRUE(picture);
    // Its lines, the name and the version, start at one column; nothing else
    // is written on the body; the button shows its label in its middle.
    const Ink name = InkIn(*picture, 4, 16, 340, 24), version = InkIn(*picture, 4, 44, 340, 20);
    const Ink body = InkIn(*picture, 1, 66, frame->width - 2, frame->height - 66 - 44);
    const Ink ok = InkIn(*picture, frame->width - 94, frame->height - 38, 76, 22);
    EXPECT_TRUE(name.Any() && version.Any());
    EXPECT_EQ(name.left, 20);
    EXPECT_EQ(version.left, name.left);
    EXPECT_FALSE(body.Any()) << "ink at " << body.left << "," << body.top;
    EXPECT_TRUE(ok.Any());
    EXPECT_NEAR((ok.left + ok.right) / 2.0, frame->width - 56, 3);
    if (HasFailure()) x.SavePicture(*about, "about.png");
    ASSERT_TRUE(x.Click(*about, frame->width - 56, frame->height - 27));
    EXPECT_TRUE(x.WaitUntilGone(kAboutTitle, 20s));
    EXPECT_TRUE(editor->IsRunning());

    // Its close box ends it too, as Cancel would; the editor goes on.
    const auto again = OpenAbout(window);
    ASSERT_TRUE(again);
    ASSERT_TRUE(x.RequestClose(*again));
    EXPECT_TRUE(x.WaitUntilGone(kAboutTitle, 20s));
    EXPECT_TRUE(editor->IsRunning());

    // And Escape.
    const auto third = OpenAbout(window);
    ASSERT_TRUE(third);
    x.Focus(*third);
    ASSERT_TRUE(x.PressKey(XK_Escape));
    EXPECT_TRUE(x.WaitUntilGone(kAboutTitle, 20s));
    EXPECT_TRUE(editor->IsRunning());
    CloseNormally(window);
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
    {"mod wheel CC up", 133, 340, 6, 2, +1},
    {"pitch wheel lower limit up", 407, 313, 7, 1, +1},
    {"fader CC up", 629, 340, 8, 2, +1},
    {"expression pedal CC up", 877, 340, 9, 2, +1},
    {"foot switch 1 CC up", 629, 510, 13, 9, +1},
    {"foot switch 2 CC up", 877, 510, 14, 9, +1},
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
    ASSERT_TRUE(x.Click(window, 370, 345));
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
    ASSERT_TRUE(x.Click(window, 407, 313));
    EXPECT_TRUE(Eventually([&] { return ParameterLine(ReadFile(statePath), 7) == "7: 00 06 70"; }, 15s))
        << ParameterLine(ReadFile(statePath), 7);

    CloseNormally(window);
}

// The keyboard switches its first zones on, as if on the keyboard itself.
void SwitchZonesOn(const std::string& statePath, int zones)
{
    std::string state = ReadFile(statePath);
    for (int parameter = 2; parameter < 2 + zones; ++parameter) {
        std::string line = ParameterLine(state, parameter);
        line[line.find(':') + 3] = '1';  // "n: 0x ..." with the enable byte's low digit
        state = ReplaceLine(state, parameter, line);
    }
    WriteFile(statePath, state);
    std::this_thread::sleep_for(2s);
}

// The picture the README shows: `make screenshot` writes it to docs/, a test
// run beside the test program.
TEST_F(EditorEndToEndTest, WindowPicture)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)).size() == 15; }, 10s));
    SwitchZonesOn(statePath, 2);  // a zone's fields and its check mark show
    const char* wanted = std::getenv("EDITOR_SCREENSHOT");
    const std::string path = wanted ? wanted : "editor.png";
    EXPECT_TRUE(x.SavePicture(window, path));
    EXPECT_GT(std::filesystem::file_size(path), 10000u);
    CloseNormally(window);
}

// Every drop-down of the window (window coordinates of the shipped skin), the
// keyboard byte its choice goes to and that byte for its first item. In an
// order that keeps each shown: a type that hides a list comes after it.
struct DropDown {
    const char* what;
    int x, y, width;
    int items;
    int parameter, byte, first;
};
constexpr DropDown kDropDowns[] = {
    {"global channel", 182, 42, 118, 16, 0, 0, 1},
    {"velocity curve", 528, 42, 120, 7, 1, 0, 0},
    {"zone 1 channel", 108, 112, 134, 17, 2, 1, 0},
    {"zone 2 channel", 356, 112, 134, 17, 3, 1, 0},
    {"zone 3 channel", 604, 112, 134, 17, 4, 1, 0},
    {"zone 4 channel", 852, 112, 134, 17, 5, 1, 0},
    {"mod wheel channel", 94, 282, 148, 18, 6, 0, 0},
    {"mod wheel type", 94, 308, 148, 3, 6, 1, 0},
    {"pitch wheel channel", 342, 282, 148, 18, 7, 0, 0},
    {"fader channel", 590, 282, 148, 18, 8, 0, 0},
    {"fader type", 590, 308, 148, 3, 8, 1, 0},
    {"expression pedal channel", 838, 282, 148, 18, 9, 0, 0},
    {"expression pedal type", 838, 308, 148, 3, 9, 1, 0},
    {"button 1 channel", 102, 517, 139, 18, 11, 0, 0},
    {"button 2 channel", 343, 517, 139, 18, 12, 0, 0},
    {"hardware buttons type", 94, 452, 396, 8, 10, 0, 0},  // ends on MMC, which hides the buttons' channels
    {"foot switch 1 channel", 590, 478, 148, 18, 13, 0, 0},
    {"foot switch 1 type", 590, 452, 148, 11, 13, 1, 0},  // ends on MMC, which shows the command
    {"foot switch 1 MMC command", 590, 504, 148, 2, 13, 12, 0},
    {"foot switch 2 channel", 838, 478, 148, 18, 14, 0, 0},
    {"foot switch 2 type", 838, 452, 148, 11, 14, 1, 0},
    {"foot switch 2 MMC command", 838, 504, 148, 2, 14, 12, 0},
};
constexpr int kFieldHeight = 22, kListRow = 18;
constexpr int kZoneSwitchX[] = {27, 275, 523, 771};
constexpr int kZoneSwitchY = 97;
// The field before each zone's switch in tab order: the keybed's transpose,
// then the last note box of the zone before, shown while that zone is on.
constexpr struct {
    int x, y;
} kBeforeZoneSwitch[] = {{940, 53}, {125, 227}, {373, 227}, {621, 227}};

// Where a drop-down's list opens: below the box when its whole frame fits
// there, else on the side with more room, in whole rows.
struct ListPlace {
    int top;
    int rows;
    int Top(int row) const { return top + 1 + row * kListRow; }
    int Middle(int row) const { return Top(row) + kListRow / 2; }
};
ListPlace PlaceOf(const DropDown& d, int windowHeight)
{
    const int skin = std::min(d.items, 12) * kListRow + 2;
    const int content = d.items * kListRow + 2;
    const int below = windowHeight - (d.y + kFieldHeight) - 5, above = d.y - 5;
    const bool down = (below < skin && above < skin) ? (content <= below || above <= below) : skin <= below;
    const int height = std::min({content, skin, down ? below : above});
    return {down ? d.y + kFieldHeight - 1 : d.y - 1 - height, (height - 2) / kListRow};
}

// The pixels of a rectangle of the window.
std::vector<uint32_t> Crop(const TestSupport::Picture& picture, int x, int y, int width, int height)
{
    std::vector<uint32_t> pixels;
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) pixels.push_back(picture.At(column, row));
    }
    return pixels;
}

// The text drawn in a rectangle of `width` columns: the pixels that stand
// further from its commonest colour (the background) than half the farthest
// one, counted from the text's top-left corner. So a text reads alike in any
// colours, a list row's and a box's; anti-aliased edges may differ a little.
using TextShape = std::set<std::pair<int, int>>;
TextShape ShapeOf(const std::vector<uint32_t>& pixels, int width)
{
    if (pixels.empty() || width <= 0) return {};
    std::map<uint32_t, int> counts;
    for (uint32_t p : pixels) ++counts[p];
    const uint32_t background =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    const auto distance = [&](uint32_t p) { return ColourDistance(p, background); };
    int farthest = 0;
    for (uint32_t p : pixels) farthest = std::max(farthest, distance(p));
    TextShape shape;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (farthest > 0 && 2 * distance(pixels[i]) > farthest) shape.emplace(int(i) % width, int(i) / width);
    }
    if (shape.empty()) return shape;
    int left = width, top = std::numeric_limits<int>::max();
    for (const auto& [column, row] : shape) left = std::min(left, column), top = std::min(top, row);
    TextShape moved;
    for (const auto& [column, row] : shape) moved.emplace(column - left, row - top);
    return moved;
}

// Whether two shapes are one text: within a pixel's shift, a few edge pixels apart.
bool SameText(const TextShape& a, const TextShape& b)
{
    if (a.empty() || b.empty()) return false;
    const size_t allowed = std::max<size_t>(4, a.size() / 20);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            size_t apart = 0;
            for (const auto& [column, row] : a) apart += b.count({column + dx, row + dy}) ? 0 : 1;
            for (const auto& [column, row] : b) apart += a.count({column - dx, row - dy}) ? 0 : 1;
            if (apart <= allowed) return true;
        }
    }
    return false;
}

// A shape as lines of '#' and '.', for a failing test's message.
std::string Drawn(const TextShape& shape)
{
    int width = 0, height = 0;
    for (const auto& [column, row] : shape) width = std::max(width, column + 1), height = std::max(height, row + 1);
    std::string text;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) text += shape.count({column, row}) ? '#' : '.';
        text += '\n';
    }
    return text;
}

constexpr uint32_t kFieldBorder = 0xC8CED6;

// PROGRAM INC/DEC shows the most fields of the hardware buttons, down to
// their LIMIT boxes: at the smallest window those show whole, and so does
// the bottom edge of the buttons and their panel, above the status strip.
TEST_F(EditorEndToEndTest, AtTheSmallestWindowTheButtonsShowEveryFieldWhole)
{
    TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    CloseNormally(window);
    // At 100,80 and of the smallest size, 1002x686.
    const std::string settings = SettingsFileUnder(folder.Path() + "/config");
    ASSERT_TRUE(ReplaceSavedPlacement(settings, PlacementRecord(100, 80, 1102, 766)));
    window = StartEditor();
    ASSERT_NE(window, 0u);
    const auto geometry = x.Geometry(window);
    ASSERT_TRUE(geometry);
    ASSERT_EQ(1002, geometry->width);
    ASSERT_EQ(686, geometry->height);
    ASSERT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)).size() == 15; }, 10s));

    // The type list, three rows down from OCTAVE.
    ASSERT_TRUE(x.Click(window, 300, 462));
    std::this_thread::sleep_for(1s);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(x.PressKey(XK_Down));
    ASSERT_TRUE(x.PressKey(XK_Return));
    ASSERT_TRUE(Eventually([&] { return ParameterLine(ReadFile(statePath), 10) == "10: 03"; }, 15s))
        << ParameterLine(ReadFile(statePath), 10);
    ASSERT_TRUE(x.MoveTo(window, 700, 40));  // no box under the pointer shows hot
    std::this_thread::sleep_for(1s);

    const std::optional<TestSupport::Picture> picture = x.Capture(window);
    ASSERT_TRUE(picture);
    // The bottom edges, in window coordinates: the LIMIT boxes of both
    // buttons, the buttons, their panel.
    const struct {
        const char* what;
        int x, y, width;
    } edges[] = {
        {"button 1 LIMIT box", 103, 643, 58}, {"button 2 LIMIT box", 344, 643, 58}, {"button 1", 16, 646, 233},
        {"button 2", 257, 646, 233},          {"hardware buttons", 8, 653, 490},
    };
    for (const auto& edge : edges) {
        SCOPED_TRACE(edge.what);
        const std::vector<uint32_t> row = Crop(*picture, edge.x + 1, edge.y, edge.width - 2, 1);
        EXPECT_EQ(std::vector<uint32_t>(row.size(), kFieldBorder), row);
    }
    if (HasFailure()) x.SavePicture(window, "smallest-window.png");
    CloseNormally(window);
}

class EditorInputTest : public EditorEndToEndTest {
protected:
    // The editor with every zone switched on, so each zone's fields show.
    TestSupport::WindowId StartWithZonesOn()
    {
        const TestSupport::WindowId window = StartEditor();
        if (!window || !Eventually([&] { return Blobs(ReadFile(statePath)).size() == 15; }, 10s)) return 0;
        SwitchZonesOn(statePath, 4);
        return window;
    }
    std::vector<uint32_t> Area(TestSupport::WindowId window, int x0, int y0, int width, int height)
    {
        const std::optional<TestSupport::Picture> picture = x.Capture(window);
        return picture ? Crop(*picture, x0, y0, width, height) : std::vector<uint32_t>{};
    }
    // The text of a drop-down's row in its open list, and of its box: inside their
    // borders, the box's arrow left out.
    TextShape RowText(TestSupport::WindowId window, const DropDown& d, const ListPlace& place, int row)
    {
        return ShapeOf(Area(window, d.x + 3, place.Top(row) + 2, d.width - 22, kListRow - 3), d.width - 22);
    }
    TextShape BoxText(TestSupport::WindowId window, const DropDown& d)
    {
        return ShapeOf(Area(window, d.x + 3, d.y + 3, d.width - 22, kFieldHeight - 6), d.width - 22);
    }
    void ExpectKeyboard(const std::map<int, std::vector<int>>& expected)
    {
        EXPECT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)) == expected; }, 10s))
            << "keyboard now:\n" << ReadFile(statePath);
    }
};

TEST_F(EditorInputTest, AClickOnAnyRowOfAnyDropDownChoosesTheRowDrawnThere)
{
    const TestSupport::WindowId window = StartWithZonesOn();
    ASSERT_NE(window, 0u);
    const auto frame = x.Geometry(window);
    ASSERT_TRUE(frame);
    std::map<int, std::vector<int>> expected = Blobs(ReadFile(statePath));
    for (const DropDown& d : kDropDowns) {
        const ListPlace place = PlaceOf(d, frame->height);
        // Keys only move the list's highlight and scroll it; the click chooses.
        const auto choose = [&](int item, int shownAt, unsigned long key, int presses) {
            SCOPED_TRACE(std::string(d.what) + ", item " + std::to_string(item));
            ASSERT_TRUE(x.Click(window, d.x + 20, d.y + kFieldHeight / 2));
            std::this_thread::sleep_for(400ms);
            for (int i = 0; i < presses; ++i) ASSERT_TRUE(x.PressKey(key));
            if (presses > 0) std::this_thread::sleep_for(400ms);
            const TextShape row = RowText(window, d, place, shownAt);
            ASSERT_TRUE(x.Click(window, d.x + 20, place.Middle(shownAt)));
            // The chosen byte, and no other part changed (a type may hand a shared byte to another field).
            const auto chosen = [&] {
                std::map<int, std::vector<int>> now = Blobs(ReadFile(statePath)), before = expected;
                if (now[d.parameter][static_cast<size_t>(d.byte)] != d.first + item) return false;
                now.erase(d.parameter);
                before.erase(d.parameter);
                return now == before;
            };
            EXPECT_TRUE(Eventually(chosen, 10s)) << "keyboard now:\n" << ReadFile(statePath);
            // The closed box shows the row chosen.
            EXPECT_TRUE(Eventually([&] { return SameText(BoxText(window, d), row); }, 3s))
                << "the box does not show the row clicked; row:\n"
                << Drawn(row) << "box:\n"
                << Drawn(BoxText(window, d));
            expected = Blobs(ReadFile(statePath));
        };
        // Opened on the item chosen last, the list shows it; in a longer list
        // Down brings the next item into its last row.
        for (int item = 0; item < d.items; ++item) {
            if (item == 0) {
                choose(0, 0, XK_Up, d.items);
            } else if (item < place.rows) {
                choose(item, item, 0, 0);
            } else {
                choose(item, place.rows - 1, XK_Down, 1);
            }
            if (HasFatalFailure()) return;
        }
        // Opened on its last item, a list shows that item in its last row and no row past it.
        choose(d.items - 2, place.rows - 2, 0, 0);
        choose(d.items - 1, place.rows - 1, 0, 0);  // the last again: a type's last shows the next list
        if (HasFatalFailure()) return;
    }
    CloseNormally(window);
}

TEST_F(EditorInputTest, ALongListScrollsWhenItsThumbIsDragged)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)).size() == 15; }, 10s));
    const auto frame = x.Geometry(window);
    ASSERT_TRUE(frame);
    const DropDown& d = kDropDowns[0];  // the global channel: 16 channels, fewer rows
    const ListPlace place = PlaceOf(d, frame->height);
    const int hidden = d.items - place.rows;
    ASSERT_GT(hidden, 0);
    std::map<int, std::vector<int>> expected = Blobs(ReadFile(statePath));
    ASSERT_EQ(expected[0][0], d.first) << "the list opens on its first channel";
    ASSERT_TRUE(x.Click(window, d.x + 20, d.y + kFieldHeight / 2));
    std::this_thread::sleep_for(400ms);
    std::vector<TextShape> top;
    for (int row = 0; row < place.rows; ++row) top.push_back(RowText(window, d, place, row));
    // The thumb, in the bar at the list's right edge, dragged down past its end.
    const int barX = d.x + d.width - 7;
    ASSERT_TRUE(x.Drag(window, barX, place.Top(0) + 20, barX, place.Top(place.rows - 1) + kListRow / 2));
    std::this_thread::sleep_for(400ms);
    // The list shows its last channels: each row the channel `hidden` further
    // down, and the rows that were out of sight hold channels of their own.
    for (int row = 0; row < place.rows; ++row) {
        SCOPED_TRACE("row " + std::to_string(row + 1));
        const TextShape shown = RowText(window, d, place, row);
        if (row + hidden < place.rows) {
            EXPECT_TRUE(SameText(shown, top[size_t(row + hidden)])) << "shown:\n"
                                                                    << Drawn(shown) << "expected:\n"
                                                                    << Drawn(top[size_t(row + hidden)]);
        } else {
            EXPECT_FALSE(shown.empty()) << "a blank row";
            for (const TextShape& before : top) EXPECT_FALSE(SameText(shown, before)) << Drawn(shown);
        }
    }
    // Its last row is the last channel: a click chooses it, and the box shows it.
    const TextShape last = RowText(window, d, place, place.rows - 1);
    ASSERT_TRUE(x.Click(window, d.x + 20, place.Middle(place.rows - 1)));
    expected[0][0] = d.first + d.items - 1;
    ExpectKeyboard(expected);
    EXPECT_TRUE(Eventually([&] { return SameText(BoxText(window, d), last); }, 3s)) << Drawn(BoxText(window, d));
    CloseNormally(window);
}

TEST_F(EditorInputTest, FirstNoteBoxShowsTheNoteTheKeyboardHolds)
{
    const TestSupport::WindowId window = StartWithZonesOn();
    ASSERT_NE(window, 0u);
    std::map<int, std::vector<int>> expected = Blobs(ReadFile(statePath));
    const auto type = [&](int y, const char* text) {
        ASSERT_TRUE(x.Click(window, 130, y));
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(x.PressKey(XK_BackSpace));
        ASSERT_TRUE(x.Type(text));
        ASSERT_TRUE(x.PressKey(XK_Return));
    };
    constexpr int kFirstY = 201, kLastY = 227;
    // LAST 30, then FIRST 40: the first note follows the last down to 30.
    type(kLastY, "30");
    expected[2][3] = 29;
    ExpectKeyboard(expected);
    type(kFirstY, "40");
    expected[2][2] = 29;
    ExpectKeyboard(expected);
    // Both notes are named alike ("D (3)").
    EXPECT_EQ(Area(window, 164, kFirstY - 10, 78, 20), Area(window, 164, kLastY - 10, 78, 20));
    // The box's step counts from the note it shows: Down gives 29.
    ASSERT_TRUE(x.PressKey(XK_Down));
    expected[2][2] = 28;
    ExpectKeyboard(expected);
    EXPECT_NE(Area(window, 164, kFirstY - 10, 78, 20), Area(window, 164, kLastY - 10, 78, 20));
    // A change from the keyboard shows in the box: steps count from it.
    std::string state = ReadFile(statePath);
    std::string line = ParameterLine(state, 2);
    line.replace(line.find(':') + 8, 5, "13 30");  // first note 20, last note 49
    WriteFile(statePath, ReplaceLine(state, 2, line));
    std::this_thread::sleep_for(2s);
    expected = Blobs(ReadFile(statePath));
    ASSERT_TRUE(x.Click(window, 130, kFirstY));
    ASSERT_TRUE(x.PressKey(XK_Up));
    expected[2][2] = 0x14;
    ExpectKeyboard(expected);
    CloseNormally(window);
}

TEST_F(EditorInputTest, ComboBoxesOpenMoveTakeAndCloseByKeys)
{
    const TestSupport::WindowId window = StartWithZonesOn();
    ASSERT_NE(window, 0u);
    const auto frame = x.Geometry(window);
    ASSERT_TRUE(frame);
    std::map<int, std::vector<int>> expected = Blobs(ReadFile(statePath));
    for (const DropDown& d : kDropDowns) {
        if (d.parameter == 10 || d.byte == 12) continue;  // the type hides or shows other fields
        SCOPED_TRACE(d.what);
        const ListPlace place = PlaceOf(d, frame->height);
        const int listX = d.x + 4, listY = place.top + 2;
        // A click focuses the box and opens its list; Escape closes it and keeps the focus.
        ASSERT_TRUE(x.Click(window, d.x + 20, d.y + kFieldHeight / 2));
        std::this_thread::sleep_for(400ms);
        const std::vector<uint32_t> open = Area(window, listX, listY, 40, 12);
        ASSERT_TRUE(x.PressKey(XK_Escape));
        std::this_thread::sleep_for(400ms);
        const std::vector<uint32_t> closed = Area(window, listX, listY, 40, 12);
        EXPECT_NE(open, closed) << "Escape leaves the list open";
        // Down opens it, Up and Down move, Enter takes the item: to the first, then the second.
        ASSERT_TRUE(x.PressKey(XK_Down));
        std::this_thread::sleep_for(400ms);
        EXPECT_NE(closed, Area(window, listX, listY, 40, 12)) << "Down opens no list";
        for (int i = 0; i < d.items; ++i) ASSERT_TRUE(x.PressKey(XK_Up));
        ASSERT_TRUE(x.PressKey(XK_Return));
        expected[d.parameter][static_cast<size_t>(d.byte)] = d.first;
        ExpectKeyboard(expected);
        ASSERT_TRUE(x.PressKey(XK_Return));
        ASSERT_TRUE(x.PressKey(XK_Down));
        ASSERT_TRUE(x.PressKey(XK_Return));
        expected[d.parameter][static_cast<size_t>(d.byte)] = d.first + 1;
        ExpectKeyboard(expected);
        // Escape leaves the choice as it was.
        ASSERT_TRUE(x.PressKey(XK_Down));
        ASSERT_TRUE(x.PressKey(XK_Down));
        ASSERT_TRUE(x.PressKey(XK_Escape));
        std::this_thread::sleep_for(500ms);
        EXPECT_EQ(Blobs(ReadFile(statePath)), expected);
    }
    CloseNormally(window);
}

// The fields in tab order with every zone on and the hardware buttons' type
// OCTAVE (window coordinates of the shipped skin): each column's fields stand
// 26 px apart, every field 22 px high.
struct FieldColumn {
    const char* what;
    int x, y;
    std::vector<int> widths;
};
const FieldColumn kTabOrder[] = {
    {"global channel", 183, 43, {118}},
    {"velocity curve", 529, 43, {120}},
    {"keybed octave", 739, 43, {58}},
    {"keybed transpose", 919, 43, {58}},
    {"zone 1 on", 17, 87, {22}},
    {"zone 1", 109, 113, {134, 58, 58, 40, 40}},
    {"zone 2 on", 265, 87, {22}},
    {"zone 2", 357, 113, {134, 58, 58, 40, 40}},
    {"zone 3 on", 513, 87, {22}},
    {"zone 3", 605, 113, {134, 58, 58, 40, 40}},
    {"zone 4 on", 761, 87, {22}},
    {"zone 4", 853, 113, {134, 58, 58, 40, 40}},
    {"mod wheel", 95, 283, {148, 148, 32, 58, 58}},
    {"pitch wheel", 343, 283, {148, 58, 58}},
    {"fader", 591, 283, {148, 148, 32, 58, 58}},
    {"expression pedal", 839, 283, {148, 148, 32, 58, 58}},
    {"hardware buttons type", 95, 453, {396}},
    {"button 1 channel", 103, 518, {139}},
    {"button 2 channel", 344, 518, {139}},
    {"foot switch 1", 591, 453, {148, 148, 32, 58, 58}},
    {"foot switch 2", 839, 453, {148, 148, 32, 58, 58}},
};

struct Field {
    std::string what;
    int x, y, width;
    bool Holds(int column, int row) const { return column >= x && column < x + width && row >= y && row < y + 22; }
};

std::vector<Field> FieldsInTabOrder()
{
    std::vector<Field> fields;
    for (const FieldColumn& column : kTabOrder) {
        for (size_t i = 0; i < column.widths.size(); ++i) {
            const std::string what = column.widths.size() > 1 ? std::string(column.what) + " field " + std::to_string(i + 1)
                                                               : column.what;
            fields.push_back({what, column.x, column.y + 26 * int(i), column.widths[i]});
        }
    }
    return fields;
}

// The first pixel that differs between two pictures and lies in neither field, as "x,y"; empty when none.
std::string ChangedOutside(const TestSupport::Picture& before, const TestSupport::Picture& after, const Field& a,
                           const Field& b)
{
    for (int row = 0; row < after.height; ++row) {
        for (int column = 0; column < after.width; ++column) {
            if (before.At(column, row) != after.At(column, row) && !a.Holds(column, row) && !b.Holds(column, row))
                return std::to_string(column) + "," + std::to_string(row);
        }
    }
    return {};
}

bool ChangedIn(const TestSupport::Picture& before, const TestSupport::Picture& after, const Field& field)
{
    return Crop(before, field.x, field.y, field.width, 22) != Crop(after, field.x, field.y, field.width, 22);
}

TEST_F(EditorInputTest, EveryTabMovesTheVisibleFocusToTheNextField)
{
    const TestSupport::WindowId window = StartWithZonesOn();
    ASSERT_NE(window, 0u);
    const std::vector<Field> fields = FieldsInTabOrder();
    // From the global channel's box, which a click focuses (Escape closes its list);
    // the pointer then leaves, so that no hover look comes or goes.
    ASSERT_TRUE(x.Click(window, 200, 53));
    ASSERT_TRUE(x.PressKey(XK_Escape));
    ASSERT_TRUE(x.MoveTo(window, 500, 707));
    std::this_thread::sleep_for(500ms);
    std::optional<TestSupport::Picture> before = x.Capture(window);
    ASSERT_TRUE(before);
    // Each Tab takes the focus look from one field to the next and changes
    // nothing else; after the last field it comes round to the first.
    const auto step = [&](const Field& from, const Field& to, unsigned modifiers) {
        SCOPED_TRACE(from.what + " to " + to.what);
        ASSERT_TRUE(x.PressKey(XK_Tab, modifiers));
        std::optional<TestSupport::Picture> after;
        const bool moved = Eventually(
            [&] {
                std::this_thread::sleep_for(50ms);
                after = x.Capture(window);
                return after && ChangedIn(*before, *after, from) && ChangedIn(*before, *after, to);
            },
            3s);
        ASSERT_TRUE(after);
        EXPECT_TRUE(moved) << "the focus look did not move from the one field to the other";
        EXPECT_EQ(ChangedOutside(*before, *after, from, to), "") << "a pixel changed outside both fields";
        before = std::move(after);
    };
    for (size_t i = 0; i < fields.size(); ++i) {
        step(fields[i], fields[(i + 1) % fields.size()], TestSupport::NoModifier);
        if (HasFatalFailure()) return;
    }
    // Shift+Tab goes back round the same way.
    step(fields.front(), fields.back(), TestSupport::Shift);
    CloseNormally(window);
}

TEST_F(EditorInputTest, ZoneSwitchShowsItsStateWhicheverWayItChanges)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)).size() == 15; }, 10s));
    std::map<int, std::vector<int>> expected = Blobs(ReadFile(statePath));
    for (int zone = 0; zone < 4; ++zone) {
        SCOPED_TRACE("zone " + std::to_string(zone + 1));
        const int sx = kZoneSwitchX[zone] - 11, sy = kZoneSwitchY - 11;
        const std::vector<uint32_t> off = Area(window, sx, sy, 22, 22);
        ASSERT_EQ(0, expected[2 + zone][0]);
        // A click switches it on: the keyboard gets it and the box shows its check mark.
        ASSERT_TRUE(x.Click(window, kZoneSwitchX[zone], kZoneSwitchY));
        expected[2 + zone][0] = 1;
        ExpectKeyboard(expected);
        ASSERT_TRUE(x.MoveTo(window, 500, 707));  // the pointer leaves: no hover look
        std::this_thread::sleep_for(300ms);
        const std::vector<uint32_t> on = Area(window, sx, sy, 22, 22);
        EXPECT_NE(off, on);
        // The keyboard switches it off: the box shows off again (the focus ring aside, at its edge).
        std::string state = ReadFile(statePath);
        std::string line = ParameterLine(state, 2 + zone);
        line[line.find(':') + 3] = '0';
        WriteFile(statePath, ReplaceLine(state, 2 + zone, line));
        std::this_thread::sleep_for(2s);
        expected = Blobs(ReadFile(statePath));
        EXPECT_EQ(Area(window, sx + 3, sy + 3, 16, 16), Crop({22, 22, off}, 3, 3, 16, 16));
        // And a second click on again.
        ASSERT_TRUE(x.Click(window, kZoneSwitchX[zone], kZoneSwitchY));
        expected[2 + zone][0] = 1;
        ExpectKeyboard(expected);
        ASSERT_TRUE(x.MoveTo(window, 500, 707));
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(Area(window, sx + 3, sy + 3, 16, 16), Crop({22, 22, on}, 3, 3, 16, 16));
        // Keys alone: Tab from the field before it focuses it as the click did,
        // and Enter switches it off and on again.
        ASSERT_TRUE(x.Click(window, kBeforeZoneSwitch[zone].x, kBeforeZoneSwitch[zone].y));
        ASSERT_TRUE(x.MoveTo(window, 500, 707));
        ASSERT_TRUE(x.PressKey(XK_Tab));
        EXPECT_TRUE(Eventually([&] { return Area(window, sx, sy, 22, 22) == on; }, 3s)) << "Tab shows no focus on it";
        for (const int state : {0, 1}) {
            SCOPED_TRACE(state ? "Enter on" : "Enter off");
            ASSERT_TRUE(x.PressKey(XK_Return));
            expected[2 + zone][0] = state;
            ExpectKeyboard(expected);
            const std::vector<uint32_t>& look = state ? on : off;
            EXPECT_TRUE(Eventually(
                [&] { return Area(window, sx + 3, sy + 3, 16, 16) == Crop({22, 22, look}, 3, 3, 16, 16); }, 3s));
            EXPECT_NE(Area(window, sx, sy, 22, 22), off) << "the focus left it";
        }
        EXPECT_EQ(Area(window, sx, sy, 22, 22), on);
    }
    CloseNormally(window);
}

// A box that lost the focus to a click elsewhere shows its whole border as
// its state says, the edges outside its fill included, with no repaint of the
// whole window. A hand's pointer comes to rest on a box before it clicks, so
// the hover look leaves before the focus does.
TEST_F(EditorInputTest, AZoneSwitchLeftOffAndUnfocusedLooksUntouched)
{
    const TestSupport::WindowId window = StartEditor();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually([&] { return Blobs(ReadFile(statePath)).size() == 15; }, 10s));
    std::map<int, std::vector<int>> expected = Blobs(ReadFile(statePath));
    ASSERT_EQ(0, expected[4][0]);
    ASSERT_EQ(0, expected[5][0]);
    const auto click = [&](int zone) {
        ASSERT_TRUE(x.MoveTo(window, kZoneSwitchX[zone], kZoneSwitchY));
        std::this_thread::sleep_for(300ms);
        ASSERT_TRUE(x.Click(window, kZoneSwitchX[zone], kZoneSwitchY));
    };
    const int boxX = kZoneSwitchX[3] - 10, boxY = kZoneSwitchY - 10;
    ASSERT_TRUE(x.MoveTo(window, 500, 707));
    std::this_thread::sleep_for(300ms);
    const std::vector<uint32_t> untouched = Area(window, boxX, boxY, 22, 22);
    // Zone 4 on by its click; Space leaves a box as it is; the second click switches it off.
    click(3);
    expected[5][0] = 1;
    ExpectKeyboard(expected);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(x.PressKey(XK_space));
    click(3);
    expected[5][0] = 0;
    ExpectKeyboard(expected);
    // Zone 3 takes the focus, on by the click and off by Enter; the focus goes back and comes again.
    click(2);
    expected[4][0] = 1;
    ExpectKeyboard(expected);
    ASSERT_TRUE(x.PressKey(XK_space));
    ASSERT_TRUE(x.PressKey(XK_Return));
    expected[4][0] = 0;
    ExpectKeyboard(expected);
    ASSERT_TRUE(x.PressKey(XK_Tab, TestSupport::Shift));
    ASSERT_TRUE(x.PressKey(XK_Tab));
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(Eventually([&] { return Area(window, boxX, boxY, 22, 22) == untouched; }, 3s))
        << "zone 4's box does not look as it did before it was touched";
    if (HasFailure()) x.SavePicture(window, "zone-switch-left-off.png");
    CloseNormally(window);
}

}  // namespace
