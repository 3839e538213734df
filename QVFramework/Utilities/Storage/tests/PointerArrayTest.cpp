#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ConstRCPtrArray.h"
#include "LRCPtrArray.h"
#include "LWrapper.h"
#include "ParamValues.h"
#include "RCPtrArray.h"
#include "TestObjects.h"

namespace QV {
namespace {

// Three zones held by the fixture, so their counts can be read.
class PointerArrayTest : public ::testing::Test {
protected:
    RCPtr<LZone> a{new LZone(1)}, b{new LZone(2)}, c{new LZone(3)};

    template <class Arr>
    static std::vector<int> Ids(const Arr& array)
    {
        std::vector<int> ids;
        for (uint32_t i = 0; i < array.GetCount(); ++i) {
            const LZone* z = array.GetItemPtr(i)->Get();
            ids.push_back(z ? z->id : 0);
        }
        return ids;
    }

    template <class Arr>
    void FillAbc(Arr& array)
    {
        array.AddItem(a);
        array.AddItem(b);
        array.AddItem(c);
    }

    template <class F>
    static std::string MessageOf(F f)
    {
        try {
            f();
        } catch (const std::out_of_range& e) {
            return e.what();
        }
        return "no error";
    }
};

TEST_F(PointerArrayTest, EachSlotHoldsOneReference)
{
    {
        RCPtrArray<LZone> array;
        FillAbc(array);
        EXPECT_GE(array.InsertItem(0, a), 0);
        EXPECT_EQ(a->GetRefCount(), 3);
        EXPECT_EQ(array.InsertItems(1, 2), 6);
        EXPECT_EQ(Ids(array), (std::vector<int>{1, 0, 0, 1, 2, 3}));
        EXPECT_EQ(array.SwapItems(0, 5), S_OK);
        EXPECT_EQ(a->GetRefCount(), 3);
        EXPECT_EQ(c->GetRefCount(), 2);
        EXPECT_EQ(array.SetCount(4), 4);  // releases b and the moved a
        EXPECT_EQ(b->GetRefCount(), 1);
        EXPECT_EQ(Ids(array), (std::vector<int>{3, 0, 0, 1}));
    }
    EXPECT_EQ(a->GetRefCount(), 1);
    EXPECT_EQ(c->GetRefCount(), 1);
}

TEST_F(PointerArrayTest, RemoveItemHandsOverTheReference)
{
    RCPtrArray<LZone> array;
    FillAbc(array);
    RCPtr<LZone> out = c;
    EXPECT_EQ(array.RemoveItem(1, out), 2);
    EXPECT_EQ(out.Get(), b.Get());
    EXPECT_EQ(b->GetRefCount(), 2);
    EXPECT_EQ(c->GetRefCount(), 2);
    EXPECT_EQ(Ids(array), (std::vector<int>{1, 3}));
}

TEST_F(PointerArrayTest, InsertingAnElementOfTheSameArray)
{
    RCPtrArray<LZone> array;
    FillAbc(array);
    EXPECT_GE(array.InsertItem(0, *array.GetItemPtr(2)), 0);
    EXPECT_EQ(Ids(array), (std::vector<int>{3, 1, 2, 3}));
    EXPECT_EQ(c->GetRefCount(), 3);
}

TEST_F(PointerArrayTest, RemoveItemOutOfRangeRaisesAndChangesNothing)
{
    RCPtrArray<LZone> array;
    FillAbc(array);
    RCPtr<LZone> out = a;
    ConstRCPtr<LZone> constOut = a;
    ConstRCPtrArray<LZone> constArray;
    EXPECT_EQ(MessageOf([&] { (void)array.RemoveItem(3, out); }),
              "Out of Range : QV::RCPtrArray<class LZone,1,0>::RemoveItem : "
              "Utilities\\Storage\\RCPtrArray : Line 175");
    EXPECT_EQ(MessageOf([&] { constArray.RemoveItem(0, constOut); }),
              "Out of Range : QV::ConstRCPtrArray<class LZone,1,0>::RemoveItem : "
              "Utilities\\Storage\\ConstRCPtrArray : Line 216");
    EXPECT_EQ(out.Get(), a.Get());
    EXPECT_EQ(constOut.Get(), a.Get());
    EXPECT_EQ(Ids(array), (std::vector<int>{1, 2, 3}));
}

TEST_F(PointerArrayTest, RemoveItemsPastTheEndRemovesThenRaisesTheBaseError)
{
    RCPtrArray<LZone> array;
    FillAbc(array);
    EXPECT_EQ(MessageOf([&] { array.RemoveItems(2, 2); }),
              "Out of Range : QV::ConstRCPtrArray<class LZone,1,0>::RemoveItem : "
              "Utilities\\Storage\\ConstRCPtrArray : Line 216");
    EXPECT_EQ(Ids(array), (std::vector<int>{1, 2}));
    EXPECT_EQ(c->GetRefCount(), 1);
    EXPECT_EQ(array.RemoveItems(7, 0), 2);
}

TEST_F(PointerArrayTest, MessageNamesATemplateElement)
{
    using Wrapped = LWrapper<ParamValues, LRefCountedObject>;
    ConstRCPtrArray<Wrapped, 256, 256> array;
    ConstRCPtr<Wrapped> out;
    EXPECT_EQ(MessageOf([&] { array.RemoveItem(0, out); }),
              "Out of Range : QV::ConstRCPtrArray<class QV::LWrapper<class QV::ParamValues,"
              "class QV::LRefCountedObject>,256,256>::RemoveItem : "
              "Utilities\\Storage\\ConstRCPtrArray : Line 216");
    RCPtr<Wrapped> w(new Wrapped);
    EXPECT_STREQ(w->GetTypeName(),
                 "class QV::LWrapper<class QV::ParamValues,class QV::LRefCountedObject>");
}

TEST_F(PointerArrayTest, RemoveLastItem)
{
    RCPtrArray<LZone> array;
    RCPtr<LZone> out = a;
    EXPECT_EQ(array.RemoveLastItem(out), E_FAIL);
    EXPECT_TRUE(out.IsNull());
    FillAbc(array);
    EXPECT_EQ(array.RemoveLastItem(out), 2);
    EXPECT_EQ(out.Get(), c.Get());
    EXPECT_EQ(c->GetRefCount(), 2);
}

TEST_F(PointerArrayTest, ConstructorCountsAndEmptyArray)
{
    ConstRCPtrArray<LZone, 16, 16> array(3, 10);
    EXPECT_EQ(array.GetCount(), 3u);
    EXPECT_TRUE(array.GetItemPtr(2)->IsNull());
    ConstRCPtrArray<LZone> empty;
    EXPECT_EQ(empty.GetFirst(), nullptr);
    EXPECT_EQ(empty.GetEnd(), nullptr);
    int visited = 0;
    for (const auto& p : empty) visited += p.IsNull() ? 1 : 2;
    EXPECT_EQ(visited, 0);
}

TEST_F(PointerArrayTest, AppendAcquiresAndCopiesShareObjects)
{
    RCPtrArray<LZone> array;
    FillAbc(array);
    RCPtrArray<LZone> copy(array);
    EXPECT_EQ(copy.Append(array), 6);
    EXPECT_EQ(Ids(copy), (std::vector<int>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(a->GetRefCount(), 4);
}

TEST_F(PointerArrayTest, SharedListIsCountedAndTagged)
{
    RCPtr<LRCPtrArray<LZone>> list(new LRCPtrArray<LZone>);
    list->AddItem(a);
    list->SetTag(42);
    RCPtr<LRCPtrArray<LZone>> other = list;
    EXPECT_EQ(list->GetRefCount(), 2);
    EXPECT_EQ(other->GetTag(), 42u);
    EXPECT_STREQ(list->GetTypeName(), "class QV::LRCPtrArray<class LZone,1,0>");
    list.Reset();
    other.Reset();
    EXPECT_EQ(a->GetRefCount(), 1);
}

}  // namespace
}  // namespace QV
