#include <gtest/gtest.h>

#include "LMenuItemDescriptor.h"

namespace {

using namespace QV;

// Counts live descriptors, so a cycle that is never broken shows as a leak.
class CountedEntry : public LMenuItemDescriptor {
public:
    explicit CountedEntry(const char16_t* text) : LMenuItemDescriptor(text, u"NID_X", true, false, false) { ++live; }
    ~CountedEntry() override { --live; }
    static inline int live = 0;
};

TEST(MenuDescriptorTest, FactoriesSetFlagsAndInsertSetsParent)
{
    RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
    EXPECT_EQ(0, menu->InsertItem(0, u"Cut", u"NID_EDIT_CUT_REQ", true, false));
    EXPECT_EQ(1, menu->InsertSeparator(1));
    EXPECT_EQ(0, menu->InsertItem(0, u"First", u"NID_FIRST", false, true));
    ASSERT_EQ(3u, menu->GetItemCount());

    const RCPtr<LMenuItemDescriptor> sep = menu->GetItem(2);
    EXPECT_TRUE(sep->IsSeparator());
    EXPECT_TRUE(sep->IsEnabled());
    EXPECT_FALSE(sep->IsChecked());
    EXPECT_TRUE(sep->GetText().IsEmpty());
    EXPECT_TRUE(sep->GetKey().IsEmpty());
    EXPECT_EQ(menu.Get(), sep->GetParent());
    EXPECT_EQ(String(u"Cut"), menu->GetItem(1)->ToString());
    EXPECT_EQ(String(u"NID_EDIT_CUT_REQ"), menu->GetItem(1)->GetKey());
    EXPECT_EQ(nullptr, menu->GetItem(3));
}

TEST(MenuDescriptorTest, InsertPastEndFailsAndLeavesEntryAlone)
{
    RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
    RCPtr<LMenuItemDescriptor> entry = CreateMenuItemDescriptor(u"A", u"NID_A", true, false);
    EXPECT_LT(menu->InsertItem(1, entry), 0);
    EXPECT_EQ(0u, menu->GetItemCount());
    EXPECT_EQ(nullptr, entry->GetParent());
    EXPECT_EQ(1, entry->GetRefCount());
}

TEST(MenuDescriptorTest, ItemInfoResetsOutOfRange)
{
    RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
    EXPECT_GE(menu->InsertItem(0, u"Paste", u"NID_EDIT_PASTE_REQ", false, true), 0);
    LMenuItemInfo info;
    ASSERT_EQ(S_OK, menu->GetItemInfo(0, info));
    EXPECT_EQ(0, info.enabled);
    EXPECT_EQ(1, info.checked);
    EXPECT_EQ(String(u"Paste"), info.text);
    EXPECT_EQ(E_INVALIDARG, menu->GetItemInfo(1, info));
    EXPECT_EQ(0, info.enabled);
    EXPECT_EQ(0, info.checked);
    EXPECT_TRUE(info.text.IsEmpty());
}

TEST(MenuDescriptorTest, MovingAnEntryMovesTheInternalReference)
{
    RCPtr<LMenuDescriptor> a(new LMenuDescriptor());
    RCPtr<LMenuDescriptor> b(new LMenuDescriptor());
    RCPtr<LMenuItemDescriptor> entry = CreateMenuItemDescriptor(u"A", u"NID_A", true, false);
    EXPECT_GE(a->AddItem(entry), 0);
    EXPECT_EQ(1, a->GetInternalRefCount());
    entry->SetParent(b.Get());
    EXPECT_EQ(0, a->GetInternalRefCount());
    EXPECT_EQ(1, b->GetInternalRefCount());
    EXPECT_EQ(1, a->GetRefCount());
    entry->SetParent(nullptr);
    EXPECT_EQ(0, b->GetInternalRefCount());
}

TEST(MenuDescriptorTest, TreeWithBackPointersIsFreedWithItsLastReference)
{
    CountedEntry::live = 0;
    {
        RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
        RCPtr<LMenuItemDescriptor> sub(new CountedEntry(u"Sub"));
        EXPECT_GE(menu->AddItem(sub), 0);
        EXPECT_GE(sub->AddItem(RCPtr<LMenuItemDescriptor>(new CountedEntry(u"Leaf1"))), 0);
        EXPECT_GE(sub->AddItem(RCPtr<LMenuItemDescriptor>(new CountedEntry(u"Leaf2"))), 0);
        EXPECT_EQ(3, CountedEntry::live);
        // Back pointers keep nothing alive: an entry held from outside
        // survives its menu, detached.
        RCPtr<LMenuItemDescriptor> leaf = sub->GetItem(1);
        sub = nullptr;
        menu = nullptr;
        EXPECT_EQ(1, CountedEntry::live);
        EXPECT_EQ(String(u"Leaf2"), leaf->GetText());
        EXPECT_EQ(nullptr, leaf->GetParent());
        EXPECT_EQ(1, leaf->GetRefCount());
    }
    EXPECT_EQ(0, CountedEntry::live);
}

TEST(MenuDescriptorTest, CloneIsDeepAndParentedToTheCopy)
{
    CountedEntry::live = 0;
    {
        RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
        RCPtr<LMenuItemDescriptor> sub(new CountedEntry(u"Sub"));
        sub->SetHelpText(u" help");
        sub->SetSecondText(u"second");
        sub->SetChecked(true);
        EXPECT_GE(menu->AddItem(sub), 0);
        EXPECT_GE(sub->AddItem(RCPtr<LMenuItemDescriptor>(new CountedEntry(u"Leaf"))), 0);
        EXPECT_GE(menu->InsertSeparator(1), 0);

        RCPtr<LMenuDescriptor> copy = menu->Clone();
        EXPECT_EQ(nullptr, copy->GetParent());
        ASSERT_EQ(2u, copy->GetItemCount());
        const RCPtr<LMenuItemDescriptor> csub = copy->GetItem(0);
        EXPECT_NE(sub.Get(), csub.Get());
        EXPECT_EQ(copy.Get(), csub->GetParent());
        EXPECT_EQ(String(u"Sub"), csub->GetText());
        EXPECT_EQ(String(u" help"), csub->GetHelpText());
        EXPECT_EQ(String(u"second"), csub->GetSecondText());
        EXPECT_EQ(String(u"NID_X"), csub->GetKey());
        EXPECT_TRUE(csub->IsChecked());
        ASSERT_EQ(1u, csub->GetItemCount());
        EXPECT_EQ(csub.Get(), csub->GetItem(0)->GetParent());
        EXPECT_NE(sub->GetItem(0).Get(), csub->GetItem(0).Get());
        EXPECT_TRUE(copy->GetItem(1)->IsSeparator());

        // Changing the source does not reach the copy.
        sub->SetText(u"Changed");
        menu->RemoveAllItems();
        EXPECT_EQ(String(u"Sub"), csub->GetText());
        EXPECT_EQ(1u, csub->GetItemCount());
    }
    EXPECT_EQ(0, CountedEntry::live);
}

}  // namespace
