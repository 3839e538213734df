#include "LFontFileInfo.h"

#include <gtest/gtest.h>

#include <fstream>

#include "FontFileBuilder.h"
#include "FontFolders.h"
#include "TempFolder.h"

namespace {

using QV::LFontFileInfo;

std::string Narrow(const QV::String& s)
{
    return std::string(QV::NarrowString(s).GetChars());
}

class Token : public QV::LRefCountedObject {};

class FontCatalogueTest : public ::testing::Test {
protected:
    ~FontCatalogueTest() override { LFontFileInfo::Clear(); }

    std::string Write(const std::string& name, const Bytes& bytes)
    {
        const std::string path = mFolder / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    void Scan() { ASSERT_EQ(LFontFileInfo::ScanFontFolders({mFolder.Path()}), QV::S_OK); }

    int32_t IndexOf(const char* family)
    {
        for (int32_t i = 0; i < LFontFileInfo::GetCount(); ++i)
            if (Narrow(LFontFileInfo::GetAt(i)->GetFamilyName()) == family) return i;
        return -1;
    }
    int32_t FileID(const char* face, int32_t style, QV::ConstRCPtr<QV::LRefCountedObject> font = new Token)
    {
        return LFontFileInfo::GetFileID(font, QV::String(face), style);
    }

    TempFolder mFolder{"fontcatalogue"};
};

TEST_F(FontCatalogueTest, CollectionCataloguesEveryFaceWithItsIndex)
{
    const std::string path = Write("set.ttc", MakeCollection({{Win(1, u"One"), Win(2, u"Regular")},
                                                              {Win(1, u"Two"), Win(2, u"Regular")},
                                                              {Win(1, u"One"), Win(2, u"Bold")}},
                                                             0x00020000));
    Scan();
    ASSERT_EQ(LFontFileInfo::GetCount(), 2);
    const int32_t one = IndexOf("One"), two = IndexOf("Two");
    EXPECT_EQ(Narrow(LFontFileInfo::GetFontFilePath(one * 4 + 0)), path);
    EXPECT_EQ(Narrow(LFontFileInfo::GetFontFilePath(one * 4 + 1)), path);
    EXPECT_EQ(Narrow(LFontFileInfo::GetFontFilePath(two * 4)), path);
    EXPECT_EQ(LFontFileInfo::GetFontFaceIndex(one * 4 + 0), 0);
    EXPECT_EQ(LFontFileInfo::GetFontFaceIndex(one * 4 + 1), 2);
    EXPECT_EQ(LFontFileInfo::GetFontFaceIndex(two * 4), 1);
}

TEST_F(FontCatalogueTest, SubfamilyChoosesTheSlot)
{
    const struct {
        const char16_t* subfamily;
        int32_t slot;
    } cases[] = {{u"Regular", 0},     {u"BOLD", 1},         {u"Italic", 2},
                 {u"Bold Italic", 3}, {u"Bold Oblique", 0}, {u"Book", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(QV::String(c.subfamily)));
        const std::string path = Write("face.ttf", MakeFont({Win(1, u"Face"), Win(2, c.subfamily)}));
        Scan();
        ASSERT_EQ(LFontFileInfo::GetCount(), 1);
        for (int32_t slot = 0; slot < 4; ++slot)
            EXPECT_EQ(Narrow(LFontFileInfo::GetAt(0)->GetPath(slot)), slot == c.slot ? path : "");
    }
}

TEST_F(FontCatalogueTest, MissingStyleBorrowsThePreferredFileAndKeepsIt)
{
    struct Case {
        std::vector<int32_t> present;  // styles that have their own file
        int32_t asked;
        int32_t expected;  // the style whose file answers
    };
    const std::vector<Case> cases = {
        {{0}, 1, 0},    {{0}, 3, 0},    {{0, 1}, 3, 1}, {{0, 2}, 3, 2},       {{1, 2}, 0, 1},
        {{2, 3}, 1, 3}, {{0, 1}, 2, 0}, {{3}, 2, 3},    {{0, 1, 2, 3}, 2, 2},
    };
    const char16_t* subfamilies[] = {u"Regular", u"Bold", u"Italic", u"Bold Italic"};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "asked " << c.asked << " expected " << c.expected);
        std::filesystem::remove_all(mFolder.Path());
        std::filesystem::create_directories(mFolder.Path());
        std::string paths[4];
        for (int32_t style : c.present)
            paths[style] =
                Write("f" + std::to_string(style) + ".ttf", MakeFont({Win(1, u"Fam"), Win(2, subfamilies[style])}));
        Scan();
        const int32_t id = FileID("Fam", c.asked);
        EXPECT_EQ(id, c.asked);
        EXPECT_EQ(Narrow(LFontFileInfo::GetFontFilePath(id)), paths[c.expected]);
        EXPECT_EQ(Narrow(LFontFileInfo::GetAt(0)->GetPath(c.asked)), paths[c.expected]);
    }
}

