#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "DynamicLibrary.h"

namespace {

using Platform::DynamicLibrary;
using AddFunction = int32_t (*)(int32_t, int32_t);

std::string ModulePath() { return Platform::ResolveLibraryPath("DynamicLibraryTestModule.dll"); }

TEST(DynamicLibraryTest, ExecutableFolderHoldsThisProgram)
{
    const std::string folder = Platform::GetExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "/DynamicLibraryTest"));
}

TEST(DynamicLibraryTest, WindowsNamesMapToSharedObjects)
{
    const std::string exe = Platform::GetExecutableFolder();
    struct Case {
        const char* windows;
        std::string linux;
    };
    const Case cases[] = {
        {"IniFileManager.dll", exe + "/IniFileManager.so"},
        {"Client.DLL", exe + "/Client.so"},
        {"C:\\Apps\\Tarsel\\IniFileManager.dll", "C:/Apps/Tarsel/IniFileManager.so"},
        {"/opt/lib/x.dll", "/opt/lib/x.so"},
        {"lib/x.dll", "lib/x.so"},
        {"/opt/lib/already.so", "/opt/lib/already.so"},
        {"dll", exe + "/dll"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Platform::ResolveLibraryPath(c.windows), c.linux) << c.windows;
    }
}

TEST(DynamicLibraryTest, LoadsAndCallsAnExportedFunction)
{
    DynamicLibrary library(ModulePath());
    ASSERT_TRUE(library.IsLoaded()) << library.GetError();
    EXPECT_EQ(library.GetPath(), ModulePath());
    const auto add = library.GetFunction<AddFunction>("TestModuleAdd");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add(40, 2), 42);
}

TEST(DynamicLibraryTest, MissingSymbolIsNullWithAReason)
{
    DynamicLibrary library(ModulePath());
    ASSERT_TRUE(library.IsLoaded());
    EXPECT_EQ(library.GetSymbol("NoSuchEntry"), nullptr);
    EXPECT_FALSE(library.GetError().empty());
    EXPECT_EQ(library.GetSymbol(nullptr), nullptr);
}

TEST(DynamicLibraryTest, MissingFileFailsAndStaysUnloaded)
{
    DynamicLibrary library;
    EXPECT_FALSE(library.Load(Platform::GetExecutableFolder() + "/NoSuchLibrary.so"));
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_FALSE(library.GetError().empty());
    EXPECT_EQ(library.GetSymbol("TestModuleAdd"), nullptr);
    EXPECT_TRUE(library.Unload());
}

TEST(DynamicLibraryTest, FailedReloadDropsThePreviousLibrary)
{
    DynamicLibrary library(ModulePath());
    ASSERT_TRUE(library.IsLoaded());
    EXPECT_FALSE(library.Load("/nonexistent/x.so"));
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(library.GetSymbol("TestModuleAdd"), nullptr);
}

TEST(DynamicLibraryTest, MoveHandsOverTheHandle)
{
    DynamicLibrary first(ModulePath());
    ASSERT_TRUE(first.IsLoaded());
    DynamicLibrary second(std::move(first));
    EXPECT_FALSE(first.IsLoaded());
    ASSERT_TRUE(second.IsLoaded());
    DynamicLibrary third;
    third = std::move(second);
    EXPECT_FALSE(second.IsLoaded());
    ASSERT_TRUE(third.IsLoaded());
    EXPECT_NE(third.GetSymbol("TestModuleAdd"), nullptr);
    EXPECT_TRUE(third.Unload());
    EXPECT_FALSE(third.IsLoaded());
    EXPECT_EQ(third.GetSymbol("TestModuleAdd"), nullptr);
}

}  // namespace
