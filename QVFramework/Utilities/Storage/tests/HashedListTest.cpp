#include "HashedList.h"

#include <gtest/gtest.h>

#include <string>

#include "RCPtrMap.h"
#include "TestObjects.h"

namespace QV {
namespace {

using List = HashedList<int32_t, int32_t, GetSelf<int32_t>, 8, GetBits<8, 4, int32_t>>;

struct Named {
    int32_t key;
    std::string text;
};
struct KeyOfNamed {
    int32_t operator()(const Named& n) const { return n.key; }
};
using NamedList = HashedList<Named, int32_t, KeyOfNamed>;

TEST(HashedListTest, AddReplacesTheValueOfAKnownKey)
{
    NamedList list;
    EXPECT_TRUE(list.Add({0x10, "first"}));
    EXPECT_FALSE(list.Add({0x10, "second"}));
    EXPECT_EQ(list.GetCount(), 1);
    ASSERT_NE(list.Find(0x10), nullptr);
    EXPECT_EQ(list.Find(0x10)->text, "second");
}

TEST(HashedListTest, KeysDifferingAboveBit11ShareABucketAndAreBothFound)
{
    NamedList list;
    const int32_t k1 = 0x0120;
    const int32_t k2 = 0x5120;  // same bits 4 to 11
    EXPECT_EQ((GetBits<8, 4, int32_t>{}(k1)), (GetBits<8, 4, int32_t>{}(k2)));
    list.Add({k1, "one"});
    list.Add({k2, "two"});
    EXPECT_EQ(list.Find(k1)->text, "one");
    EXPECT_EQ(list.Find(k2)->text, "two");
    EXPECT_TRUE(list.Remove(k1));
    EXPECT_EQ(list.Find(k1), nullptr);
    EXPECT_EQ(list.Find(k2)->text, "two");
    EXPECT_FALSE(list.Remove(k1));
    EXPECT_EQ(list.GetCount(), 1);
}

TEST(HashedListTest, FindAnswersTheDefaultForAMissingKey)
{
    NamedList list;
    Named fallback{0, "default"};
    EXPECT_EQ(list.Find(5, &fallback), &fallback);
    const NamedList& constList = list;
    EXPECT_EQ(constList.Find(5), nullptr);
}

TEST(HashedListTest, LowBitsHashForGlyphIds)
{
    EXPECT_EQ((GetBits<8, 0, int32_t>{}(0x1234)), 0x34u);
    EXPECT_EQ((GetBits<8, 4, int32_t>{}(0x1234)), 0x23u);
}

TEST(HashedListTest, RemoveAllEmptiesEveryBucket)
{
    List list;
    for (int32_t k = 0; k < 1000; k += 7) list.Add(k);
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Find(7), nullptr);
}

TEST(HashedListTest, EveryPairShowsTheKeyTypeName)
{
    List list;
    list.Add(1);
    list.Add(999);
    EXPECT_EQ(std::u16string(list.FindPair(1)->ToString().GetChars()), u"int");
    EXPECT_EQ(std::u16string(list.FindPair(999)->ToString().GetChars()), u"int");
}

TEST(RCPtrMapTest, KeysByObjectIdentity)
{
    RCPtr<LZone> k1(new LZone(1)), k2(new LZone(1)), v1(new LZone(10)), v2(new LZone(20));
    RCPtrMap<LZone, LZone> map;
    map.Set(k1, v1);
    map.Set(k2, v2);
    EXPECT_EQ(map.Find(k1).Get(), v1.Get());
    EXPECT_EQ(map.Find(k2).Get(), v2.Get());
    map.Set(k1, v2);  // same key object: the value is replaced
    EXPECT_EQ(map.GetCount(), 2);
    EXPECT_EQ(map.Find(k1).Get(), v2.Get());
    EXPECT_EQ(v1->GetRefCount(), 1);
    map.Set(nullptr, v1);
    EXPECT_EQ(map.Find(ConstRCPtr<LZone>()).Get(), v1.Get());
    EXPECT_TRUE(map.Remove(k2));
    EXPECT_TRUE(map.Find(k2).IsNull());
    EXPECT_FALSE(map.Remove(k2));
}

}  // namespace
}  // namespace QV
