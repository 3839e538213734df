#include <gtest/gtest.h>

#include "LStringTable.h"
#include "SkinTestSupport.h"

namespace {

using namespace QV;
using QV::SkinTest::Narrow;

TEST(LStringTableTest, SetAndGet)
{
    RCPtr<LStringTable> table(new LStringTable);
    EXPECT_EQ(table->SetString(String(u"B"), String(u"one")), S_OK);
    EXPECT_EQ(table->SetString(String(u"B"), String(u"two")), 1);
    EXPECT_EQ(table->SetString(String(), String(u"x")), E_INVALIDARG);
    String text(u"untouched");
    EXPECT_FALSE(table->GetString(String(u"b"), text));  // IDs are case-sensitive
    EXPECT_EQ(Narrow(text), "untouched");
    EXPECT_TRUE(table->GetString(String(u"B"), text));
    EXPECT_EQ(Narrow(text), "two");
}

TEST(LStringTableTest, PrefixLookupKeepsWholeIdsInOrder)
{
    RCPtr<LStringTable> table(new LStringTable);
    for (const char16_t* id : {u"MENU.02", u"MENU", u"CONTEXT_MENU.01", u"MENU.01", u"MENUX", u"menu.03"}) {
        EXPECT_GE(table->SetString(String(id), String(u"t")), 0);
    }
    LStringTable::Pairs pairs{{String(u"stale"), String(u"x")}};
    EXPECT_EQ(table->GetStringsWithPrefix(String(u"MENU."), pairs), S_OK);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(Narrow(pairs[0].first), "MENU.01");
    EXPECT_EQ(Narrow(pairs[1].first), "MENU.02");
    table->GetStringsWithPrefix(String(u"MENU"), pairs);
    EXPECT_EQ(pairs.size(), 4u);  // an ID equal to the prefix counts
    table->GetAllStrings(pairs);
    ASSERT_EQ(pairs.size(), 6u);
    EXPECT_EQ(Narrow(pairs[0].first), "CONTEXT_MENU.01");
}

TEST(LStringTableTest, CopiesAreIndependent)
{
    RCPtr<LStringTable> table(new LStringTable);
    EXPECT_GE(table->SetString(String(u"A"), String(u"1")), 0);
    ConstRCPtr<LStringTable> shared(table.Get());
    shared.Unshare();
    ASSERT_NE(shared.Get(), table.Get());
    EXPECT_GE(table->SetString(String(u"A"), String(u"2")), 0);
    String text;
    shared->GetString(String(u"A"), text);
    EXPECT_EQ(Narrow(text), "1");
}

}  // namespace
