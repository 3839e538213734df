// The device view's File and Help commands: what each asks of the keyboard,
// the file chooser and the preset files, and which message box it shows.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "FakeFileChooser.h"
#include "FakeParamEngine.h"
#include "LControlFactory.h"
#include "LDeviceView.h"
#include "LNotificationCenterManager.h"
#include "MessageBoxHost.h"
#include "ShippedSkinApplication.h"
#include "TempFolder.h"

namespace {

using namespace QV;
using Platform::FileChooser::FakeFileChooser;

struct Box {
    std::string text;
    std::string caption;
    uint32_t flags;
};

class RecordingMessageBoxes : public IMessageBoxHost {
public:
    int32_t ShowMessageBox(const String& text, const String& caption, uint32_t flags) override
    {
        shown.push_back({text.ToUtf8(), caption.ToUtf8(), flags});
        return 1;
    }
    std::vector<Box> shown;
};

class ScriptedMidiManager : public LMidiManager {
public:
    ScriptedMidiManager() : LMidiManager(Timeouts{}) {}
    int32_t SendPresetToMidiDevice(int32_t) override
    {
        ++sends;
        return result;
    }
    int32_t GetPresetFromMidiDevice(int32_t) override
    {
        ++gets;
        return result;
    }
    int32_t result = 0;
    int gets = 0;
    int sends = 0;
};

std::string AppText(ShippedSkinApplication& app, const char16_t* id)
{
    String text;
    (void)app.skin->GetDefaultStringTable()->GetString(id, text);
    return text.ToUtf8();
}

class DeviceViewTest : public ::testing::Test {
protected:
    DeviceViewTest() : mApp(app), mBoxes(boxes), mEngine(engine), mChooser(chooser) {}

    void SetUp() override
    {
        ASSERT_GE(app.loaded, 0);
        view = RCPtr<LDeviceView>(new LDeviceView(nullptr, u"viewDevice"));
        ASSERT_GE(view->Initialize(), 0);
        view->SetInitialized(true);
        view->SetMidiManager(RCPtr<LMidiManager>(midi.Get()));
    }
    void TearDown() override
    {
        if (view) view->ReleaseInternalReferences();
        if (midi) (void)midi->ReleaseInternalReferences();
    }

    std::string Text(const char16_t* id) { return AppText(app, id); }

    ShippedSkinApplication app;
    RecordingMessageBoxes boxes;
    driver_test::FakeParamEngine engine;
    FakeFileChooser chooser;
    RCPtr<ScriptedMidiManager> midi{new ScriptedMidiManager()};
    RCPtr<LDeviceView> view;
    TempFolder folder{"device-view"};

private:
    ScopedControlApplication mApp;
    ScopedMessageBoxHost mBoxes;
    ScopedParamEngine mEngine;
    Platform::FileChooser::ScopedFileChooser mChooser;
};

// Every negative answer of the keyboard is a MIDI error, never a success.
TEST_F(DeviceViewTest, PresetTransfersShowTheirOutcome)
{
    struct Case {
        bool send;
        int32_t result;
        const char16_t* caption;
        const char16_t* text;
        uint32_t icon;
    } cases[] = {
        {false, 0, u"LABEL_GET_PRESET_SUCEESS_MSGBOX_CAPTION", u"LABEL_GET_PRESET_SUCEESS_MSGBOX_TEXT", 0x40},
        {false, -1, u"LABEL_GET_PRESET_FAILED_MSGBOX_CAPTION", u"LABEL_GET_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT", 0x10},
        {false, -3, u"LABEL_GET_PRESET_FAILED_MSGBOX_CAPTION", u"LABEL_GET_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT", 0x10},
        {false, -2, u"LABEL_GET_PRESET_FAILED_MSGBOX_CAPTION",
         u"LABEL_GET_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT", 0x10},
        {true, 100, u"LABEL_SEND_PRESET_SUCEESS_MSGBOX_CAPTION", u"LABEL_SEND_PRESET_SUCEESS_MSGBOX_TEXT", 0x40},
        {true, -1, u"LABEL_SEND_PRESET_FAILED_MSGBOX_CAPTION", u"LABEL_SEND_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT",
         0x10},
        {true, E_FAIL, u"LABEL_SEND_PRESET_FAILED_MSGBOX_CAPTION", u"LABEL_SEND_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT",
         0x10},
        {true, -2, u"LABEL_SEND_PRESET_FAILED_MSGBOX_CAPTION",
         u"LABEL_SEND_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT", 0x10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.send ? "send " : "get ") + std::to_string(c.result));
        boxes.shown.clear();
        midi->result = c.result;
        c.send ? view->SendPresetToDevice() : view->GetPresetFromDevice();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].caption, Text(c.caption));
        EXPECT_EQ(boxes.shown[0].text, Text(c.text));
        EXPECT_FALSE(boxes.shown[0].text.empty());
        EXPECT_EQ(boxes.shown[0].flags, c.icon);
    }
}

