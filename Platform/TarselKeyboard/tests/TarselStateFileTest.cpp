#include "TarselStateFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "Eventually.h"
#include "TarselStateText.h"
#include "TempFolder.h"

namespace Platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

TarselBlobs Defaults()
{
    return TarselKeyboard().GetAllBlobs();
}

// The defaults' text with one line replaced.
std::string WithLine(int index, const std::string& line)
{
    std::string text = FormatTarselState(Defaults());
    const std::string prefix = "\n" + std::to_string(index) + ":";
    const auto at = text.find(prefix) + 1;
    return text.replace(at, text.find('\n', at) - at, line);
}

TEST(TarselStateTextTest, FormatsOneHexLinePerParameterAndReadsItBack)
{
    TarselBlobs blobs = Defaults();
    blobs[2] = {1, 16, 10, 80, 12, 24};
    const std::string text = FormatTarselState(blobs);
    EXPECT_NE(text.find("\n0: 01\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n2: 01 10 0A 50 0C 18\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n14: 00 06 00 7F 00 00 7F 00 00 43 00 7F 00\n"), std::string::npos) << text;
    const TarselStateParse parsed = ParseTarselState(text);
    ASSERT_TRUE(parsed.blobs) << parsed.error;
    EXPECT_EQ(*parsed.blobs, blobs);
}

TEST(TarselStateTextTest, AcceptsHandWrittenText)
{
    std::string text = "\r\n  # any order, lower case, CR LF\r\n";
    const TarselBlobs defaults = Defaults();
    for (int i = kTarselParameterCount - 1; i >= 0; --i) {
        text += " " + std::to_string(i) + " :";
        for (const std::uint8_t b : defaults[i]) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "  %02x", b);
            text += hex;
        }
        text += " \r\n";
    }
    const TarselStateParse parsed = ParseTarselState(text);
    ASSERT_TRUE(parsed.blobs) << parsed.error;
    EXPECT_EQ(*parsed.blobs, defaults);
}

TEST(TarselStateTextTest, RefusesMalformedTextSayingWhere)
{
    const std::string full = FormatTarselState(Defaults());
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {WithLine(3, ""), "parameter 3 is missing"},
        {full + "3: 00 01 00 57 06 0C\n", "line 17: parameter 3 appears twice"},
        {WithLine(2, "2: 00 00 00 57 06"), "line 4: parameter 2 needs 6 bytes, found 5"},
        {WithLine(0, "0: 00"), "line 2: byte 0 of parameter 0 is 00, outside 01-10"},
        {WithLine(10, "10: 08"), "byte 0 of parameter 10 is 08, outside 00-07"},
        {WithLine(0, "0: 1G"), "line 2: expected \"index: hex bytes\""},
        {WithLine(0, "0: 001"), "line 2: expected"},
        {WithLine(0, "0 01"), "line 2: expected"},
        {WithLine(0, "x: 01"), "line 2: expected"},
        {WithLine(0, "-1: 01"), "line 2: expected"},
        {full + "15: 00\n", "line 17: no parameter 15 (0-14)"},
        {"", "parameter 0 is missing"},
        {full.substr(0, full.find("\n8:") + 1), "parameter 8 is missing"},
        {WithLine(0, "0: 1"), "line 2: expected"},
        {WithLine(2, "2: 01 10 A 50 0C 18"), "line 4: expected"},
        {full.substr(0, full.size() - 1), "the last line does not end in a newline"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        const TarselStateParse parsed = ParseTarselState(c.text);
        EXPECT_FALSE(parsed.blobs);
        EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
    }
}

TEST(TarselStateTextTest, AFileCutShortAnywhereIsRefused)
{
    TarselBlobs blobs = Defaults();
    // Cut after "0", the last byte would still be in its range.
    blobs[14].back() = 0x01;
    const std::string full = FormatTarselState(blobs);
    ASSERT_TRUE(ParseTarselState(full).blobs);
    for (size_t size = 1; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_FALSE(ParseTarselState(full.substr(0, size)).blobs);
    }
}

// A keyboard bound to a file in a fresh folder; the file is looked at only
// when the test calls Poll.
class TarselStateFileTest : public ::testing::Test {
protected:
    TarselStateFileTest()
    {
        mToken = keyboard.AddChangeListener([this](const std::vector<int>& changed, TarselChangeSource source) {
            std::lock_guard lock(mMutex);
            changes.push_back({changed, source});
        });
    }
    ~TarselStateFileTest() override { keyboard.RemoveChangeListener(mToken); }

    void Bind()
    {
        file = std::make_unique<TarselStateFile>(keyboard, path, std::chrono::milliseconds(0),
                                                 [this](const std::string& m) { errors.push_back(m); });
    }
    std::string Text() const { return TempFolder::ReadText(path); }
    // External rewrites keep their own formatting, as a test's would.
    void Rewrite(const std::string& text) const { TempFolder::WriteText(path, text); }

    struct Change {
        std::vector<int> changed;
        TarselChangeSource source;
        bool operator==(const Change&) const = default;
    };

