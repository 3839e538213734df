#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "DynamicLibrary.h"
#include "LIniFileManager.h"
#include "RCPtr.h"
#include "TempFolder.h"

namespace {

using QV::E_FAIL;
using QV::IniFileHandle;
using QV::LIniFileManager;
using QV::RCPtr;
using QV::String;

std::string Utf8(const String& text) { return QV::NarrowString(text).GetChars(); }
String Wide(const std::string& text) { return String(text.c_str()); }

std::string FakeFolder(const char* name) { return Platform::GetExecutableFolder() + "/" + name; }

// Reaches the control entries of a fake library that the manager loads too.
class FakeControls {
public:
    explicit FakeControls(const char* folder) : mLibrary(FakeFolder(folder) + "/IniFileManager.so") {}

    // Calls a control entry; a missing one fails the test loudly.
    template <class F, class... Args>
    auto Call(const char* name, Args... args) const
    {
        const F f = mLibrary.GetFunction<F>(name);
        if (!f) throw std::runtime_error(std::string("fake library lacks ") + name);
        return f(args...);
    }


    bool IsLoaded() const { return mLibrary.IsLoaded(); }
    void Reset() const { Call<void (*)()>("FakeIni_Reset"); }
    int32_t Calls(const char* entry = nullptr) const { return Call<int32_t (*)(const char*)>("FakeIni_CallCount", entry); }
    void SetText(const std::string& text) const { Call<void (*)(const char*)>("FakeIni_SetText", text.c_str()); }
    void SetResult(int32_t r) const { Call<void (*)(int32_t)>("FakeIni_SetResult", r); }
    void SetRetryResult(int32_t r) const { Call<void (*)(int32_t)>("FakeIni_SetRetryResult", r); }
    std::string LastArgument() const { return Call<const char* (*)()>("FakeIni_LastArgument"); }
    int32_t BufferSize(int32_t call) const { return Call<int32_t (*)(int32_t)>("FakeIni_BufferSize", call); }

private:
    Platform::DynamicLibrary mLibrary;
};

// Every operation on a manager that cannot call its library.
void ExpectEveryCallFailsWithResetOuts(LIniFileManager& manager)
{
    IniFileHandle handle = 5;
    EXPECT_EQ(manager.OpenIniFile(String(u"/x.ini"), String(u"1"), String(u"app"), handle), E_FAIL);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(manager.WriteIniFile(1), E_FAIL);
    EXPECT_FALSE(manager.DoesNodeExist(1, String(u"Node")));
    EXPECT_EQ(manager.CloseIniFile(1, 0), E_FAIL);
    int32_t value = 0;
    EXPECT_EQ(manager.GetIniValueInt(1, String(u"CurrentSkinIndex"), 42, value), E_FAIL);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(manager.SetIniValueInt(1, String(u"k"), 1), E_FAIL);
    String text(u"stale");
    EXPECT_EQ(manager.GetIniValueStr(1, String(u"LastFolderPath"), String(u"/default"), text), E_FAIL);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(manager.SetIniValueStr(1, String(u"k"), String(u"v")), E_FAIL);
    int32_t count = 9;
    EXPECT_EQ(manager.GetKeyCount(1, String(u"n"), count), E_FAIL);
    EXPECT_EQ(count, 0);
    text = String(u"stale");
    EXPECT_EQ(manager.GetKeyNameAt(1, String(u"n"), 0, text), E_FAIL);
    EXPECT_TRUE(text.IsEmpty());
    count = 9;
    EXPECT_EQ(manager.GetArrayCount(1, String(u"a"), count), E_FAIL);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(manager.SetArrayCount(1, String(u"a"), 2), E_FAIL);
    text = String(u"stale");
    EXPECT_EQ(manager.GetArrayItemAt(1, String(u"a"), 0, text), E_FAIL);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(manager.SetArrayItemAt(1, String(u"a"), 0, String(u"v")), E_FAIL);
    EXPECT_EQ(manager.RemoveArrayItemAt(1, String(u"a"), 0), E_FAIL);
}

TEST(IniFileManagerTest, IsACountedObjectWithItsName)
{
    RCPtr<LIniFileManager> manager(new LIniFileManager());
    EXPECT_EQ(manager->GetRefCount(), 1);
    EXPECT_STREQ(manager->GetTypeName(), "class QV::LIniFileManager");
}

TEST(IniFileManagerTest, UnloadedManagerCallsNothing)
{
    LIniFileManager manager;
    EXPECT_EQ(manager.Terminate(), 1);
    ExpectEveryCallFailsWithResetOuts(manager);
    EXPECT_EQ(manager.Initialize(Wide(FakeFolder("no-such-folder"))), E_FAIL);
    ExpectEveryCallFailsWithResetOuts(manager);
}

class FakeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mFake.IsLoaded());
        mFake.Reset();
        ASSERT_EQ(mManager.Initialize(Wide(FakeFolder("fake-ini"))), QV::S_OK);
    }

    FakeControls mFake{"fake-ini"};
    LIniFileManager mManager;
};

