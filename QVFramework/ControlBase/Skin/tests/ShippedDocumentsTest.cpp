#include <gtest/gtest.h>

#include "KeyMap.h"
#include "SkinTestSupport.h"

namespace {

using namespace QV;
using QV::SkinTest::Narrow;

constexpr const char16_t* kFrameworkIds[] = {
    u"UNDO_IN_PROGRESS",
    u"REDO_IN_PROGRESS",
    u"EXCEPTION_ID",
    u"EDIT_CUT",
    u"EDIT_COPY",
    u"EDIT_PASTE",
    u"EDIT_DELETE",
    u"STARTUP_ERROR",
    u"STARTUP_ERROR_CAPTION",
    u"ERRORPNG_OPEN",
    u"ERRORPNG_NOT_PNG",
    u"ERRORPNG_READ_STRUCT",
    u"ERRORPNG_INFO_STRUCT_READ",
    u"ERRORPNG_INIT_IO",
    u"ERRORPNG_READ_IMAGE",
    u"ERRORPNG_OPEN_FOR_WRITING",
    u"ERRORPNG_WRITE_STRUCT",
    u"ERRORPNG_INFO_STRUCT_WRITE",
    u"ERRORPNG_WRITE_HEADER",
    u"ERRORPNG_WRITE_BYTES",
    u"ERRORPNG_END_OF_WRITE",
    u"GL_ERROR_CAPTION",
    u"GL_ERROR_MESSAGE_GET_PROC_ADDRESS",
    u"GL_ERROR_MESSAGE_MAKE_CONTEXT_CURRENT",
    u"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT",
    u"GL_ERROR_MESSAGE_CREATE_CONTEXT",
    u"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT",
    u"GL_ERROR_UPDATE_DRIVER",
    u"HOURS_SINGULAR",
    u"HOURS_PLURAL",
    u"MINUTES_SINGULAR",
    u"MINUTES_PLURAL",
    u"SECONDS_SINGULAR",
    u"SECONDS_PLURAL",
    u"REMAINING",
};

TEST(ShippedDocumentsTest, FrameworkStringsAreCompleteInEveryLanguage)
{
    const struct {
        int32_t languageId;
        const char* copy;
    } rows[] = {{0x0009, "Copy"},  {0x000A, "Copiar"}, {0x0007, "Kopieren"}, {0x0011, "コピー"}, {0x000C, "Copier"},
                {0x0010, "Copia"}, {0x0012, "복사"},   {0x7C04, "複製"},     {0x0004, "复制"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.languageId);
        SkinStore store;
        SkinDocumentLoader loader(store, Platform::GetProgramModule());
        store.languageId = row.languageId;
        ASSERT_EQ(loader.LoadStringTables(String(u"::FRAMEWORK_STRINGS"), String(u"::NONE"), row.languageId), S_OK);
        EXPECT_EQ(store.languageId, row.languageId);
        RCPtr<LStringTable> table = store.FindStringTable(String(u"Framework"));
        ASSERT_TRUE(table);
        EXPECT_EQ(table->GetMap().size(), std::size(kFrameworkIds));
        for (const char16_t* id : kFrameworkIds) {
            String text;
            EXPECT_TRUE(table->GetString(String(id), text) && !text.IsEmpty()) << Narrow(String(id));
        }
        String text;
        table->GetString(String(u"EDIT_COPY"), text);
        EXPECT_EQ(Narrow(text), row.copy);
        table->GetString(String(u"EXCEPTION_ID"), text);
        EXPECT_NE(text.Find(u"= %d)"), -1) << "the start-up error text shows the error code";
    }
}

// The OpenGL error box names the step that failed on this system, never a call
// of another one.
TEST(ShippedDocumentsTest, OpenGLErrorTextsNameTheStepThatFailed)
{
    SkinStore store;
    SkinDocumentLoader loader(store, Platform::GetProgramModule());
    store.languageId = 0x0009;
    ASSERT_EQ(loader.LoadStringTables(String(u"::FRAMEWORK_STRINGS"), String(u"::NONE"), 0x0009), S_OK);
    RCPtr<LStringTable> table = store.FindStringTable(String(u"Framework"));
    ASSERT_TRUE(table);
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT", "visual"},
        {u"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", "visual"},
        {u"GL_ERROR_MESSAGE_CREATE_CONTEXT", "context could not be created"},
        {u"GL_ERROR_MESSAGE_MAKE_CONTEXT_CURRENT", "made current"},
    };
    for (const auto& [id, step] : rows) {
        SCOPED_TRACE(Narrow(String(id)));
        String text;
        ASSERT_TRUE(table->GetString(String(id), text));
        const std::string shown = Narrow(text);
        EXPECT_NE(shown.find(step), std::string::npos) << shown;
        for (const char* windowsCall : {"PixelFormat", "wgl", "pixel format"})
            EXPECT_EQ(shown.find(windowsCall), std::string::npos) << shown;
    }
}

TEST(ShippedDocumentsTest, ApplicationDocumentsLoadAndBindTheirShortcuts)
{
    SkinStore store;
    SkinDocumentLoader loader(store, Platform::GetProgramModule());
    store.imageFolderPrefix = String(u"::");
    ASSERT_EQ(loader.LoadStringTables(String(u"::APP_STRINGS"), String(u"::FRAMEWORK_STRINGS"), 0x0407), S_OK);
    EXPECT_EQ(store.languageId, 9);  // the application speaks English only
    ASSERT_EQ(loader.LoadSkin(String(u"::APP_SKINS")), S_OK) << Narrow(loader.GetLastError().GetMessage());
    EXPECT_EQ(Narrow(store.applicationName), "ZiroruVovizu");
    EXPECT_TRUE(store.FindControlDescriptor(String(u"mainControl")));

    KeyMap map;
    LStringTable::Pairs pairs;
    store.FindStringTable(String(u"|ZiroruVovizu"))->GetAllStrings(pairs);
    ASSERT_EQ(map.LoadFromPairs(&pairs, String(u"GHK")), S_OK);
    EXPECT_EQ(Narrow(map.FindCommandForKey(KeyCode(0x53, true, 0, KeyCode::kModCtrl | KeyCode::kModShift))),
              "NID_MENU_FILE_SEND_PRESET_TO_DEVICE");
    EXPECT_EQ(Narrow(map.FindCommandForKey(KeyCode(0x56, true, 0, KeyCode::kModCtrl))), "NID_EDIT_PASTE_REQ");
}

// A look without a client part cannot be made, so a control given it draws
// nothing at all, not even its text.
TEST(ShippedDocumentsTest, EveryLookOfTheSkinHasAClientPart)
{
    SkinStore store;
    SkinDocumentLoader loader(store, Platform::GetProgramModule());
    store.imageFolderPrefix = String(u"::");
    ASSERT_EQ(loader.LoadSkin(String(u"::APP_SKINS")), S_OK) << Narrow(loader.GetLastError().GetMessage());
    ASSERT_FALSE(store.looks.empty());
    for (const auto& [name, look] : store.looks) {
        SCOPED_TRACE(Narrow(name));
        ASSERT_TRUE(look);
        EXPECT_TRUE(look->clientPart);
    }
}

}  // namespace
