// The library's C interface, called as the framework's binding calls it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include "DynamicLibrary.h"
#include "IniFileManagerApi.h"
#include "TempFolder.h"

namespace {

class IniFileManagerLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mLibrary.IsLoaded()) << mLibrary.GetError();
        Bind(Open, "OpenIniFile");
        Bind(Write, "WriteIniFile");
        Bind(Close, "CloseIniFile");
        Bind(Exists, "DoesNodeExist");
        Bind(GetInt, "GetIniValueInt");
        Bind(SetInt, "SetIniValueInt");
        Bind(GetStr, "GetIniValueStr");
        Bind(SetStr, "SetIniValueStr");
        Bind(KeyCount, "GetKeyCount");
        Bind(KeyNameAt, "GetKeyNameAt");
        Bind(ArrayCount, "GetArrayCount");
        Bind(SetCount, "SetArrayCount");
        Bind(ItemAt, "GetArrayItemAt");
        Bind(SetItem, "SetArrayItemAt");
        Bind(RemoveItem, "RemoveArrayItemAt");
    }

    template <class F>
    void Bind(F& entry, const char* name)
    {
        entry = mLibrary.GetFunction<F>(name);
        ASSERT_NE(entry, nullptr) << name;
    }

    IniFileHandle OpenOrFail(const std::string& path)
    {
        IniFileHandle handle = 0;
        EXPECT_EQ(Open(path.c_str(), "1.0.0", "Tarsel Preset Editor", &handle), kIniOk);
        EXPECT_NE(handle, 0u);
        return handle;
    }

    std::string GetText(IniFileHandle handle, const char* key)
    {
        char buffer[256];
        int32_t needed = 0;
        EXPECT_EQ(GetStr(handle, key, "", buffer, sizeof buffer, &needed), kIniOk);
        return buffer;
    }

    Platform::DynamicLibrary mLibrary{Platform::ResolveLibraryPath("IniFileManager.dll")};
    TempFolder mFolder{"qv-ini"};
    OpenIniFileFn Open = nullptr;
    WriteIniFileFn Write = nullptr;
    CloseIniFileFn Close = nullptr;
    DoesNodeExistFn Exists = nullptr;
    GetIniValueIntFn GetInt = nullptr;
    SetIniValueIntFn SetInt = nullptr;
    GetIniValueStrFn GetStr = nullptr;
    SetIniValueStrFn SetStr = nullptr;
    GetKeyCountFn KeyCount = nullptr;
    GetKeyNameAtFn KeyNameAt = nullptr;
    GetArrayCountFn ArrayCount = nullptr;
    SetArrayCountFn SetCount = nullptr;
    GetArrayItemAtFn ItemAt = nullptr;
    SetArrayItemAtFn SetItem = nullptr;
    RemoveArrayItemAtFn RemoveItem = nullptr;
};

TEST_F(IniFileManagerLibraryTest, AbsentKeysAnswerTheirDefaults)
{
    const IniFileHandle handle = OpenOrFail(mFolder / "AppSettings.ini");
    int32_t value = 0;
    EXPECT_EQ(GetInt(handle, "CurrentSkinIndex", 7, &value), kIniOk);
    EXPECT_EQ(value, 7);
    char buffer[64] = "garbage";
    int32_t needed = 0;
    EXPECT_EQ(GetStr(handle, "LastFolderPath", "/default", buffer, sizeof buffer, &needed), kIniOk);
    EXPECT_STREQ(buffer, "/default");
    EXPECT_EQ(GetStr(handle, "LastFolderPath", nullptr, buffer, sizeof buffer, &needed), kIniOk);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(Close(handle, 0), kIniOk);
    // Nothing was written, so no file was made.
    EXPECT_EQ(mFolder.EntryCount(), 0u);
}

TEST_F(IniFileManagerLibraryTest, ShortBufferAnswersTheNeededSize)
{
    const IniFileHandle handle = OpenOrFail(mFolder / "UserSettings.ini");
    ASSERT_EQ(SetStr(handle, "Key", "0123456789"), kIniOk);
    ASSERT_EQ(SetItem(handle, "List", 0, "0123456789"), kIniOk);
    char small[10] = "x";
    int32_t needed = 0;
    EXPECT_EQ(GetStr(handle, "Key", "", small, sizeof small, &needed), kIniBufferTooSmall);
    EXPECT_EQ(needed, 11);
    EXPECT_STREQ(small, "");
    needed = 0;
    EXPECT_EQ(ItemAt(handle, "List", 0, small, sizeof small, &needed), kIniBufferTooSmall);
    EXPECT_EQ(needed, 11);
    needed = 0;
    EXPECT_EQ(KeyNameAt(handle, "", 0, small, 3, &needed), kIniBufferTooSmall);
    EXPECT_EQ(needed, 4);
    char exact[11];
    EXPECT_EQ(GetStr(handle, "Key", "", exact, sizeof exact, &needed), kIniOk);
    EXPECT_STREQ(exact, "0123456789");
    EXPECT_EQ(Close(handle, 0), kIniOk);
}