TEST_F(FakeLibraryTest, SecondInitializeAnswersOneAndTerminateUnloads)
{
    EXPECT_EQ(mManager.Initialize(Wide(FakeFolder("fake-ini"))), 1);
    EXPECT_EQ(mManager.Initialize(Wide(FakeFolder("no-such-folder"))), 1);
    EXPECT_EQ(mManager.Terminate(), QV::S_OK);
    EXPECT_EQ(mManager.Terminate(), 1);
    ExpectEveryCallFailsWithResetOuts(mManager);
    EXPECT_EQ(mFake.Calls(), 0);
}

TEST_F(FakeLibraryTest, FolderSeparatorIsAddedOnlyWhenMissing)
{
    for (const std::string& folder : {FakeFolder("fake-ini") + "/", FakeFolder("fake-ini") + "\\"}) {
        LIniFileManager manager;
        EXPECT_EQ(manager.Initialize(Wide(folder)), QV::S_OK) << folder;
    }
}

TEST_F(FakeLibraryTest, ArgumentsGoOutAsUtf8AndResultsComeBackUnchanged)
{
    IniFileHandle handle = 0;
    EXPECT_EQ(mManager.OpenIniFile(String(u"/home/j\u00fcrgen/AppSettings.ini"), String(u"1.0.0"),
                                   String(u"Tarsel Preset Editor"), handle),
              QV::S_OK);
    EXPECT_EQ(handle, 77u);
    EXPECT_EQ(mFake.LastArgument(), "/home/j\xC3\xBCrgen/AppSettings.ini|1.0.0|Tarsel Preset Editor");
    EXPECT_TRUE(mManager.DoesNodeExist(handle, String(u"\u65e5\u672c")));
    EXPECT_EQ(mFake.LastArgument(), "\xE6\x97\xA5\xE6\x9C\xAC");

    mFake.SetResult(-9);
    EXPECT_EQ(mManager.WriteIniFile(handle), -9);
    EXPECT_EQ(mManager.CloseIniFile(handle, 1), -9);
    EXPECT_EQ(mManager.SetIniValueInt(handle, String(u"k"), 1), -9);
    EXPECT_EQ(mManager.SetIniValueStr(handle, String(u"k"), String(u"v")), -9);
    EXPECT_EQ(mManager.SetArrayCount(handle, String(u"a"), 1), -9);
    EXPECT_EQ(mManager.SetArrayItemAt(handle, String(u"a"), 0, String(u"v")), -9);
    EXPECT_EQ(mManager.RemoveArrayItemAt(handle, String(u"a"), 0), -9);
    int32_t count = 0;
    EXPECT_EQ(mManager.GetKeyCount(handle, String(u"n"), count), -9);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(mManager.GetArrayCount(handle, String(u"a"), count), -9);
    EXPECT_EQ(count, 2);
}

TEST_F(FakeLibraryTest, IntegerOutStartsAsTheDefault)
{
    mFake.SetResult(-1);
    int32_t value = 0;
    EXPECT_EQ(mManager.GetIniValueInt(77, String(u"CurrentSkinIndex"), 3, value), -1);
    EXPECT_EQ(value, 3);
}