    TempFolder folder{"TarselStateFileTest"};
    const std::string path = folder / "keyboard.txt";
    TarselKeyboard keyboard;
    std::vector<std::string> errors;
    std::mutex mMutex;
    std::vector<Change> changes;
    std::unique_ptr<TarselStateFile> file;

private:
    int mToken = 0;
};

TEST_F(TarselStateFileTest, MissingFileIsWrittenWithTheDefaults)
{
    Bind();
    EXPECT_EQ(Text(), FormatTarselState(Defaults()));
    EXPECT_EQ(folder.EntryCount(), 1u);  // no temporary file left
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(changes.empty());
}

TEST_F(TarselStateFileTest, ExistingFileIsLoadedAndLeftAsWritten)
{
    const std::string text = WithLine(5, "5: 01 03 10 20 07 0d");
    Rewrite(text);
    Bind();
    EXPECT_EQ(keyboard.GetBlob(5), (Bytes{1, 3, 16, 32, 7, 13}));
    EXPECT_EQ(keyboard.GetBlob(4), TarselKeyboard::DefaultBlob(4));
    EXPECT_EQ(Text(), text);
    EXPECT_TRUE(errors.empty());
}

TEST_F(TarselStateFileTest, MalformedFileKeepsDefaultsAndIsNeverOverwritten)
{
    const std::string broken = WithLine(1, "1: 03 02");
    Rewrite(broken);
    Bind();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(path), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("parameter 1 needs 3 bytes, found 2"), std::string::npos) << errors[0];
    EXPECT_EQ(keyboard.GetAllBlobs(), Defaults());

    ASSERT_EQ(keyboard.SetBlob(0, {7}), TarselResult::Ok);
    file->Poll();
    EXPECT_EQ(Text(), broken);
    EXPECT_EQ(errors.size(), 1u) << "the same broken text is reported once";

    // Repaired by its owner: read again, and written from then on.
    Rewrite(WithLine(0, "0: 07"));
    file->Poll();
    ASSERT_EQ(keyboard.SetBlob(0, {8}), TarselResult::Ok);
    EXPECT_EQ(Text(), WithLine(0, "0: 08"));
}

TEST_F(TarselStateFileTest, UnreadableFileIsLeftAlone)
{
    std::filesystem::create_directory(path);
    Bind();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("left as it is"), std::string::npos) << errors[0];
    ASSERT_EQ(keyboard.SetBlob(0, {7}), TarselResult::Ok);
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST_F(TarselStateFileTest, EveryHostChangeIsWritten)
{
    Bind();
    ASSERT_EQ(keyboard.SetBlob(7, {16, 1, 100}), TarselResult::Ok);
    EXPECT_EQ(Text(), WithLine(7, "7: 10 01 64"));

    Bytes dump = keyboard.BuildPresetDump();
    dump[7] = kTarselCommandDumpToKeyboard;
    dump[kTarselPresetDumpDataOffset] = 12;  // parameter 0
    ASSERT_EQ(keyboard.ApplyPresetDump(dump.data(), dump.size()), TarselResult::Ok);
    const auto written = ParseTarselState(Text());
    ASSERT_TRUE(written.blobs) << written.error;
    EXPECT_EQ(*written.blobs, keyboard.GetAllBlobs());
    EXPECT_EQ((*written.blobs)[0], Bytes{12});

    keyboard.Reset();
    EXPECT_EQ(Text(), FormatTarselState(Defaults()));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST_F(TarselStateFileTest, RewriteByAnotherProcessIsAKeyboardChangeOfWhatItEdited)
{
    Bind();
    Rewrite(WithLine(9, "9: 11 01 0B 00 7F"));
    file->Poll();
    EXPECT_EQ(keyboard.GetBlob(9), (Bytes{17, 1, 11, 0, 127}));
    const std::vector<Change> expected{{{9}, TarselChangeSource::Keyboard}};
    EXPECT_EQ(changes, expected);
    EXPECT_TRUE(errors.empty());

    // The same values again, formatted otherwise: nothing to report.
    Rewrite(WithLine(9, "9:11  01 0b 00\t7f"));
    file->Poll();
    EXPECT_EQ(changes, expected);
}

// Another process's edit that lands before a write of ours: the write swaps
// it out, the next poll applies it, and the file then holds both.
TEST_F(TarselStateFileTest, AnEditLandingBeforeAWriteIsAppliedAtTheNextPoll)
{
    Bind();
    TarselBlobs theirs = Defaults();
    theirs[9] = {17, 1, 11, 0, 127};
    theirs[10] = {5};
    Rewrite(FormatTarselState(theirs));
    ASSERT_EQ(keyboard.SetBlob(0, {7}), TarselResult::Ok);
    // The editor changes one of the edited values again: its change is newer.
    ASSERT_EQ(keyboard.SetBlob(10, {3}), TarselResult::Ok);
    file->Poll();

    TarselBlobs both = theirs;
    both[0] = {7};
    both[10] = {3};
    EXPECT_EQ(keyboard.GetAllBlobs(), both);
    EXPECT_EQ(Text(), FormatTarselState(both));
    const std::vector<Change> expected{{{0}, TarselChangeSource::Host},
                                       {{10}, TarselChangeSource::Host},
                                       {{9}, TarselChangeSource::Keyboard}};
    EXPECT_EQ(changes, expected);
    file->Poll();
    EXPECT_EQ(changes, expected) << "each edit is reported once";
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(folder.EntryCount(), 1u);
}

// The window a poll leaves between reading an edit and writing it back.
TEST_F(TarselStateFileTest, AnEditLandingBetweenAPollAndItsWriteBackIsNotLost)
{
    TarselBlobs second = Defaults();
    second[0] = {10};
    second[10] = {5};
    bool rewritten = false;
    // Registered before the file's own listener, so it runs first.
    const int token = keyboard.AddChangeListener([&](const std::vector<int>&, TarselChangeSource) {
        if (!std::exchange(rewritten, true)) Rewrite(FormatTarselState(second));
    });
    Bind();
    Rewrite(WithLine(0, "0: 0A"));
    file->Poll();
    file->Poll();
    keyboard.RemoveChangeListener(token);

    EXPECT_EQ(keyboard.GetAllBlobs(), second);
    EXPECT_EQ(Text(), FormatTarselState(second));
    EXPECT_EQ(changes, (std::vector<Change>{{{0}, TarselChangeSource::Keyboard}, {{10}, TarselChangeSource::Keyboard}}));
}

TEST_F(TarselStateFileTest, AMalformedEditAWriteReplacedIsPutBackAndRefused)
{
    Bind();
    const std::string broken = WithLine(1, "1: 03 02");
    Rewrite(broken);
    ASSERT_EQ(keyboard.SetBlob(0, {7}), TarselResult::Ok);
    EXPECT_EQ(Text(), broken);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("parameter 1 needs 3 bytes, found 2"), std::string::npos) << errors[0];
    file->Poll();
    EXPECT_EQ(errors.size(), 1u) << "reported once";
    EXPECT_EQ(keyboard.GetBlob(1), TarselKeyboard::DefaultBlob(1));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST_F(TarselStateFileTest, RefusedRewriteChangesNothingUntilRepaired)
{
    Bind();
    const TarselBlobs before = keyboard.GetAllBlobs();
    Rewrite(WithLine(4, "4: 00 03 00 58 06 0C"));  // end note 88
    file->Poll();
    EXPECT_EQ(keyboard.GetAllBlobs(), before);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("byte 3 of parameter 4 is 58, outside 00-57"), std::string::npos) << errors[0];
    EXPECT_TRUE(changes.empty());
}