TEST_F(IniFileManagerLibraryTest, EverythingSurvivesWriteCloseAndReopen)
{
    const std::string path = mFolder / "UserSettings.ini";
    IniFileHandle handle = OpenOrFail(path);
    ASSERT_EQ(SetInt(handle, "CurrentSkinIndex", -3), kIniOk);
    ASSERT_EQ(SetStr(handle, "Paths/LastFolderPath", "/home/me/My Presets"), kIniOk);
    ASSERT_EQ(SetCount(handle, "Paths/Recent", 2), kIniOk);
    ASSERT_EQ(SetItem(handle, "Paths/Recent", 1, "b.tpr"), kIniOk);
    ASSERT_EQ(SetItem(handle, "Paths/Recent", 2, "c.tpr"), kIniOk);
    ASSERT_EQ(SetItem(handle, "Paths/Recent", 4, "gap"), kIniIndexOutOfRange);
    ASSERT_EQ(RemoveItem(handle, "Paths/Recent", 0), kIniOk);
    ASSERT_EQ(Close(handle, 1), kIniOk);

    handle = OpenOrFail(path);
    int32_t value = 0;
    EXPECT_EQ(GetInt(handle, "currentskinindex", 0, &value), kIniOk);
    EXPECT_EQ(value, -3);
    EXPECT_EQ(GetText(handle, "Paths\\LastFolderPath"), "/home/me/My Presets");
    int32_t count = 0;
    EXPECT_EQ(ArrayCount(handle, "Paths/Recent", &count), kIniOk);
    ASSERT_EQ(count, 2);
    char item[32];
    int32_t needed = 0;
    EXPECT_EQ(ItemAt(handle, "Paths/Recent", 1, item, sizeof item, &needed), kIniOk);
    EXPECT_STREQ(item, "c.tpr");
    EXPECT_EQ(ItemAt(handle, "Paths/Recent", 2, item, sizeof item, &needed), kIniIndexOutOfRange);
    EXPECT_EQ(KeyCount(handle, "Paths", &count), kIniOk);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(KeyNameAt(handle, "Paths", 0, item, sizeof item, &needed), kIniOk);
    EXPECT_STREQ(item, "LastFolderPath");
    EXPECT_EQ(Exists(handle, "Paths"), 1);
    EXPECT_EQ(Exists(handle, "Paths/Recent"), 1);
    EXPECT_EQ(Exists(handle, "Window"), 0);
    EXPECT_EQ(Close(handle, 0), kIniOk);
    EXPECT_NE(TempFolder::ReadText(path).find("; Tarsel Preset Editor settings, version 1.0.0\n"), std::string::npos);
}

TEST_F(IniFileManagerLibraryTest, LineBreaksInTheNameAndVersionTagStillReadBack)
{
    const std::string path = mFolder / "UserSettings.ini";
    IniFileHandle handle = 0;
    ASSERT_EQ(Open(path.c_str(), "1.0\r\n[broken", "Tarsel\nPreset Editor", &handle), kIniOk);
    ASSERT_EQ(SetStr(handle, "LastFolderPath", "/home/me"), kIniOk);
    ASSERT_EQ(Close(handle, 1), kIniOk);
    handle = OpenOrFail(path);
    EXPECT_EQ(GetText(handle, "LastFolderPath"), "/home/me");
    EXPECT_EQ(Close(handle, 0), kIniOk);
}

TEST_F(IniFileManagerLibraryTest, OpenRemovesTheStaleTemporariesOfItsFile)
{
    const std::string path = mFolder / "UserSettings.ini";
    // A writer that is gone: a child that has ended and been reaped.
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    const std::string stale = mFolder / (".UserSettings.ini.tmp-" + std::to_string(gone) + "-a1B2c3");
    const std::string otherFile = mFolder / (".AppSettings.ini.tmp-" + std::to_string(gone) + "-a1B2c3");
    TempFolder::WriteText(stale, "half");
    TempFolder::WriteText(otherFile, "half");

    IniFileHandle handle = OpenOrFail(path);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(otherFile));
    EXPECT_EQ(Close(handle, 0), kIniOk);
}

