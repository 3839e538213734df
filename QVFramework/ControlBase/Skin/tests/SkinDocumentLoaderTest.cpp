#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "SkinTestSupport.h"

namespace {

using namespace QV;
using QV::SkinTest::Narrow;

TEST(SkinDocumentLoaderTest, BrokenSkinsNameDocumentLineAndElement)
{
    struct Row {
        const char* xml;
        const char* error;
    };
    const Row rows[] = {
        {"<r>\n<Skins>\n<Skin>\n<SubControl Name='x'/>",
         "inline: line 4: SubControl: Runtime Error : Bad Subcontrol Element : QV::LControlFactory::XMLStartElement : "
         "ControlBase\\ControlFactory : Line 1089"},
        {"<r>\n<Parts>\n</Colorizers>", "inline: line 3: mismatched tag"},
        {"", "inline: line 1: no element found"},
        {"<r>\n<Colorizer Name='c' Color='0xFF000000'/></r>",
         "inline: line 2: Colorizer: missing required attribute \"ColorType\""},
        {"<r><Part Name='p' Width='1' Height='1' ResizeType='Tile' ColorizerName='later'/>"
         "<Colorizer Name='later' ColorType='SolidFill' Color='0xFF000000'/></r>",
         "inline: line 1: Part: unknown colouriser \"later\""},
        {"<r><Part Name='p' Width='1' Height='1' ResizeType='Tile'/></r>",
         "inline: line 1: Part: a part needs an image or a colouriser"},
        {"<r><Looks><Look Name='l'><ClientPart Name='none' OffsetLeft='0' OffsetTop='0' OffsetRight='0' "
         "OffsetBottom='0'/></Look></Looks></r>",
         "inline: line 1: ClientPart: unknown part \"none\""},
        {"<r><Looks><NonClientPart Name='none'/></Looks></r>",
         "inline: line 1: NonClientPart: no named Look before it"},
        {"<r><LookList Name='list' NumLooks='2'><Look Name='missing' Index='0'/></LookList></r>",
         "inline: line 1: Look: unknown look \"missing\""},
        {"<r><Looks><Look Name='a'/></Looks><LookList Name='list' NumLooks='2'><Look Name='a' "
         "Index='2'/></LookList></r>",
         "inline: line 1: Look: look index outside its list"},
        {"<r><LookList Name='list' NumLooks='70000'/></r>", "inline: line 1: LookList: NumLooks outside 0..65535"},
        {"<r><Skins><Skin><SubControl Class='C' Name='n'><Skin LookList='none'/></SubControl></Skin></Skins></r>",
         "inline: line 1: Skin: unknown look list \"none\""},
        {"<r><SubControl Class='C' Name='n'/></r>", "inline: line 1: SubControl: SubControl outside a Skin"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.xml);
        SkinTest::Loaded loaded;
        EXPECT_EQ(loaded.ParseSkin(row.xml), E_FAIL);
        EXPECT_EQ(loaded.Error(), row.error);
    }
}

TEST(SkinDocumentLoaderTest, AFailedLoadKeepsWhatWasThereBefore)
{
    SkinTest::Loaded loaded;
    ASSERT_EQ(loaded.loader.LoadSkin(String(u"::TEST_SKIN")), S_OK);
    const size_t skins = loaded.store.skins.size();
    const size_t parts = loaded.store.parts.size();
    EXPECT_EQ(loaded.ParseSkin("<r><Parts><Part Name='frame' Width='1' Height='1' ResizeType='Tile' "
                               "ColorizerName='radial'/><Part Name='new' Width='1' Height='1' ResizeType='Tile' "
                               "ColorizerName='radial'/></Parts><Skins><Skin><SubControl/>"),
              E_FAIL);
    EXPECT_EQ(loaded.store.parts.size(), parts + 1);  // read before the error stays
    EXPECT_EQ(loaded.store.parts.at(String(u"frame"))->resizeType, LVisualPartDescriptor::kTile);
    EXPECT_EQ(loaded.store.skins.size(), skins + 1);
    EXPECT_EQ(loaded.store.currentSkinIndex, 0);
    EXPECT_TRUE(loaded.store.FindControlDescriptor(String(u"mainControl")));
}

TEST(SkinDocumentLoaderTest, DocumentsByResourceOrFile)
{
    EXPECT_EQ(Narrow(SkinDocumentLoader::GetResourceName(String(u"::Session Skin 1C.png"))), "SESSION_SKIN_1C_PNG");
    EXPECT_EQ(Narrow(SkinDocumentLoader::GetResourceName(String(u"::app_skins"))), "APP_SKINS");

    SkinTest::Loaded loaded;
    EXPECT_EQ(loaded.loader.LoadSkin(String(u"::No Such Skin")), E_FAIL);
    EXPECT_EQ(loaded.Error(), "::No Such Skin: line 0: no such resource, or it is empty");
    EXPECT_TRUE(loaded.store.skins.empty());

    const auto dir = std::filesystem::temp_directory_path() / ("skin-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto empty = dir / "empty.xml";
    std::ofstream(empty).close();
    const auto good = dir / "skin.xml";
    std::ofstream(good) << "<AnyName><Skins><Skin Name='FromFile'/></Skins></AnyName>";
    EXPECT_EQ(loaded.loader.LoadSkin(String(empty.c_str())), E_FAIL);
    EXPECT_EQ(loaded.Error(), empty.string() + ": line 1: no element found");
    EXPECT_EQ(loaded.loader.LoadSkin(String((dir / "missing.xml").c_str())), E_FAIL);
    EXPECT_EQ(loaded.Error(), (dir / "missing.xml").string() + ": line 0: cannot open the file");
    EXPECT_EQ(loaded.loader.LoadSkin(String(good.c_str())), S_OK);
    ASSERT_EQ(loaded.store.skins.size(), 1u);
    EXPECT_EQ(Narrow(loaded.store.skins[0]->skin->name), "FromFile");
    // A FIFO is refused, not waited on.
    const auto fifo = dir / "fifo.xml";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(loaded.loader.LoadSkin(String(fifo.c_str())), E_FAIL);
    EXPECT_EQ(loaded.Error(), fifo.string() + ": line 0: cannot read the file: not a regular file");
    EXPECT_EQ(loaded.store.skins.size(), 1u);
    std::filesystem::remove_all(dir);
}

// Test documents: TEST_APP_STRINGS has only English entries; TEST_FRAMEWORK_STRINGS
// has English, German, the Chinese 0x7C04 and 0x0004.
TEST(SkinDocumentLoaderTest, TheFirstDocumentThatLoadsDecidesTheLanguage)
{
    constexpr const char16_t* kApp = u"::TEST_APP_STRINGS";
    constexpr const char16_t* kFramework = u"::TEST_FRAMEWORK_STRINGS";
    constexpr const char16_t* kMissing = u"::NO_SUCH_DOCUMENT";
    struct Row {
        const char16_t* first;
        const char16_t* second;
        int32_t languageId;
        int32_t chosen;
        const char* appText;  // nullptr: no application table is loaded
        const char* frameworkText;
    };
    const Row rows[] = {
        // The application document decides; the framework's German is not used.
        {kApp, kFramework, 0x0409, 0x09, "Save", "Copy"},
        {kApp, kFramework, 0x0407, 9, "Save", "Copy"},
        {kApp, kFramework, 0x0009, 9, "Save", "Copy"},
        // The framework document alone falls back.
        {kFramework, kMissing, 0x0407, 0x07, nullptr, "Kopieren"},
        {kFramework, kMissing, 0x0404, 0x7C04, nullptr, "\xE8\xA4\x87\xE8\xA3\xBD"},
        {kFramework, kMissing, 0x0C04, 0x7C04, nullptr, "\xE8\xA4\x87\xE8\xA3\xBD"},
        {kFramework, kMissing, 0x0804, 0x04, nullptr, "\xE5\xA4\x8D\xE5\x88\xB6"},
        {kFramework, kMissing, 0x0411, 9, nullptr, "Copy"},
        // A missing application document leaves the choice to the framework.
        {kMissing, kFramework, 0x0407, 0x07, nullptr, "Kopieren"},
        {kMissing, kFramework, 0x0404, 0x7C04, nullptr, "\xE8\xA4\x87\xE8\xA3\xBD"},
        {kMissing, kFramework, 0x0409, 9, nullptr, "Copy"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(String(row.first)) + " then " + Narrow(String(row.second)) + ", language " +
                     std::to_string(row.languageId));
        SkinTest::Loaded loaded;
        ASSERT_EQ(loaded.loader.LoadStringTables(String(row.first), String(row.second), row.languageId), S_OK);
        EXPECT_EQ(loaded.store.languageId, row.chosen);
        String text;
        if (row.appText) {
            ASSERT_TRUE(loaded.store.FindStringTable(String(u"|TestApp"))->GetString(String(u"SAVE"), text));
            EXPECT_EQ(Narrow(text), row.appText);
        }
        ASSERT_TRUE(loaded.store.FindStringTable(String(u"Framework"))->GetString(String(u"EDIT_COPY"), text));
        EXPECT_EQ(Narrow(text), row.frameworkText);
    }
}

TEST(SkinDocumentLoaderTest, BrokenStringDocumentIsReported)
{
    SkinTest::Loaded loaded;
    ASSERT_EQ(loaded.loader.LoadStringTables(String(u"::TEST_APP_STRINGS"), String(), 9), E_FAIL);
    EXPECT_EQ(loaded.Error(), ": line 0: cannot open the file");
    EXPECT_EQ(loaded.loader.LoadStringTables(String(u"::BROKEN_STRINGS"), String(u"::TEST_FRAMEWORK_STRINGS"), 9),
              E_FAIL);
    EXPECT_EQ(loaded.Error(), "::BROKEN_STRINGS: line 4: mismatched tag");
    // The tables read before the error stay.
    String text;
    ASSERT_TRUE(loaded.store.FindStringTable(String(u"Kept"))->GetString(String(u"BEFORE"), text));
    EXPECT_EQ(Narrow(text), "before");
}

}  // namespace
