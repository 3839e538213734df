#include "FontNameReader.h"

#include <gtest/gtest.h>

#include "FontFileBuilder.h"

namespace {

using QV::FontFaceName;

std::optional<std::vector<FontFaceName>> Read(const Bytes& bytes)
{
    QV::MemoryFontSource source(bytes.data(), bytes.size());
    return QV::ReadFontFaceNames(source);
}

std::string Narrow(const QV::String& s)
{
    return std::string(QV::NarrowString(s).GetChars());
}

std::vector<std::string> Describe(const std::vector<FontFaceName>& names)
{
    std::vector<std::string> out;
    for (const auto& n : names)
        out.push_back(std::to_string(n.faceIndex) + ":" + Narrow(n.family) + "/" + Narrow(n.subfamily));
    return out;
}

TEST(FontNameReaderTest, RecordsChooseFamilyAndSubfamily)
{
    struct Case {
        const char* name;
        std::vector<NameEntry> records;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"windows names, subfamily lower-cased", {Win(1, u"Alpha"), Win(2, u"Bold Italic")}, {"0:Alpha/bold italic"}},
        {"macintosh names", {Mac(2, u"Italic"), Mac(1, u"Beta")}, {"0:Beta/italic"}},
        {"other languages and name ids are passed over",
         {{3, 0x0407, 1, u"Deutsch"}, {1, 3, 1, u"Mac other"}, Win(4, u"Full"), Win(1, u"Gamma"), Win(2, u"Regular")},
         {"0:Gamma/regular"}},
        {"empty strings are skipped", {Win(1, u""), Win(1, u"Delta"), Win(2, u""), Win(2, u"Bold")}, {"0:Delta/bold"}},
        {"the first family wins until a pair completes",
         {Win(1, u"First"), Win(1, u"Second"), Win(2, u"Bold"), Win(2, u"Italic"), Win(1, u"Third")},
         {"0:First/bold", "0:Third/italic"}},
        {"a family without a subfamily gives nothing", {Win(1, u"Lonely")}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto names = Read(MakeFont(c.records));
        ASSERT_TRUE(names.has_value());
        EXPECT_EQ(Describe(*names), c.expected);
    }
}

TEST(FontNameReaderTest, CollectionNamesEachFaceWithItsIndex)
{
    for (uint32_t version : {0x00010000u, 0x00020000u}) {
        SCOPED_TRACE(version);
        const auto names = Read(MakeCollection({{Win(1, u"One"), Win(2, u"Regular")},
                                                {Win(1, u"Two"), Win(2, u"Bold")},
                                                {Win(1, u"Three"), Win(2, u"Italic")}},
                                               version));
        ASSERT_TRUE(names.has_value());
        EXPECT_EQ(Describe(*names), (std::vector<std::string>{"0:One/regular", "1:Two/bold", "2:Three/italic"}));
    }
}

TEST(FontNameReaderTest, MalformedFilesAreRefused)
{
    const Bytes good = MakeFont({Win(1, u"Alpha"), Win(2, u"Bold")});
    struct Case {
        const char* name;
        Bytes bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"shorter than a header", Bytes(good.begin(), good.begin() + 11)});
    Bytes tables = good;
    tables[4] = 0x7F;  // table count far beyond the file
    cases.push_back({"table count beyond the file", tables});
    Bytes tableOffset = good;
    SetU32(tableOffset, 12 + 16 + 8, 0xFFFFFFF0u);
    cases.push_back({"name table beyond the file", tableOffset});
    Bytes records = good;
    const size_t table = 12 + 32;
    records[table + 2] = 0xFF;  // name record count
    cases.push_back({"name records beyond the file", records});
    Bytes string = good;
    string[table + 6 + 10] = 0xFF;  // first record's string offset
    cases.push_back({"name string beyond the file", string});
    Bytes collection = MakeCollection({{Win(1, u"One"), Win(2, u"Regular")}});
    SetU32(collection, 8, 0xFFFFFFFFu);
    cases.push_back({"collection count beyond the file", collection});
    Bytes faceOffset = MakeCollection({{Win(1, u"One"), Win(2, u"Regular")}});
    SetU32(faceOffset, 12, 0x7FFFFFFFu);
    cases.push_back({"face offset beyond the file", faceOffset});
    Bytes signature = MakeCollection({}, 0x00020000);
    signature.resize(signature.size() - 4);
    cases.push_back({"collection signature cut short", signature});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Read(c.bytes).has_value());
    }
}

TEST(FontNameReaderTest, EveryCutOfAFileIsRefusedOrReadsWithinIt)
{
    const Bytes whole = MakeCollection({{Win(1, u"One"), Win(2, u"Regular")}, {Win(1, u"Two"), Win(2, u"Bold")}});
    for (size_t size = 0; size < whole.size(); ++size) {
        SCOPED_TRACE(size);
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(Read(cut).has_value());  // the last name string reaches the end
    }
    EXPECT_TRUE(Read(whole).has_value());
}

TEST(FontNameReaderTest, EmptyTagEndsTheTableWalk)
{
    Bytes bytes = MakeFont({Win(1, u"Alpha"), Win(2, u"Bold")});
    bytes[12] = 0;  // the first record ("head") now has an empty tag
    const auto names = Read(bytes);
    ASSERT_TRUE(names.has_value());
    EXPECT_TRUE(names->empty());
}

}  // namespace