TEST_F(FontCatalogueTest, UnderlineAndStrikeOutBitsDoNotChooseTheFile)
{
    Write("r.ttf", MakeFont({Win(1, u"Fam"), Win(2, u"Regular")}));
    const std::string bold = Write("b.ttf", MakeFont({Win(1, u"Fam"), Win(2, u"Bold")}));
    Scan();
    const int32_t id = FileID("Fam", 1 | 4 | 8);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(Narrow(LFontFileInfo::GetFontFilePath(id)), bold);
}

TEST_F(FontCatalogueTest, PathOfAnUnknownIDIsEmpty)
{
    Write("r.ttf", MakeFont({Win(1, u"Fam"), Win(2, u"Regular")}));
    Scan();
    for (int32_t id : {-1, -4, 4, 400}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(LFontFileInfo::GetFontFilePath(id).IsEmpty());
        EXPECT_EQ(LFontFileInfo::GetFontFaceIndex(id), 0);
    }
}

TEST_F(FontCatalogueTest, AnswerIsRememberedPerFontObject)
{
    Write("r.ttf", MakeFont({Win(1, u"Fam"), Win(2, u"Regular")}));
    Write("s.ttf", MakeFont({Win(1, u"Sib"), Win(2, u"Regular")}));
    Scan();
    const int32_t fam = IndexOf("Fam"), sib = IndexOf("Sib");
    QV::ConstRCPtr<QV::LRefCountedObject> first(new Token), second(new Token);
    EXPECT_EQ(FileID("Fam", 0, first), fam * 4);
    // The object's entry answers before any family is searched again.
    EXPECT_EQ(FileID("Sib", 0, first), fam * 4);
    EXPECT_EQ(FileID("Sib", 0, second), sib * 4);
    // A new scan forgets what was remembered.
    Scan();
    EXPECT_EQ(FileID("Sib", 0, first), sib * 4);
}

TEST_F(FontCatalogueTest, UnknownFaceFallsBackToTheSystemFamilyOrRaises)
{
    const std::string system = Platform::GetSystemFontFamily();
    ASSERT_FALSE(system.empty());
    Write("other.ttf", MakeFont({Win(1, u"Other"), Win(2, u"Regular")}));
    Scan();
    try {
        FileID("No Such Face", 0);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "Runtime Error : QV::LFontFileInfo::GetFileID : Renderer\\FontRenderer\\FontFileInfo : Line 464");
    }
    const QV::String wideSystem(system.c_str());
    Write("system.ttf", MakeFont({Win(1, std::u16string(wideSystem.GetChars())), Win(2, u"Regular")}));
    Scan();
    EXPECT_EQ(FileID("No Such Face", 0), IndexOf(system.c_str()) * 4);
}

TEST_F(FontCatalogueTest, ScanReadsTtfThenTtcSkipsBrokenFilesAndLaterFilesReplace)
{
    const Bytes regular = MakeFont({Win(1, u"Fam"), Win(2, u"Regular")});
    Write("a.ttc", MakeCollection({{Win(1, u"Fam"), Win(2, u"Regular")}}));
    Write("b.TTF", regular);
    Write("c.ttf", regular);
    Write("d.ttf", Bytes(regular.begin(), regular.begin() + 20));  // cut short
    Write("e.ttf", MakeFont({Win(1, u"Cut"), Win(2, u"Regular")}));
    Write("notes.txt", regular);
    std::filesystem::resize_file(mFolder / "e.ttf", 40);
    Scan();
    ASSERT_EQ(LFontFileInfo::GetCount(), 1);
    EXPECT_EQ(Narrow(LFontFileInfo::GetFontFilePath(0)), mFolder / "a.ttc");  // the collection comes last
}

TEST_F(FontCatalogueTest, MissingFolderGivesAnEmptyCatalogue)
{
    Write("r.ttf", MakeFont({Win(1, u"Fam"), Win(2, u"Regular")}));
    Scan();
    EXPECT_EQ(LFontFileInfo::ScanFontFolders({"/nonexistent/fonts"}), QV::S_OK);
    EXPECT_EQ(LFontFileInfo::GetCount(), 0);
}

TEST(FontCatalogueSystemTest, SystemFoldersHoldTheShippedFamilies)
{
    ASSERT_EQ(LFontFileInfo::ScanFontFolder(), QV::S_OK);
    bool dejavu = false, liberation = false;
    for (int32_t i = 0; i < LFontFileInfo::GetCount(); ++i) {
        const std::string family = Narrow(LFontFileInfo::GetAt(i)->GetFamilyName());
        dejavu |= family == "DejaVu Sans";
        liberation |= family == "Liberation Sans";
    }
    EXPECT_TRUE(dejavu);
    EXPECT_TRUE(liberation);
    LFontFileInfo::Clear();
}

}  // namespace
