#include <gtest/gtest.h>

#include "SkinTestSupport.h"

namespace {

using namespace QV;
using QV::SkinTest::Narrow;

std::string Lookup(const SkinStore& store, const char16_t* table, const char16_t* id)
{
    RCPtr<LStringTable> found = store.FindStringTable(String(table));
    if (!found) return "<no table>";
    String text;
    return found->GetString(String(id), text) ? Narrow(text) : "<absent>";
}

TEST(StringTableReaderTest, EntriesOfTheLanguageOnly)
{
    SkinTest::Loaded loaded;
    loaded.store.languageId = 9;
    ASSERT_EQ(loaded.ParseStrings(R"(<StringTables>
        <Application Name="App"/>
        <StringTable ID="|App">
          <String ID="AMP"><Locale LCID="0x0009">Load &amp; Save</Locale></String>
          <String ID="TWICE"><Locale LCID="9">one, </Locale><Locale LCID="7">eins</Locale><Locale LCID="0x0009">two</Locale></String>
          <String ID="GERMAN_ONLY"><Locale LCID="0x0007">nur</Locale></String>
          <String><Locale LCID="9">, more</Locale></String>
          <String ID="EMPTY"><Locale LCID="9"/></String>
          <String ID="CUT"><Locale LCID="9">kept<b>inner</b>lost</Locale></String>
        </StringTable>
        <StringTable>
          <String ID="X"><Locale LCID="9">no id</Locale></String>
        </StringTable>
        <StringTable ID="|App"><String ID="LATER"><Locale LCID="9">later</Locale></String></StringTable>
        <UnknownElement ID="ignored"/>
      </StringTables>)"),
              S_OK);
    EXPECT_EQ(Narrow(loaded.store.applicationName), "App");
    struct Row {
        const char16_t* table;
        const char16_t* id;
        const char* text;
    };
    const Row rows[] = {
        {u"|App", u"AMP", "Load & Save"},
        {u"|App", u"TWICE", "one, two"},
        {u"|App", u"GERMAN_ONLY", ", more"},  // a String without ID keeps the previous one
        {u"|App", u"EMPTY", ""},
        {u"|App", u"CUT", "keptinner"},  // any end tag stops the text
        {u"|App", u"LATER", "later"},
        {u"", u"X", "no id"},
        {u"Other", u"X", "<no table>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(Lookup(loaded.store, row.table, row.id), row.text);
    }
    EXPECT_EQ(loaded.store.matchCount, 8);
}

TEST(StringTableReaderTest, TablesOfControlsAreKeyedByTheirParentClass)
{
    SkinTest::Loaded loaded;
    loaded.store.languageId = 9;
    ASSERT_EQ(loaded.ParseStrings(R"(<r><Application Name="ZiroruVovizu"/>
        <StringTable ID="ZiroruVovizu.DialogAbout|labelProduct"><String ID="LABEL"><Locale LCID="9">Product</Locale></String></StringTable>
        <StringTable ID="ZiroruVovizu|toolTip"><String ID="T"><Locale LCID="9">tip</Locale></String></StringTable>
        <StringTable ID="|ZiroruVovizu"><String ID="D"><Locale LCID="9">default</Locale></String></StringTable></r>)"),
              S_OK);
    LControlDescriptor about;
    about.className = String(u"ZiroruVovizu.DialogAbout");
    LControlDescriptor other;
    other.className = String(u"ZiroruVovizu.Other");
    EXPECT_TRUE(loaded.store.GetStringTable(&about, String(u"labelProduct")));
    EXPECT_FALSE(loaded.store.GetStringTable(&other, String(u"labelProduct")));
    EXPECT_TRUE(loaded.store.GetStringTable(nullptr, String(u"toolTip")));

    // The copy handed out is the caller's own.
    RCPtr<LStringTable> copy = loaded.store.GetStringTable(nullptr, String(u"toolTip"));
    EXPECT_GE(copy->SetString(String(u"T"), String(u"changed")), 0);
    EXPECT_EQ(Lookup(loaded.store, u"ZiroruVovizu|toolTip", u"T"), "tip");
}

}  // namespace
