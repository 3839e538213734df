#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <string>
#include <vector>

#include "Array.h"
#include "QVFolders.h"
#include "TempFolder.h"

namespace {

using QV::String;

std::string Utf8(const String& text) { return QV::NarrowString(text).GetChars(); }
String Wide(const std::string& text) { return String(text.c_str()); }

std::vector<std::string> Utf8(const QV::Array<String>& paths)
{
    std::vector<std::string> out;
    for (uint32_t i = 0; i < paths.GetCount(); ++i) out.push_back(Utf8(*paths.GetItemPtr(i)));
    return out;
}

TEST(FoldersTest, MakeValidFileNameReplacesTheFifteenCharacters)
{
    struct Case {
        String text;
        const char* valid;
    };
    const Case cases[] = {
        {String(u"a/b:c(1)"), "a_b_c_1_"},
        {String(u"\\/:*?\"<>|&;,^()"), "_______________"},
        {String(u"Piano 2 - soft.v1"), "Piano 2 - soft.v1"},
        {String(u"Gr\u00fc\u00dfe [A]{B}'#%"), "Gr\xC3\xBC\xC3\x9F" "e [A]{B}'#%"},
        {String(), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8(QV::MakeValidFileName(c.text)), c.valid);
}

TEST(FoldersTest, ParentFolderDropsTheLastPart)
{
    struct Case {
        const char16_t* path;
        const char* parent;
    };
    const Case cases[] = {
        {u"/home/me/preset.tpr", "/home/me"}, {u"/home/me/", "/home/me"}, {u"/home", "/"},
        {u"/", "/"},                          {u"rel/x", "rel"},           {u"name", ""},
        {u"", ""},                            {u"C:\\Presets\\a.tpr", "C:\\Presets"},
        {u"a\\b/c", "a\\b"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8(QV::GetParentFolder(String(c.path))), c.parent) << Utf8(c.path);
}

TEST(FoldersTest, WildcardsIgnoreCase)
{
    // The program folds non-ASCII letters under this locale, set at start-up.
    ASSERT_NE(setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    struct Case {
        const char16_t* name;
        const char16_t* pattern;
        bool match;
    };
    const Case cases[] = {
        {u"Arial.TTF", u"*.ttf", true},   {u"arial.ttf", u"*.TTF", true},  {u"arial.ttc", u"*.ttf", false},
        {u"a.ttf.bak", u"*.ttf", false},  {u"readme", u"*.*", true},       {u"readme", u"*", true},
        {u"ab", u"a?", true},             {u"a", u"a?", false},            {u"x.ttf", u"?.ttf", true},
        {u"aXbXc", u"a*b*c", true},       {u"aXbX", u"a*b*c", false},      {u"", u"*", true},
        {u"\u00c9t\u00e9.ttf", u"\u00e9T\u00c9*", true}, {u"abc", u"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QV::MatchesWildcard(String(c.name), String(c.pattern)), c.match)
            << Utf8(c.name) << " ~ " << Utf8(c.pattern);
    }
}

class FolderFunctionsTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return mFolder / name; }
    TempFolder mFolder{"qv-storage"};
};

TEST_F(FolderFunctionsTest, EnsureFolderExistsCreatesEveryMissingLevel)
{
    const std::string deep = PathOf("one/two/three");
    EXPECT_EQ(QV::EnsureFolderExists(Wide(deep)), QV::S_OK);
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_EQ(QV::EnsureFolderExists(Wide(deep)), 1);
    TempFolder::WriteText(PathOf("file"), "x");
    EXPECT_EQ(QV::EnsureFolderExists(Wide(PathOf("file"))), QV::E_FAIL);
    EXPECT_EQ(QV::EnsureFolderExists(Wide(PathOf("file/below"))), QV::E_FAIL);
    // "\" separates parts too.
    EXPECT_EQ(QV::EnsureFolderExists(Wide(mFolder.Path() + "\\win\\style")), QV::S_OK);
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("win/style")));
    EXPECT_EQ(QV::EnsureFolderExists(String()), QV::E_FAIL);
}

TEST_F(FolderFunctionsTest, CreateFolderPathForAFileMakesOnlyItsFolders)
{
    const std::string file = PathOf("Corvane/Tarsel Preset Editor/UserSettings.ini");
    EXPECT_TRUE(QV::CreateFolderPath(Wide(file), true));
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("Corvane/Tarsel Preset Editor")));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(QV::CreateFolderPath(String(u"no-separator.ini"), true));
    EXPECT_FALSE(std::filesystem::exists("no-separator.ini"));
    EXPECT_TRUE(QV::CreateFolderPath(Wide(PathOf("x/y")), false));
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("x/y")));
    EXPECT_FALSE(QV::CreateFolderPath(String(u"/proc/qv-no-such/place"), false));
}