TEST_F(IniFileManagerLibraryTest, ChangesWithoutWriteAreNotKept)
{
    const std::string path = mFolder / "UserSettings.ini";
    IniFileHandle handle = OpenOrFail(path);
    ASSERT_EQ(SetInt(handle, "Kept", 1), kIniOk);
    ASSERT_EQ(Write(handle), kIniOk);
    ASSERT_EQ(SetInt(handle, "Dropped", 2), kIniOk);
    ASSERT_EQ(Close(handle, 0), kIniOk);
    handle = OpenOrFail(path);
    EXPECT_EQ(Exists(handle, "Kept"), 1);
    EXPECT_EQ(Exists(handle, "Dropped"), 0);
    EXPECT_EQ(Close(handle, 0), kIniOk);
}

TEST_F(IniFileManagerLibraryTest, UnreadableFileIsReportedAndLeftAlone)
{
    const std::string path = mFolder / "UserSettings.ini";
    const std::string garbage = "CurrentSkinIndex = 1\n\x01\x02 binary junk\n[broken\n";
    TempFolder::WriteText(path, garbage);
    IniFileHandle handle = 99;
    EXPECT_EQ(Open(path.c_str(), "1.0.0", "Tarsel Preset Editor", &handle), kIniParseError);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(TempFolder::ReadText(path), garbage);
    // A folder where the file should be cannot be read.
    EXPECT_EQ(Open(mFolder.Path().c_str(), "", "", &handle), kIniIoError);
}

constexpr size_t kLimit = 1024 * 1024;

// A settings file of exactly bytes bytes, in the form a save writes it back
// when opened without a name or version (no comment line).
std::string SettingsOfSize(size_t bytes) { return "Big = " + std::string(bytes - 7, 'x') + "\n"; }

TEST_F(IniFileManagerLibraryTest, OnlyARegularFileOfAtMostOneMebibyteIsRead)
{
    const std::string fifo = mFolder / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string linkedLarge = mFolder / "linked-large";
    TempFolder::WriteText(linkedLarge, SettingsOfSize(kLimit + 1));
    const std::string link = mFolder / "link.ini";
    std::filesystem::create_symlink(linkedLarge, link);
    struct Row {
        const char* what;
        std::string path;
        size_t bytes;  // 0: the path is made above
        int32_t result;
        const char* movedTo;  // the name of a file moved aside
    };
    const Row rows[] = {
        {"FIFO", fifo, 0, kIniIoError, nullptr},
        {"device", "/dev/zero", 0, kIniIoError, nullptr},
        // Only a regular file of ours is moved, never what a link points at.
        {"link to a file over the limit", link, 0, kIniIoError, nullptr},
        {"one byte under the limit", mFolder / "under.ini", kLimit - 1, kIniOk, nullptr},
        {"exactly the limit", mFolder / "limit.ini", kLimit, kIniOk, nullptr},
        {"one byte over the limit", mFolder / "over.ini", kLimit + 1, kIniOk, "over.ini.too-large"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.bytes) TempFolder::WriteText(row.path, SettingsOfSize(row.bytes));
        IniFileHandle handle = 99;
        testing::internal::CaptureStderr();
        auto opened = std::async(std::launch::async, [&] { return Open(row.path.c_str(), "", "", &handle); });
        if (opened.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
            ADD_FAILURE() << "the open hangs";
            // A writer releases a reader stuck on the FIFO.
            const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) ::close(writer);
        }
        EXPECT_EQ(opened.get(), row.result);
        const std::string said = testing::internal::GetCapturedStderr();
        if (row.result != kIniOk) {
            EXPECT_EQ(handle, 0u);
            EXPECT_NE(said.find("the defaults are used"), std::string::npos) << said;
            continue;
        }
        if (!row.movedTo) {
            int32_t needed = 0;
            EXPECT_EQ(GetStr(handle, "Big", "", nullptr, 0, &needed), kIniBufferTooSmall);
            EXPECT_EQ(needed, static_cast<int32_t>(row.bytes - 6));
            EXPECT_EQ(Close(handle, 0), kIniOk);
            EXPECT_EQ(said, "");
            continue;
        }
        const std::string aside = mFolder / row.movedTo;
        EXPECT_NE(said.find("moved aside to " + aside), std::string::npos) << said;
        EXPECT_EQ(TempFolder::ReadText(aside), SettingsOfSize(row.bytes));
        // It opens empty, and the next save starts a fresh, readable file.
        EXPECT_EQ(Exists(handle, "Big"), 0);
        ASSERT_EQ(SetInt(handle, "CurrentSkinIndex", 2), kIniOk);
        ASSERT_EQ(Close(handle, 1), kIniOk);
        EXPECT_LT(std::filesystem::file_size(row.path), 100u);
        handle = OpenOrFail(row.path);
        int32_t value = 0;
        EXPECT_EQ(GetInt(handle, "CurrentSkinIndex", 0, &value), kIniOk);
        EXPECT_EQ(value, 2);
        EXPECT_EQ(Close(handle, 0), kIniOk);
    }
    // Nothing was written over what was there.
    EXPECT_EQ(TempFolder::ReadText(linkedLarge), SettingsOfSize(kLimit + 1));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(IniFileManagerLibraryTest, AFileMovedAsideBeforeIsKept)
{
    const std::string path = mFolder / "UserSettings.ini";
    TempFolder::WriteText(path + ".too-large", "earlier");
    for (const char* name : {"UserSettings.ini.too-large-2", "UserSettings.ini.too-large-3"}) {
        SCOPED_TRACE(name);
        TempFolder::WriteText(path, SettingsOfSize(kLimit + 1));
        IniFileHandle handle = OpenOrFail(path);
        EXPECT_EQ(Close(handle, 0), kIniOk);
        EXPECT_EQ(std::filesystem::file_size(mFolder / name), kLimit + 1);
    }
    EXPECT_EQ(TempFolder::ReadText(path + ".too-large"), "earlier");
}

