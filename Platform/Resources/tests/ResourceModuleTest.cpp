#include "ResourceModule.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace Platform {
std::span<const ResourceEntry> GetTestResourceEntries();
}

namespace {

std::string_view Text(Platform::ResourceBytes bytes)
{
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(ResourceModuleTest, ProgramHoldsTheXmlDocumentsByName)
{
    const Platform::ResourceModule& program = Platform::GetProgramModule();
    for (const char* name : {"APP_SKINS", "APP_STRINGS", "FRAMEWORK_STRINGS"}) {
        const auto document = program.FindResource("QVXML", name);
        ASSERT_TRUE(document.has_value()) << name;
        EXPECT_TRUE(Text(*document).starts_with("<?xml")) << name;
    }
    // Names and types compare without regard to case, as on Windows.
    EXPECT_TRUE(program.FindResource("qvxml", "app_skins").has_value());
    EXPECT_EQ(program.FindResource("GDIPLUS", "APP_SKINS"), std::nullopt);
    EXPECT_EQ(program.FindResource("QVXML", "APP_SKIN"), std::nullopt);
    EXPECT_EQ(program.FindResource("QVXML", ""), std::nullopt);
    EXPECT_TRUE(program.GetFilePath().ends_with("/ResourceModuleTest")) << program.GetFilePath();
}

class TestTable : public ::testing::Test {
protected:
    Platform::ResourceTable table{"/opt/test/module", Platform::GetTestResourceEntries()};
};

TEST_F(TestTable, FilesAreNamedByTheRuleOfTheirType)
{
    const struct {
        const char* type;
        const char* name;
        size_t size;
    } cases[] = {
        // Images keep their extension: "Drop Down.New_Left.png", also from a subfolder.
        {"GDIPLUS", "DROP_DOWN_NEW_LEFT_PNG", 300},
        {"GDIPLUS", "KNOB_PNG", 8},
        {"GDIPLUS", "EMPTY_PNG", 0},
        // Documents lose it: "Sample Doc.v2.xml".
        {"QVXML", "SAMPLE_DOC_V2", 29},
    };
    for (const auto& c : cases) {
        const auto found = table.FindResource(c.type, c.name);
        ASSERT_TRUE(found.has_value()) << c.name;
        EXPECT_EQ(found->size(), c.size) << c.name;
    }
    EXPECT_EQ(table.GetFilePath(), "/opt/test/module");
}

TEST_F(TestTable, BytesArriveExactly)
{
    const auto image = table.FindResource("GDIPLUS", "DROP_DOWN_NEW_LEFT_PNG");
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->size(), 300u);
    for (size_t i = 0; i < image->size(); ++i) {
        ASSERT_EQ((*image)[i], i % 256) << "byte " << i;
    }
    EXPECT_EQ(Text(*table.FindResource("QVXML", "SAMPLE_DOC_V2")), "<?xml version=\"1.0\"?>\n<Doc/>\n");
}

TEST_F(TestTable, MissingResourcesFailCleanly)
{
    const struct {
        const char* type;
        const char* name;
    } cases[] = {
        {"GDIPLUS", "Drop Down.New_Left.png"},  // the file name itself is not the name
        {"GDIPLUS", "SAMPLE_DOC_V2"},           // right name, wrong type
        {"QVXML", "SAMPLE_DOC_V2_XML"},
        {"GDIPLUS", "KNOB"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(table.FindResource(c.type, c.name), std::nullopt) << c.type << " " << c.name;
    }
    const Platform::ResourceTable empty("", {});
    EXPECT_EQ(empty.FindResource("QVXML", "APP_SKINS"), std::nullopt);
}

}  // namespace