// The three text getters share one buffer rule.
using TextGetter = QV::QVResult (*)(LIniFileManager&, String&);
const TextGetter kTextGetters[] = {
    [](LIniFileManager& m, String& out) { return m.GetIniValueStr(77, String(u"k"), String(), out); },
    [](LIniFileManager& m, String& out) { return m.GetKeyNameAt(77, String(u"n"), 0, out); },
    [](LIniFileManager& m, String& out) { return m.GetArrayItemAt(77, String(u"a"), 0, out); },
};

TEST_F(FakeLibraryTest, LongTextsComeBackWholeAfterOneRetry)
{
    struct Case {
        std::string text;
        int32_t secondBuffer;  // -1: no second call
    };
    std::string multiByte;
    for (int i = 0; i < 700; ++i) multiByte += "\xC3\xA9";  // 1400 bytes across the 1024 mark
    const Case cases[] = {
        {"", -1},
        {std::string(1023, 'a'), -1},
        {std::string(1024, 'b'), 1025},
        {std::string(2000, 'c'), 2001},
        {multiByte, 1401},
    };
    for (const TextGetter get : kTextGetters) {
        for (const auto& c : cases) {
            mFake.Reset();
            mFake.SetText(c.text);
            String out(u"stale");
            EXPECT_EQ(get(mManager, out), QV::S_OK);
            EXPECT_EQ(Utf8(out), c.text);
            EXPECT_EQ(mFake.BufferSize(0), 1024);
            EXPECT_EQ(mFake.BufferSize(1), c.secondBuffer);
        }
    }
}

TEST_F(FakeLibraryTest, RetryResultIsPassedOnWithItsText)
{
    for (const TextGetter get : kTextGetters) {
        mFake.Reset();
        mFake.SetText(std::string(1500, 'x'));
        mFake.SetRetryResult(4);
        String out;
        EXPECT_EQ(get(mManager, out), 4);
        EXPECT_EQ(out.GetLength(), 1500);
    }
}

TEST(IniFileManagerPartialTest, MissingEntriesAreNeverCalled)
{
    FakeControls partial("partial-ini");
    ASSERT_TRUE(partial.IsLoaded());
    partial.Reset();
    LIniFileManager manager;
    EXPECT_EQ(manager.Initialize(Wide(FakeFolder("partial-ini"))), E_FAIL);
    // The library stays loaded, but nothing of it is used.
    EXPECT_EQ(manager.Initialize(Wide(FakeFolder("partial-ini"))), 1);
    ExpectEveryCallFailsWithResetOuts(manager);
    EXPECT_EQ(partial.Calls(), 0);
    EXPECT_EQ(manager.Terminate(), QV::S_OK);
}

class RealLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(mManager.Initialize(String()), QV::S_OK); }

    IniFileHandle OpenOrFail(LIniFileManager& manager)
    {
        IniFileHandle handle = 0;
        EXPECT_EQ(manager.OpenIniFile(Wide(mPath), String(u"1.0.0"), String(u"Tarsel Preset Editor"), handle),
                  QV::S_OK);
        EXPECT_NE(handle, 0u);
        return handle;
    }

    TempFolder mFolder{"qv-storage"};
    std::string mPath = mFolder / "UserSettings.ini";
    LIniFileManager mManager;
};

TEST_F(RealLibraryTest, AbsentKeysGiveTheDefaults)
{
    const IniFileHandle handle = OpenOrFail(mManager);
    int32_t value = 0;
    EXPECT_EQ(mManager.GetIniValueInt(handle, String(u"CurrentSkinIndex"), 2, value), QV::S_OK);
    EXPECT_EQ(value, 2);
    String text;
    EXPECT_EQ(mManager.GetIniValueStr(handle, String(u"LastFolderPath"), String(u"/home/me/Documents"), text),
              QV::S_OK);
    EXPECT_EQ(Utf8(text), "/home/me/Documents");
    EXPECT_FALSE(mManager.DoesNodeExist(handle, String(u"LastFolderPath")));
    EXPECT_EQ(mManager.CloseIniFile(handle, 0), QV::S_OK);
}