TEST_F(FolderFunctionsTest, FileExistsOnlyForFiles)
{
    TempFolder::WriteText(PathOf("f"), "");
    std::filesystem::create_directory(PathOf("d"));
    EXPECT_TRUE(QV::FileExists(Wide(PathOf("f"))));
    EXPECT_FALSE(QV::FileExists(Wide(PathOf("d"))));
    EXPECT_FALSE(QV::FileExists(Wide(PathOf("missing"))));
    EXPECT_FALSE(QV::FileExists(String()));
}

TEST_F(FolderFunctionsTest, ListsMatchingFilesSortedWithoutFolders)
{
    for (const char* name : {"b.TTF", "a.ttf", "C.Ttf", "d.ttc", "notes.txt"}) TempFolder::WriteText(PathOf(name), "");
    std::filesystem::create_directory(PathOf("sub.ttf"));
    std::filesystem::create_symlink(PathOf("a.ttf"), PathOf("link.ttf"));
    const std::string f = mFolder.Path();

    QV::Array<String> paths;
    EXPECT_EQ(QV::ListFilesInFolder(Wide(f), String(u"*.ttf"), paths), 4);
    EXPECT_EQ(Utf8(paths), (std::vector<std::string>{f + "/a.ttf", f + "/b.TTF", f + "/C.Ttf", f + "/link.ttf"}));
    EXPECT_EQ(QV::ListFilesInFolder(Wide(f), String(u"*.ttc"), paths), 1);
    EXPECT_EQ(Utf8(paths), (std::vector<std::string>{f + "/d.ttc"}));
    EXPECT_EQ(QV::ListFilesInFolder(Wide(f), String(u"*.otf"), paths), 0);
    EXPECT_EQ(paths.GetCount(), 0u);
    EXPECT_EQ(QV::ListFilesInFolder(Wide(f), String(u"*.*"), paths), 6);
}

TEST_F(FolderFunctionsTest, ListingSomethingThatIsNotAFolderIsNotImplemented)
{
    TempFolder::WriteText(PathOf("file.ttf"), "");
    QV::Array<String> paths;
    EXPECT_GE(paths.AddItem(String(u"stale")), 0);
    EXPECT_EQ(QV::ListFilesInFolder(Wide(PathOf("file.ttf")), String(u"*"), paths), QV::E_NOTIMPL);
    EXPECT_EQ(paths.GetCount(), 0u);
    EXPECT_GE(paths.AddItem(String(u"stale")), 0);
    EXPECT_EQ(QV::ListFilesInFolder(Wide(PathOf("missing")), String(u"*"), paths), QV::E_NOTIMPL);
    EXPECT_EQ(paths.GetCount(), 0u);
}

TEST_F(FolderFunctionsTest, LongPathResolvesExistingPaths)
{
    std::filesystem::create_directories(PathOf("real/inner"));
    std::filesystem::create_directory_symlink(PathOf("real"), PathOf("alias"));
    const std::string canonical = std::filesystem::canonical(PathOf("real/inner")).string();
    EXPECT_EQ(Utf8(QV::GetLongPath(Wide(PathOf("alias/./inner")))), canonical);
    EXPECT_EQ(Utf8(QV::GetLongPath(Wide(PathOf("real/../real/inner")))), canonical);
    // An unresolvable path comes back unchanged.
    EXPECT_EQ(Utf8(QV::GetLongPath(Wide(PathOf("missing/x")))), PathOf("missing/x"));
}

}  // namespace
