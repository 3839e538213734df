#include "LFileDialog.h"

#include <gtest/gtest.h>

#include "DebugOutput.h"
#include "FakeFileChooser.h"
#include "FileDialogHost.h"
#include "TempFolder.h"

namespace QV {
namespace {

using namespace Platform::FileChooser;

class RecordingHost : public IFileDialogHost {
public:
    uint64_t GetOwnerWindow() override { return 0x1c00007; }
    void WhileChooserOpen() override { ++passes; }
    bool ConfirmReplace(const std::string& path, const std::string& title) override
    {
        questions.push_back(title + ": " + path);
        return replace;
    }
    int passes = 0;
    std::vector<std::string> questions;
    bool replace = false;
};

class RecordingSink : public Platform::DebugOutputSink {
public:
    void Write(std::string_view text) override { written += text; }
    std::string written;
};

class FileDialogTest : public ::testing::Test {
protected:
    const Request& LastRequest() const { return fake.requests.back(); }
    QVResult Open(LFileDialog& dialog, bool multiple = false)
    {
        return dialog.ShowOpenDialog(u"Presets|*.tps", u"tps", u"Load preset", multiple);
    }
    QVResult Save(LFileDialog& dialog) { return dialog.ShowSaveDialog(u"Presets|*.tps", u"tps", u"Save preset"); }

    FakeFileChooser fake;
    ScopedFileChooser chooserScope{fake};
    RecordingHost host;
    ScopedFileDialogHost hostScope{host};
};

TEST_F(FileDialogTest, FilterTextBecomesDescriptionsAndPatterns)
{
    struct Case {
        const char16_t* text;
        std::vector<Filter> expected;
    };
    const Case cases[] = {
        {u"Presets|*.tps", {{"Presets", {"*.tps"}}}},
        {u"Presets|*.tps|", {{"Presets", {"*.tps"}}}},
        {u"Presets (*.tps)|*.tps|All files|*.*", {{"Presets (*.tps)", {"*.tps"}}, {"All files", {"*"}}}},
        {u"Sounds|*.wav; *.aif;|Odd", {{"Sounds", {"*.wav", "*.aif"}}}},
        {u"|*.tps", {{"*.tps", {"*.tps"}}}},
        {u"Ünïcode|*.tps", {{"Ünïcode", {"*.tps"}}}},
        {u"", {}},
    };
    LFileDialog dialog(u"/home/u");
    for (const Case& c : cases) {
        SCOPED_TRACE(String(c.text).ToUtf8());
        (void)dialog.ShowOpenDialog(c.text, u"", u"", false);  // cancelled by the fake; the request is what counts
        ASSERT_EQ(LastRequest().filters.size(), c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(LastRequest().filters[i].description, c.expected[i].description);
            EXPECT_EQ(LastRequest().filters[i].patterns, c.expected[i].patterns);
        }
    }
}

TEST_F(FileDialogTest, OpenAndSaveAskWithTheirOwnOptionsEachTime)
{
    LFileDialog dialog(u"/home/u/Presets");
    Open(dialog, true);
    Request open = LastRequest();
    Open(dialog, false);
    Request second = LastRequest();
    Save(dialog);
    Request save = LastRequest();

    EXPECT_EQ(open.mode, Mode::Open);
    EXPECT_TRUE(open.multiple);
    EXPECT_FALSE(open.overwritePrompt);
    EXPECT_EQ(open.title, "Load preset");
    EXPECT_EQ(open.defaultExtension, "tps");
    EXPECT_EQ(open.startFolder, "/home/u/Presets");
    EXPECT_EQ(open.ownerWindow, 0x1c00007u);
    EXPECT_FALSE(second.multiple);

    EXPECT_EQ(save.mode, Mode::Save);
    EXPECT_FALSE(save.multiple);
    EXPECT_TRUE(save.overwritePrompt);
    EXPECT_EQ(save.proposedName, "Untitled");
    EXPECT_EQ(save.title, "Save preset");
}

TEST_F(FileDialogTest, AChosenFileGivesThePathAndTheNextStartingFolder)
{
    LFileDialog dialog(u"/home/u");
    fake.AnswerPaths({"/home/u/Presets/Piano split.tps"});
    ASSERT_EQ(Open(dialog), S_OK);
    EXPECT_EQ(dialog.GetFilePath(), u"/home/u/Presets/Piano split.tps");
    EXPECT_EQ(dialog.GetFolderPath(), u"/home/u/Presets");

    Save(dialog);
    EXPECT_EQ(LastRequest().startFolder, "/home/u/Presets");
}

TEST_F(FileDialogTest, SeveralChosenFilesAnswerTheFirstFullPath)
{
    LFileDialog dialog(u"/home/u");
    fake.AnswerPaths({"/data/a.tps", "/data/b.tps"});
    ASSERT_EQ(Open(dialog, true), S_OK);
    EXPECT_EQ(dialog.GetFilePath(), u"/data/a.tps");
    EXPECT_EQ(dialog.GetFolderPath(), u"/data");
}

TEST_F(FileDialogTest, CancelOrFailureAnswersFailAndKeepsTheFolder)
{
    RecordingSink sink;
    Platform::ScopedDebugOutputSink sinkScope(sink);
    LFileDialog dialog(u"/home/u");
    fake.AnswerPaths({"/data/a.tps"});
    Open(dialog);

    fake.AnswerCancel();
    EXPECT_EQ(Open(dialog), E_FAIL);
    EXPECT_EQ(dialog.GetFilePath(), u"");
    fake.AnswerCancel();
    EXPECT_EQ(Save(dialog), E_FAIL);
    EXPECT_EQ(dialog.GetFilePath(), u"Untitled");
    EXPECT_TRUE(sink.written.empty());

    fake.AnswerError("The file chooser zenity ended with code 5");
    EXPECT_EQ(Save(dialog), E_FAIL);
    EXPECT_EQ(dialog.GetFolderPath(), u"/data");
    EXPECT_NE(sink.written.find("ended with code 5"), std::string::npos);
}

TEST_F(FileDialogTest, SavingAppendsTheDefaultExtensionAndTheWindowsKeepPainting)
{
    TempFolder folder("file-dialog-test");
    LFileDialog dialog(String(folder.Path().c_str()));
    fake.AnswerPaths({folder / "Organ"});
    ASSERT_EQ(Save(dialog), S_OK);
    EXPECT_EQ(dialog.GetFilePath().ToUtf8(), folder / "Organ.tps");
    EXPECT_GE(host.passes, 1);
    EXPECT_TRUE(host.questions.empty());
}

TEST_F(FileDialogTest, AnExistingFileBehindTheAddedExtensionIsReplacedOnlyWhenTheHostSaysSo)
{
    TempFolder folder("file-dialog-test");
    TempFolder::WriteText(folder / "Organ.tps", "old");
    LFileDialog dialog(String(folder.Path().c_str()));
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "yes" : "no");
        host.questions.clear();
        host.replace = replace;
        fake.AnswerPaths({folder / "Organ"});
        EXPECT_EQ(Save(dialog), replace ? S_OK : E_FAIL);
        EXPECT_EQ(host.questions, std::vector<std::string>{"Save preset: " + folder / "Organ.tps"});
    }
    EXPECT_EQ(dialog.GetFilePath().ToUtf8(), folder / "Organ.tps");
}

}  // namespace
}  // namespace QV