TEST_F(DeviceViewTest, SaveWritesTheChosenFileAndSaysWhatHappened)
{
    const std::string path = folder.Path() + "/saved.trs";
    chooser.AnswerPaths({path});
    view->SavePresetToFile();
    ASSERT_EQ(chooser.requests.size(), 1u);
    EXPECT_EQ(chooser.requests[0].mode, Platform::FileChooser::Mode::Save);
    EXPECT_EQ(chooser.requests[0].title, Text(u"SAVE_PRESET_DIALOG_TITLE"));
    EXPECT_EQ(chooser.requests[0].defaultExtension, "trs");
    std::ifstream saved(path, std::ios::binary | std::ios::ate);
    EXPECT_EQ(static_cast<int>(saved.tellg()), 461);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, Text(u"SETTINGS_FILE_SAVE_CAPTION"));
    EXPECT_EQ(boxes.shown[0].text, "The keyboard's preset was saved in \u201Csaved.trs\u201D.");
    EXPECT_EQ(boxes.shown[0].flags, 0x40u);

    // A folder that is not there: the system's reason.
    boxes.shown.clear();
    chooser.AnswerPaths({folder.Path() + "/gone/other.trs"});
    view->SavePresetToFile();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind("\u201Cother.trs\u201D could not be saved: ", 0), 0u) << boxes.shown[0].text;
    EXPECT_NE(boxes.shown[0].text.find("No such file or directory. An existing file was left as it was."),
              std::string::npos)
        << boxes.shown[0].text;
    EXPECT_EQ(boxes.shown[0].flags, 0x10u);

    // A keyboard that answers fewer values: the old file stays, the user is told.
    boxes.shown.clear();
    engine.values.resize(14);
    chooser.AnswerPaths({path});
    view->SavePresetToFile();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, Text(u"SETTINGS_FILE_SAVE_CAPTION"));
    EXPECT_EQ(boxes.shown[0].text, "\u201Csaved.trs\u201D was not saved: the keyboard did not give its whole preset. "
                                   "Check that it is connected.");
    EXPECT_EQ(boxes.shown[0].flags, 0x10u);
    std::ifstream kept(path, std::ios::binary | std::ios::ate);
    EXPECT_EQ(static_cast<int>(kept.tellg()), 461);
}

TEST_F(DeviceViewTest, LoadNamesTheFileAndWhatHappened)
{
    struct Case {
        const char* name;
        std::optional<std::string> content;  // none: no such file
        const char* text;
        uint32_t icon;
    } cases[] = {
        {"header only", std::string("\1\0\0\0\0\0\0\0\0\0\0\0", 12),
         "The preset in \u201Cheader only.trs\u201D was loaded and sent to the keyboard.", 0x40},
        {"missing", std::nullopt, "\u201Cmissing.trs\u201D cannot be opened: No such file or directory.", 0x10},
        {"notes", std::string("Shopping list: milk, eggs\n"), "\u201Cnotes.trs\u201D is not a preset file of the Tarsel.",
         0x10},
        {"other device", std::string("\1\0\0\0\7\0\0\0\0\0\0\0", 12),
         "\u201Cother device.trs\u201D is not a preset file of the Tarsel.", 0x10},
        {"older", std::string(12, '\0'),
         "\u201Colder.trs\u201D was made by an older version of the editor and cannot be read.", 0x10},
        {"newer", std::string("\2\0\0\0\0\0\0\0\0\0\0\0", 12),
         "\u201Cnewer.trs\u201D was made by a newer version of the editor and cannot be read.", 0x10},
        {"cut header", std::string("\1\0\0", 3), "\u201Ccut header.trs\u201D is damaged and cannot be read as a preset.",
         0x10},
        {"empty", std::string(), "\u201Cempty.trs\u201D is damaged and cannot be read as a preset.", 0x10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        const std::string path = folder.Path() + "/" + c.name + ".trs";
        if (c.content) std::ofstream(path, std::ios::binary) << *c.content;
        chooser.AnswerPaths({path});
        view->LoadPresetFromFile();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].caption, Text(u"SETTINGS_FILE_LOAD_CAPTION"));
        EXPECT_EQ(boxes.shown[0].text, c.text);
        EXPECT_EQ(boxes.shown[0].flags, c.icon);
    }
    EXPECT_EQ(chooser.requests.back().mode, Platform::FileChooser::Mode::Open);
    EXPECT_EQ(chooser.requests.back().title, Text(u"LOAD_PRESET_DIALOG_TITLE"));
}

TEST_F(DeviceViewTest, ACancelledChooserChangesNothing)
{
    chooser.AnswerCancel();
    view->LoadPresetFromFile();
    chooser.AnswerCancel();
    view->SavePresetToFile();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(engine.sent.empty());
}

TEST_F(DeviceViewTest, MenuCommandsArriveAsNotifications)
{
    RCPtr<LNotificationCenter> center = GetDefaultNotificationCenter();
    ASSERT_TRUE(center);
    ASSERT_GE(center->PostNamedNotification(u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE", nullptr), 0);
    ASSERT_GE(center->PostNamedNotification(u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE", nullptr), 0);
    LNotificationCenterManager::GetInstance()->ProcessNotifications(true);
    EXPECT_EQ(midi->gets, 1);
    EXPECT_EQ(midi->sends, 1);
}

}  // namespace
