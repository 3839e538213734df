#include "VersionInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Platform::LanguageCodePage;

std::span<const unsigned char> Block(const std::string& text)
{
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

TEST(VersionInfoTest, ProgramRecordComesFromTheProject)
{
    const Platform::ResourceModule& program = Platform::GetProgramModule();
    const uint32_t size = Platform::GetVersionInfoSize(program);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(Platform::GetVersionInfo(program, block));

    EXPECT_EQ(Platform::QueryVersionTranslations(block), (std::vector<LanguageCodePage>{{0x0409, 0x04B0}}));
    EXPECT_EQ(Platform::QueryVersionValue(block, "\\StringFileInfo\\040904b0\\CompanyName"), "Corvane");
    EXPECT_EQ(Platform::QueryVersionValue(block, "\\StringFileInfo\\040904b0\\ProductName"), "Tarsel Preset Editor");
    EXPECT_EQ(Platform::QueryVersionValue(block, "\\StringFileInfo\\040904b0\\ProductVersion"), QV_PROJECT_VERSION);
}

TEST(VersionInfoTest, BlockMustMatchTheRecordSize)
{
    const Platform::ResourceModule& program = Platform::GetProgramModule();
    std::vector<unsigned char> tooSmall(Platform::GetVersionInfoSize(program) - 1);
    EXPECT_FALSE(Platform::GetVersionInfo(program, tooSmall));

    const Platform::ResourceTable none("/bin/none", {});
    EXPECT_EQ(Platform::GetVersionInfoSize(none), 0u);
    std::vector<unsigned char> block(4);
    EXPECT_FALSE(Platform::GetVersionInfo(none, block));
}

TEST(VersionInfoTest, ValuesAreFoundByTheirWholePath)
{
    const std::string record =
        "\\VarFileInfo\\Translation=040904b0\r\n"
        "\\StringFileInfo\\040904b0\\Comments=a=b\n"
        "\\StringFileInfo\\040904b0\\Empty=\n"
        "\\StringFileInfo\\040904b0\\Last=no newline";
    EXPECT_EQ(Platform::QueryVersionValue(Block(record), "\\StringFileInfo\\040904b0\\Comments"), "a=b");
    EXPECT_EQ(Platform::QueryVersionValue(Block(record), "\\StringFileInfo\\040904b0\\Empty"), "");
    EXPECT_EQ(Platform::QueryVersionValue(Block(record), "\\StringFileInfo\\040904b0\\Last"), "no newline");
    EXPECT_EQ(Platform::QueryVersionValue(Block(record), "\\StringFileInfo\\040904B0\\Comments"), std::nullopt);
    EXPECT_EQ(Platform::QueryVersionValue(Block(record), "\\StringFileInfo\\040904b0\\Comment"), std::nullopt);
    EXPECT_EQ(Platform::QueryVersionValue(Block(record), ""), std::nullopt);
    EXPECT_EQ(Platform::QueryVersionValue({}, "\\VarFileInfo\\Translation"), std::nullopt);
}

TEST(VersionInfoTest, TranslationListsParseOrAreRefused)
{
    const struct {
        const char* record;
        std::optional<std::vector<LanguageCodePage>> expected;
    } cases[] = {
        {"\\VarFileInfo\\Translation=040704b0 0409FDE9\n",
         std::vector<LanguageCodePage>{{0x0407, 0x04B0}, {0x0409, 0xFDE9}}},
        {"\\VarFileInfo\\Translation=\n", std::vector<LanguageCodePage>{}},
        {"\\VarFileInfo\\Translation=  \n", std::vector<LanguageCodePage>{}},
        {"\\VarFileInfo\\Translation=040904b\n", std::nullopt},
        {"\\VarFileInfo\\Translation=040904b0 xyz\n", std::nullopt},
        {"\\StringFileInfo\\040904b0\\CompanyName=Corvane\n", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Platform::QueryVersionTranslations(Block(c.record)), c.expected) << c.record;
    }
}

}  // namespace