TEST_F(TarselStateFileTest, ATornFileIsNoChangeAndTheWholeOneIs)
{
    Bind();
    const TarselBlobs before = keyboard.GetAllBlobs();
    const std::string whole = WithLine(14, "14: 00 06 00 7F 00 00 7F 00 00 43 00 7F 01");
    Rewrite(whole.substr(0, whole.size() - 2));
    file->Poll();
    EXPECT_EQ(keyboard.GetAllBlobs(), before);
    EXPECT_TRUE(changes.empty());
    ASSERT_EQ(errors.size(), 1u);

    // The writer finishes: now it is a change.
    Rewrite(whole);
    file->Poll();
    EXPECT_EQ(keyboard.GetBlob(14).back(), 1);
    EXPECT_EQ(changes, (std::vector<Change>{{{14}, TarselChangeSource::Keyboard}}));
}

TEST_F(TarselStateFileTest, AFifoOrDeviceIsRefusedWithoutWaiting)
{
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    Bind();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("not a regular file"), std::string::npos) << errors[0];
    EXPECT_EQ(keyboard.GetAllBlobs(), Defaults());
}

TEST_F(TarselStateFileTest, PollThreadAppliesRewritesAndStopsWhenEnded)
{
    TarselStateFile polled(keyboard, path, std::chrono::milliseconds(5));
    Rewrite(WithLine(10, "10: 03"));
    EXPECT_EVENTUALLY(keyboard.GetBlob(10) == Bytes{3});
}

TEST(TarselStateFileEnvironmentTest, BindsOnlyWhenTheVariableNamesAFile)
{
    TempFolder folder("TarselStateFileEnvironmentTest");
    TarselKeyboard keyboard;
    ::unsetenv(kTarselStateVariable);
    EXPECT_EQ(TarselStateFile::FromEnvironment(keyboard), nullptr);
    ::setenv(kTarselStateVariable, "", 1);
    EXPECT_EQ(TarselStateFile::FromEnvironment(keyboard), nullptr);
    ::setenv(kTarselStateVariable, (folder / "state.txt").c_str(), 1);
    EXPECT_NE(TarselStateFile::FromEnvironment(keyboard), nullptr);
    ::unsetenv(kTarselStateVariable);
    EXPECT_TRUE(std::filesystem::exists(folder / "state.txt"));
}

}  // namespace
}  // namespace Platform