TEST_F(IniFileManagerLibraryTest, ASaveThatWouldPassTheLimitLeavesTheFileAsItWas)
{
    const std::string path = mFolder / "UserSettings.ini";
    // "K = <value>\n" takes 5 bytes more than the value.
    const std::string before = SettingsOfSize(kLimit - 20);
    struct Row {
        const char* what;
        size_t valueLength;
        bool onClose;
        int32_t result;
    };
    const Row rows[] = {
        {"a save that reaches the limit", 15, false, kIniOk},
        {"a save one byte past the limit", 16, false, kIniTooLarge},
        // The window's place saved as the editor closes.
        {"a save on close past the limit", 176, true, kIniTooLarge},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder::WriteText(path, before);
        IniFileHandle handle = 0;
        ASSERT_EQ(Open(path.c_str(), "", "", &handle), kIniOk);
        ASSERT_EQ(SetStr(handle, "K", std::string(row.valueLength, 'v').c_str()), kIniOk);
        testing::internal::CaptureStderr();
        EXPECT_EQ(row.onClose ? Close(handle, 1) : Write(handle), row.result);
        const std::string said = testing::internal::GetCapturedStderr();
        if (row.result == kIniOk) {
            EXPECT_EQ(std::filesystem::file_size(path), kLimit);
            if (!row.onClose) {
                EXPECT_EQ(Close(handle, 0), kIniOk);
            }
            handle = OpenOrFail(path);
            EXPECT_EQ(GetText(handle, "K"), std::string(row.valueLength, 'v'));
            EXPECT_EQ(Close(handle, 0), kIniOk);
            continue;
        }
        EXPECT_NE(said.find(path + " is not saved"), std::string::npos) << said;
        EXPECT_EQ(TempFolder::ReadText(path), before);
        // The change that never fits is dropped, so a smaller one is still saved.
        EXPECT_EQ(Exists(handle, "K"), 0);
        ASSERT_EQ(SetStr(handle, "K", "v"), kIniOk);
        EXPECT_EQ(Close(handle, 1), kIniOk);
        handle = OpenOrFail(path);
        EXPECT_EQ(GetText(handle, "K"), "v");
        EXPECT_EQ(Close(handle, 0), kIniOk);
    }
}

TEST_F(IniFileManagerLibraryTest, BadArgumentsFailWithoutTouchingState)
{
    IniFileHandle handle = 0;
    EXPECT_EQ(Open(nullptr, "", "", &handle), kIniFailed);
    EXPECT_EQ(Open("", "", "", &handle), kIniFailed);
    int32_t value = 5;
    EXPECT_EQ(GetInt(12345, "Key", 9, &value), kIniBadHandle);
    EXPECT_EQ(value, 9);
    EXPECT_EQ(Write(12345), kIniBadHandle);
    EXPECT_EQ(Close(12345, 1), kIniBadHandle);
    EXPECT_EQ(Exists(12345, ""), 0);

    handle = OpenOrFail(mFolder / "UserSettings.ini");
    EXPECT_EQ(SetStr(handle, "Bad=Name", "x"), kIniInvalidName);
    EXPECT_EQ(SetItem(handle, "Bad]Name", 0, "x"), kIniInvalidName);
    EXPECT_EQ(SetStr(handle, "Number", "12abc"), kIniOk);
    EXPECT_EQ(GetInt(handle, "Number", 4, &value), kIniNotANumber);
    EXPECT_EQ(value, 4);
    EXPECT_EQ(SetStr(handle, "Number", "4294967296"), kIniOk);
    EXPECT_EQ(GetInt(handle, "Number", 4, &value), kIniNotANumber);
    EXPECT_EQ(Close(handle, 0), kIniOk);
    EXPECT_EQ(Close(handle, 0), kIniBadHandle);
}

}  // namespace
