#include "FontFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TempFolder.h"

namespace {

TEST(FontFoldersTest, ListsMatchingFilesRecursivelySortedAndOnce)
{
    TempFolder root("fontfolders");
    std::filesystem::create_directories(root / "b/deep");
    std::filesystem::create_directories(root / "a");
    for (const char* name : {"b/deep/Z.TTF", "a/y.ttf", "a/x.ttc", "a/readme.txt", "b/deep/w.Ttf"})
        TempFolder::WriteText(root / name, "x");
    std::filesystem::create_directories(root / "a/folder.ttf");  // a folder is not a file

    // The same folder named twice lists each file once.
    const auto files = Platform::ListFontFiles({root.Path(), root / "b"}, ".ttf");
    const std::vector<std::string> expected = {root / "a/y.ttf", root / "b/deep/Z.TTF", root / "b/deep/w.Ttf"};
    EXPECT_EQ(files, expected);
}

TEST(FontFoldersTest, MissingFolderListsNothing)
{
    EXPECT_TRUE(Platform::ListFontFiles({"/nonexistent/fonts/folder"}, ".ttf").empty());
}

TEST(FontFoldersTest, SystemSetupNamesFoldersAndAFamily)
{
    const auto folders = Platform::GetFontFolders();
    EXPECT_NE(std::find(folders.begin(), folders.end(), "/usr/share/fonts"), folders.end());
    EXPECT_FALSE(Platform::GetSystemFontFamily().empty());
}

}  // namespace