TEST_F(RealLibraryTest, EverythingSurvivesWriteCloseAndReopen)
{
    std::u16string longText;
    for (int i = 0; i < 900; ++i) longText += u"\u00e9\u65e5";  // 4500 bytes in UTF-8
    {
        const IniFileHandle handle = OpenOrFail(mManager);
        EXPECT_EQ(mManager.SetIniValueInt(handle, String(u"CurrentSkinIndex"), 4), QV::S_OK);
        EXPECT_EQ(mManager.SetIniValueStr(handle, String(u"LastFolderPath"), String(u"/home/j\u00fcrgen/Presets")),
                  QV::S_OK);
        EXPECT_EQ(mManager.SetIniValueStr(handle, String(u"Texts/Long"), String(longText.c_str())), QV::S_OK);
        EXPECT_EQ(mManager.SetIniValueStr(handle, String(u"Texts/Short"), String(u"x")), QV::S_OK);
        EXPECT_EQ(mManager.SetArrayCount(handle, String(u"Texts/Recent"), 2), QV::S_OK);
        EXPECT_EQ(mManager.SetArrayItemAt(handle, String(u"Texts/Recent"), 0, String(u"a.tpr")), QV::S_OK);
        EXPECT_EQ(mManager.SetArrayItemAt(handle, String(u"Texts/Recent"), 1, String(longText.c_str())), QV::S_OK);
        EXPECT_EQ(mManager.SetArrayItemAt(handle, String(u"Texts/Recent"), 2, String(u"c.tpr")), QV::S_OK);
        EXPECT_EQ(mManager.RemoveArrayItemAt(handle, String(u"Texts/Recent"), 0), QV::S_OK);
        EXPECT_EQ(mManager.WriteIniFile(handle), QV::S_OK);
        EXPECT_EQ(mManager.CloseIniFile(handle, 0), QV::S_OK);
        EXPECT_EQ(mManager.Terminate(), QV::S_OK);
    }

    LIniFileManager again;
    ASSERT_EQ(again.Initialize(Wide(Platform::GetExecutableFolder())), QV::S_OK);
    const IniFileHandle handle = OpenOrFail(again);
    int32_t value = 0;
    EXPECT_EQ(again.GetIniValueInt(handle, String(u"CurrentSkinIndex"), 0, value), QV::S_OK);
    EXPECT_EQ(value, 4);
    String text;
    EXPECT_EQ(again.GetIniValueStr(handle, String(u"LastFolderPath"), String(), text), QV::S_OK);
    EXPECT_EQ(Utf8(text), "/home/j\xC3\xBCrgen/Presets");
    EXPECT_EQ(again.GetIniValueStr(handle, String(u"Texts\\Long"), String(), text), QV::S_OK);
    EXPECT_TRUE(text == String(longText.c_str()));

    int32_t count = 0;
    EXPECT_EQ(again.GetKeyCount(handle, String(u"Texts"), count), QV::S_OK);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(again.GetKeyNameAt(handle, String(u"Texts"), 0, text), QV::S_OK);
    EXPECT_EQ(Utf8(text), "Long");
    EXPECT_EQ(again.GetKeyNameAt(handle, String(u"Texts"), 1, text), QV::S_OK);
    EXPECT_EQ(Utf8(text), "Short");
    EXPECT_EQ(again.GetKeyCount(handle, String(), count), QV::S_OK);
    EXPECT_EQ(count, 2);

    EXPECT_EQ(again.GetArrayCount(handle, String(u"Texts/Recent"), count), QV::S_OK);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(again.GetArrayItemAt(handle, String(u"Texts/Recent"), 0, text), QV::S_OK);
    EXPECT_TRUE(text == String(longText.c_str()));
    EXPECT_EQ(again.GetArrayItemAt(handle, String(u"Texts/Recent"), 1, text), QV::S_OK);
    EXPECT_EQ(Utf8(text), "c.tpr");
    EXPECT_TRUE(again.DoesNodeExist(handle, String(u"Texts")));
    EXPECT_EQ(again.CloseIniFile(handle, 0), QV::S_OK);
}

TEST_F(RealLibraryTest, UnparsableFileIsRefusedAndLeftAlone)
{
    const std::string garbage = "[Paths\nLastFolderPath = /x\n";
    TempFolder::WriteText(mPath, garbage);
    IniFileHandle handle = 1;
    EXPECT_LT(mManager.OpenIniFile(Wide(mPath), String(u"1.0.0"), String(u"Tarsel Preset Editor"), handle), 0);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(TempFolder::ReadText(mPath), garbage);
}

}  // namespace
