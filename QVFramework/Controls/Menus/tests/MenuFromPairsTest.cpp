#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LMenuItemDescriptor.h"
#include "MenuFromPairs.h"

namespace {

using namespace QV;

MenuPairs Pairs(std::initializer_list<std::pair<const char16_t*, const char16_t*>> list)
{
    MenuPairs pairs;
    for (const auto& [key, text] : list) EXPECT_GE(pairs.InsertItem(pairs.GetCount(), MenuPair(key, text)), 0);
    return pairs;
}

std::string Utf8(const String& s)
{
    return s.ToUtf8();
}

// The tree as text: "label[key]" per entry, "-" for a separator, "{...}" for a submenu.
std::string Describe(const LMenuDescriptor& menu)
{
    std::string out;
    for (uint32_t i = 0; i < menu.GetItemCount(); ++i) {
        const RCPtr<LMenuItemDescriptor> e = menu.GetItem(i);
        if (i) out += ",";
        if (e->IsSeparator()) {
            out += "-";
            continue;
        }
        out += Utf8(e->GetText());
        if (!e->GetKey().IsEmpty()) out += "[" + Utf8(e->GetKey()) + "]";
        if (e->GetItemCount()) out += "{" + Describe(*e) + "}";
        EXPECT_EQ(&menu, e->GetParent());
    }
    return out;
}

TEST(MenuFromPairsTest, BuildsTheTreeTheKeysDescribe)
{
    struct Row {
        const char* name;
        MenuPairs pairs;
        std::string expected;  // empty: no menu
    };
    const std::vector<Row> rows = {
        {"sequence gaps and repeats are dropped",
         Pairs({{u"00.A", u"a"}, {u"02.B", u"b"}, {u"01.C", u"c"}, {u"01.D", u"d"}}), "a[A],c[C]"},
        {"submenu entry with its entries",
         Pairs({{u"00.A", u"a"},
                {u"01.Recent.", u"Recent"},
                {u"Recent.00.NID_X", u"x"},
                {u"Recent.01.NID_Y", u"y"},
                {u"02.B", u"b"}}),
         "a[A],Recent{x[NID_X],y[NID_Y]},b[B]"},
        {"unknown submenu is left out but still counts",
         Pairs({{u"00.A", u"a"}, {u"01.Recent.", u"Recent"}, {u"02.B", u"b"}}), "a[A],b[B]"},
        {"separator whatever its text", Pairs({{u"00.A", u"a"}, {u"01.-", u"anything"}, {u"02.B", u"b"}}),
         "a[A],-,b[B]"},
        {"nested submenus", Pairs({{u"00.Top.", u"Top"}, {u"Top.00.Inner.", u"Inner"}, {u"Inner.00.NID_Z", u"z"}}),
         "Top{Inner{z[NID_Z]}}"},
        {"a submenu naming itself is built once",
         Pairs({{u"00.Loop.", u"Loop"}, {u"Loop.00.NID_A", u"a"}, {u"Loop.01.Loop.", u"Again"}}), "Loop{a[NID_A]}"},
        {"two submenus naming each other",
         Pairs({{u"00.P.", u"P"}, {u"P.00.Q.", u"Q"}, {u"Q.00.P.", u"P again"}, {u"Q.01.NID_Q", u"q"}}),
         "P{Q{q[NID_Q]}}"},
        {"keys with fewer than two parts and empty first parts are skipped",
         Pairs({{u"NID_A", u"a"}, {u".00.NID_B", u"b"}, {u"00.NID_C", u"c"}}), "c[NID_C]"},
        {"leading digits give the position", Pairs({{u"0x.A", u"a"}, {u"1.B", u"b"}}), "a[A],b[B]"},
        {"nothing built", Pairs({{u"05.A", u"a"}}), ""},
        {"empty definition", Pairs({}), ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const RCPtr<LMenuDescriptor> menu = CreateMenuDescriptorFromPairs(row.pairs);
        if (row.expected.empty()) {
            EXPECT_EQ(nullptr, menu);
            continue;
        }
        ASSERT_NE(nullptr, menu);
        EXPECT_EQ(nullptr, menu->GetParent());
        EXPECT_EQ(row.expected, Describe(*menu));
    }
}

TEST(MenuFromPairsTest, HelpTextSplitsAtTheFirstBarKeepingSpaces)
{
    const RCPtr<LMenuDescriptor> menu =
        CreateMenuDescriptorFromPairs(Pairs({{u"00.NID_LOAD", u"Load Preset | Load Preset from disk."},
                                             {u"01.NID_PLAIN", u"Plain"},
                                             {u"02.NID_TWO", u"a|b|c"},
                                             {u"03.Sub.", u"Sub|Opens"},
                                             {u"Sub.00.NID_S", u"s"}}));
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(4u, menu->GetItemCount());
    EXPECT_EQ(String(u"Load Preset "), menu->GetItem(0)->GetText());
    EXPECT_EQ(String(u" Load Preset from disk."), menu->GetItem(0)->GetHelpText());
    EXPECT_EQ(String(u"Plain"), menu->GetItem(1)->GetText());
    EXPECT_TRUE(menu->GetItem(1)->GetHelpText().IsEmpty());
    EXPECT_EQ(String(u"a"), menu->GetItem(2)->GetText());
    EXPECT_EQ(String(u"b|c"), menu->GetItem(2)->GetHelpText());
    EXPECT_EQ(String(u"Opens"), menu->GetItem(3)->GetHelpText());
    EXPECT_TRUE(menu->GetItem(3)->GetKey().IsEmpty());
    EXPECT_TRUE(menu->GetItem(0)->IsEnabled());
    EXPECT_FALSE(menu->GetItem(0)->IsChecked());
}

TEST(MenuFromPairsTest, BuildEmptiesAnExistingTarget)
{
    RCPtr<LMenuDescriptor> target(new LMenuDescriptor());
    EXPECT_GE(target->AddItem(u"Old", u"NID_OLD"), 0);
    ASSERT_EQ(S_OK, BuildMenuFromPairs(Pairs({{u"NID_NEW", u"New"}}), {}, target));
    EXPECT_EQ("New[NID_NEW]", Describe(*target));
}

TEST(MenuFromPairsTest, SplitKeepsInnerEmptyPartsButNoTrailingOne)
{
    struct Row {
        const char16_t* text;
        std::vector<std::string> parts;
    };
    const std::vector<Row> rows = {
        {u"abc", {"abc"}},     {u"a.b", {"a", "b"}}, {u"a..b", {"a", "", "b"}},
        {u"a.b.", {"a", "b"}}, {u".a", {"", "a"}},   {u"", {""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Utf8(row.text));
        const Array<String> parts = SplitString(row.text, u".");
        std::vector<std::string> got;
        for (uint32_t i = 0; i < parts.GetCount(); ++i) got.push_back(Utf8(*parts.GetItemPtr(i)));
        EXPECT_EQ(row.parts, got);
    }
}

}  // namespace
