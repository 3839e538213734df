#include "Variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "ParamValues.h"

namespace QV {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Record(uint32_t length, uint32_t one, int32_t type, const Bytes& data = {})
{
    Bytes r;
    for (uint32_t w : {length, one, static_cast<uint32_t>(type)})
        for (int i = 0; i < 4; ++i) r.push_back(static_cast<uint8_t>(w >> (8 * i)));
    r.insert(r.end(), data.begin(), data.end());
    return r;
}

Bytes DataOf(const Variant& v)
{
    uint32_t n = 0;
    const uint8_t* p = v.GetData(n);
    return p ? Bytes(p, p + n) : Bytes();
}

Variant Make(const std::function<void(Variant&)>& set)
{
    Variant v;
    set(v);
    return v;
}

const uint8_t kBlock[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09};
const uint8_t kShort[] = {0xFE, 0x01};

struct GetterCase {
    const char* name;
    Variant value;
    bool asBool;
    uint8_t asUInt8;
    int16_t asInt16;
    uint16_t asUInt16;
    int32_t asInt32;
    uint32_t asUInt32;
    int64_t asInt64;
    uint64_t asUInt64;
    double asDouble;  // GetAsFloat: this narrowed; for blocks and text, asInt32
};

std::vector<GetterCase> GetterCases()
{
    const double big = 18446744073709551615.0;
    return {
        {"empty", Variant(), false, 0, 0, 0, 0, 0, 0, 0, 0},
        {"bool true", Variant(true), true, 1, 1, 1, 1, 1, 1, 1, 1},
        {"bool holding 2", Make([](Variant& v) { const uint8_t b = 2; v.SetData(1, &b, 1); }),
         true, 1, 2, 2, 2, 2, 2, 2, 2},
        {"int8 -1", Variant(int8_t{-1}), true, 255, -1, 65535, -1, 4294967295u, -1,
         18446744073709551615ull, -1},
        {"uint8 200", Variant(uint8_t{200}), true, 200, 200, 200, 200, 200, 200, 200, 200},
        {"int16 -300", Variant(int16_t{-300}), true, 0xD4, -300, 65236, -300, 4294966996u, -300,
         18446744073709551316ull, -300},
        {"uint16 65535", Variant(uint16_t{65535}), true, 255, -1, 65535, 65535, 65535, 65535, 65535,
         65535},
        {"int32 -70000", Variant(int32_t{-70000}), true, 0x90, static_cast<int16_t>(0xEE90), 0xEE90,
         -70000, 4294897296u, -70000, 18446744073709481616ull, -70000},
        {"uint32 max", Variant(uint32_t{0xFFFFFFFF}), true, 255, -1, 65535, -1, 0xFFFFFFFF,
         4294967295, 4294967295, 4294967295.0},
        {"float 2.5", Variant(2.5f), true, 3, 3, 3, 3, 3, 3, 3, 2.5},
        {"float -2.5", Variant(-2.5f), true, 253, -3, 65533, -3, 4294967293u, -3,
         18446744073709551613ull, -2.5},
        {"float 0.49", Variant(0.49f), true, 0, 0, 0, 0, 0, 0, 0, static_cast<double>(0.49f)},
        {"double 1e10 saturates to 32 bits", Variant(1e10), true, 255, static_cast<int16_t>(0xFFFF),
         0xFFFF, std::numeric_limits<int32_t>::max(), static_cast<uint32_t>(10000000000ll),
         10000000000ll, 10000000000ull, 1e10},
        {"double NaN is true", Variant(std::nan("")), true, 0, 0, 0, 0, 0, 0, 0, std::nan("")},
        {"int64 low bits", Variant(int64_t{0x123456789A}), true, 0x9A, 0x789A, 0x789A, 0x3456789A,
         0x3456789A, 0x123456789A, 0x123456789A, static_cast<double>(0x123456789A)},
        {"uint64 max", Variant(uint64_t{0xFFFFFFFFFFFFFFFF}), true, 255, -1, 65535, -1, 0xFFFFFFFF,
         -1, 0xFFFFFFFFFFFFFFFF, big},
        {"borrowed 9 bytes",
         Make([](Variant& v) { v.SetBorrowed(kBlock, sizeof kBlock); }), true, 0x01, 0x0201,
         0x0201, 0x04030201, 0x04030201, 0x0807060504030201, 0x0807060504030201,
         static_cast<double>(0x0807060504030201)},
        {"borrowed 2 bytes zero-extends",
         Make([](Variant& v) { v.SetBorrowed(kShort, sizeof kShort); }), true, 0xFE, 0x01FE,
         0x01FE, 0x01FE, 0x01FE, 0x01FE, 0x01FE, 0x01FE},
        {"borrowed null reads 0", Make([](Variant& v) { v.SetBorrowed(nullptr, 8); }), false, 0, 0,
         0, 0, 0, 0, 0, 0},
        {"hidden borrowed", Make([](Variant& v) { v.SetBorrowed(kShort, sizeof kShort, true); }),
         true, 0xFE, 0x01FE, 0x01FE, 0x01FE, 0x01FE, 0x01FE, 0x01FE, 0x01FE},
        {"blob 3 bytes", Make([](Variant& v) { v.SetBlob(kBlock, 3); }), true, 0x01, 0x0201, 0x0201,
         0x030201, 0x030201, 0x030201, 0x030201, 0x030201},
        {"blob empty", Make([](Variant& v) { v.SetBlob(nullptr, 0); }), false, 0, 0, 0, 0, 0, 0, 0,
         0},
        {"text abc", Variant("abc"), true, 3, 3, 3, 3, 3, 3, 3, 3},
        {"text empty", Variant(""), false, 0, 0, 0, 0, 0, 0, 0, 0},
        {"list", Make([](Variant& v) { const Variant i(int32_t{5}); v.SetArray(&i, 1); }), true, 0,
         0, 0, 0, 0, 0, 0, 0},
        {"empty list", Make([](Variant& v) { v.SetArray(static_cast<const Variant*>(nullptr), 0); }),
         false, 0, 0, 0, 0, 0, 0, 0, 0},
    };
}

TEST(VariantTest, GetterMatrix)
{
    for (const GetterCase& c : GetterCases()) {
        SCOPED_TRACE(c.name);
        const Variant& v = c.value;
        EXPECT_EQ(v.GetAsBool(), c.asBool);
        EXPECT_EQ(v.GetAsUInt8(), c.asUInt8);
        EXPECT_EQ(v.GetAsInt8(), static_cast<int8_t>(c.asUInt8));
        EXPECT_EQ(v.GetAsInt16(), c.asInt16);
        EXPECT_EQ(v.GetAsUInt16(), c.asUInt16);
        EXPECT_EQ(v.GetAsInt32(), c.asInt32);
        EXPECT_EQ(v.GetAsUInt32(), c.asUInt32);
        EXPECT_EQ(v.GetAsInt64(), c.asInt64);
        EXPECT_EQ(v.GetAsUInt64(), c.asUInt64);
        if (std::isnan(c.asDouble)) {
            EXPECT_TRUE(std::isnan(v.GetAsDouble()));
        } else {
            EXPECT_EQ(v.GetAsDouble(), c.asDouble);
            const bool viaInt32 = v.GetType() >= Variant::kBorrowed && v.GetType() <= Variant::kString;
            EXPECT_EQ(v.GetAsFloat(), viaInt32 ? static_cast<float>(c.asInt32)
                                               : static_cast<float>(c.asDouble));
        }
    }
}

TEST(VariantTest, EveryTypeCodeIsCovered)
{
    std::vector<bool> seen(Variant::kTypeCount, false);
    for (const GetterCase& c : GetterCases()) seen[c.value.GetType()] = true;
    for (int t = 0; t < Variant::kTypeCount; ++t) EXPECT_TRUE(seen[t]) << "type " << t;
}

TEST(VariantTest, DataAndBytesSizes)
{
    struct Case {
        Variant value;
        uint32_t dataSize;
        uint32_t bytesSize;
    };
    const Case cases[] = {
        {Variant(), 0, 0},
        {Variant(true), 1, 1},
        {Variant(int16_t{1}), 2, 2},
        {Variant(1.0f), 4, 4},
        {Variant(1.0), 8, 8},
        {Variant(uint64_t{1}), 8, 8},
        {Make([](Variant& v) { v.SetBorrowed(kBlock, 5); }), 5, 5},
        {Make([](Variant& v) { v.SetBorrowed(kBlock, 5, true); }), 5, 0},
        {Variant("ab"), 3, 3},
        {Make([](Variant& v) { const Variant i(true); v.SetArray(&i, 1); }), 13, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.GetType());
        uint32_t n = 99;
        const uint8_t* p = c.value.GetData(n);
        EXPECT_EQ(n, c.dataSize);
        EXPECT_EQ(p != nullptr, c.dataSize != 0);
        n = 99;
        p = c.value.GetBytes(n);
        EXPECT_EQ(n, c.bytesSize);
        EXPECT_EQ(p != nullptr, c.bytesSize != 0);
    }
}

TEST(VariantTest, LayoutIsTwentyFourBytesWithTheTypeLast)
{
    static_assert(sizeof(Variant) == 24);
    Variant v(uint16_t{0xBEEF});
    uint8_t raw[sizeof(Variant)];
    std::memcpy(raw, static_cast<const void*>(&v), sizeof raw);
    EXPECT_EQ(raw[8], 0xEF);
    EXPECT_EQ(raw[9], 0xBE);
    EXPECT_EQ(raw[20], 5);  // type code
}

TEST(VariantTest, AssignCopiesOwnedBlocksAndSharesBorrowedOnes)
{
    Variant text("hello");
    Variant copy;
    EXPECT_EQ(copy.Assign(text), Variant::kString);
    EXPECT_NE(copy.GetString(), text.GetString());
    EXPECT_STREQ(copy.GetString(), "hello");

    Variant borrowed;
    borrowed.SetBorrowed(kBlock, 4);
    Variant other(borrowed);
    uint32_t n = 0;
    EXPECT_EQ(other.GetData(n), kBlock);
    EXPECT_EQ(other, borrowed);
}

TEST(VariantTest, SelfAssignmentKeepsTheOwnedBlock)
{
    Variant v;
    v.SetBlob(kBlock, 4);
    const Variant& same = v;
    v = same;
    EXPECT_EQ(v.GetType(), Variant::kBlob);
    EXPECT_EQ(DataOf(v), Bytes(kBlock, kBlock + 4));
}

TEST(VariantTest, SettersReplaceOwnedContents)
{
    Variant v("text");
    v.SetInt32(9);
    EXPECT_EQ(v.GetType(), Variant::kInt32);
    EXPECT_EQ(v.GetLength(), 0u);
    EXPECT_EQ(v.GetString(), nullptr);
    v.Clear();
    EXPECT_TRUE(v.IsEmpty());
}

TEST(VariantTest, Equality)
{
    EXPECT_EQ(Variant(), Variant());
    EXPECT_EQ(Variant(int32_t{3}), Variant(int32_t{3}));
    EXPECT_FALSE(Variant(int32_t{3}) == Variant(uint32_t{3}));
    EXPECT_FALSE(Variant(std::nan("")) == Variant(std::nan("")));
    EXPECT_EQ(Variant(0.0), Variant(-0.0));
    EXPECT_EQ(Variant("abc"), Variant("abc"));
    EXPECT_FALSE(Variant("abc") == Variant("abd"));
    const uint8_t copy[] = {1, 2, 3, 4};
    Variant a, b;
    a.SetBorrowed(kBlock, 4);
    b.SetBorrowed(copy, 4);
    EXPECT_FALSE(a == b);  // borrowed blocks compare by address
    a.SetBlob(kBlock, 4);
    b.SetBlob(copy, 4);
    EXPECT_EQ(a, b);
}

TEST(VariantTest, OrderingAndSign)
{
    struct Case {
        Variant a, b;
        bool less;
    };
    const Case cases[] = {
        {Variant(int32_t{-1}), Variant(int32_t{0}), true},
        {Variant(int32_t{0}), Variant(int32_t{-1}), false},
        {Variant(int64_t{-1}), Variant(uint64_t{0xFFFFFFFFFFFFFFFF}), true},
        {Variant(uint64_t{0xFFFFFFFFFFFFFFFF}), Variant(int64_t{-1}), false},
        {Variant(int8_t{2}), Variant(2.5), true},
        {Variant(1.0), Variant(1.0), false},
        {Variant("abc"), Variant("abd"), true},
        {Variant("ab"), Variant("abc"), true},
        {Variant(), Variant(false), true},
        {Variant(int32_t{1000}), Variant("a"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.a.GetType()) + " < " + std::to_string(c.b.GetType()));
        EXPECT_EQ(c.a.IsLess(c.b), c.less);
    }
    EXPECT_TRUE(Variant(int16_t{-1}).IsNegative());
    EXPECT_TRUE(Variant(-0.5f).IsNegative());
    EXPECT_FALSE(Variant(uint32_t{0xFFFFFFFF}).IsNegative());
    EXPECT_FALSE(Variant(std::nan("")).IsNegative());
    EXPECT_FALSE(Variant("-1").IsNegative());
}

TEST(VariantTest, SetArrayPacksRecordsByteExact)
{
    const Variant items[] = {Variant(int32_t{7}), Variant(true)};
    Variant list;
    EXPECT_EQ(list.SetArray(items, 2), Variant::kArray);
    Bytes expected = Record(16, 1, 6, {7, 0, 0, 0});
    const Bytes second = Record(13, 1, 1, {1});
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(list.GetLength(), 29u);
    EXPECT_EQ(DataOf(list), expected);

    const Variant* pointers[] = {&items[0], &items[1]};
    Variant same;
    same.SetArray(pointers, 2);
    EXPECT_EQ(same, list);

    Variant item;
    EXPECT_EQ(list.GetArrayItem(1, item), 0);
    EXPECT_EQ(item, Variant(true));
    EXPECT_EQ(list.GetArrayItem(0, item), 0);
    EXPECT_EQ(item, Variant(int32_t{7}));
    EXPECT_EQ(list.GetArrayItem(2, item), -1);
    EXPECT_TRUE(item.IsEmpty());
}

TEST(VariantTest, SetArrayOfNothingIsAnEmptyList)
{
    Variant list("old");
    EXPECT_EQ(list.SetArray(static_cast<const Variant*>(nullptr), 0), Variant::kArray);
    EXPECT_EQ(list.GetLength(), 0u);
    uint32_t n = 1;
    EXPECT_EQ(list.GetData(n), nullptr);
    Variant item;
    EXPECT_EQ(list.GetArrayItem(0, item), -1);
}

TEST(VariantTest, SetArrayMayPackItself)
{
    Variant list("abc");
    const Variant* pointers[] = {&list, &list};
    list.SetArray(pointers, 2);
    Variant item;
    ASSERT_EQ(list.GetArrayItem(1, item), 0);
    EXPECT_STREQ(item.GetString(), "abc");
}

TEST(VariantTest, EmptyBorrowedItemKeepsItsPlaceInAList)
{
    Variant items[2];
    items[0].SetBorrowed(kBlock, 0);
    items[1].SetInt16(5);
    Variant list;
    list.SetArray(items, 2);
    Variant item;
    ASSERT_EQ(list.GetArrayItem(1, item), 0);
    EXPECT_EQ(item, Variant(int16_t{5}));
}

TEST(VariantTest, GetArrayItemOnDamagedLists)
{
    struct Case {
        const char* name;
        Bytes list;
        uint32_t index;
        int32_t result;
        Variant item;
    };
    Bytes good = Record(13, 1, 1, {1});
    Bytes shortLength = Record(8, 1, 1, {1});
    Bytes zeroLength = Record(0, 1, 1, {1});
    Bytes negativeLength = Record(0x80000000u, 1, 1, {1});
    Bytes pastEnd = Record(14, 1, 1, {1});
    Bytes goodThenBad = good;
    goodThenBad.insert(goodThenBad.end(), {200, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0});
    Bytes goodThenFragment = good;
    goodThenFragment.insert(goodThenFragment.end(), {200, 0, 0, 0, 1});
    Bytes goodThenShort = good;
    goodThenShort.insert(goodThenShort.end(), {4, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0});
    Bytes goodThenShortThenGood = goodThenShort;
    goodThenShortThenGood.insert(goodThenShortThenGood.end(), good.begin(), good.end());
    const Case cases[] = {
        {"index past the count", good, 1, -1, Variant()},
        {"length below a header", shortLength, 0, -1, Variant()},
        {"length zero would never advance", zeroLength, 0, -1, Variant()},
        {"negative length", negativeLength, 0, -1, Variant()},
        {"four bytes are no record", Bytes{13, 0, 0, 0}, 0, -1, Variant()},
        {"length past the end", pastEnd, 0, -1, Variant()},
        {"a header alone is a record", Record(12, 1, 0, {}), 0, 0, Variant()},
        // The walk stops at a damaged record; the ones before it stay readable.
        {"a later length below a header: the first", goodThenShort, 0, 0, Variant(true)},
        {"a later length below a header: itself", goodThenShort, 1, -1, Variant()},
        {"a later record runs past the end: the first", goodThenBad, 0, 0, Variant(true)},
        {"a later record runs past the end: itself", goodThenBad, 1, -1, Variant()},
        {"a short record in the middle hides the rest", goodThenShortThenGood, 2, -1, Variant()},
        {"a trailing fragment: the first", goodThenFragment, 0, 0, Variant(true)},
        {"a trailing fragment has no header", goodThenFragment, 1, -1, Variant()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Variant list;
        list.SetData(Variant::kArray, c.list.data(), static_cast<uint32_t>(c.list.size()));
        Variant item(int32_t{1});
        EXPECT_EQ(list.GetArrayItem(c.index, item), c.result);
        EXPECT_EQ(item, c.item);
    }
    Variant blob;
    blob.SetBlob(good.data(), static_cast<uint32_t>(good.size()));
    Variant item;
    EXPECT_EQ(blob.GetArrayItem(0, item), -1);
}

TEST(VariantTest, GetArrayItemGivesABorrowedRecordAsAnOwnedBlob)
{
    Variant items[2];
    items[0].SetBorrowed(kBlock, 3);
    items[1].SetBorrowed(kBlock, 2, true);
    Variant list;
    list.SetArray(items, 2);
    for (uint32_t i = 0; i < 2; ++i) {
        Variant item;
        EXPECT_EQ(list.GetArrayItem(i, item), 0);
        EXPECT_EQ(item.GetType(), Variant::kBlob);
        EXPECT_EQ(DataOf(item), Bytes(kBlock, kBlock + 3 - i));
    }
}

TEST(VariantTest, GetArrayItemIntoTheListItself)
{
    const Variant items[] = {Variant("x"), Variant(int32_t{4})};
    Variant list;
    list.SetArray(items, 2);
    EXPECT_EQ(list.GetArrayItem(1, list), 0);
    EXPECT_EQ(list, Variant(int32_t{4}));
}

TEST(VariantTest, DecodingARecordFromTheItemsOwnBlock)
{
    const Variant items[] = {Variant("first"), Variant(int32_t{2})};
    Variant list;
    list.SetArray(items, 2);
    uint32_t n = 0;
    const uint8_t* records = list.GetData(n);
    EXPECT_EQ(VariantFromRecord(list, records, n), 0);
    EXPECT_STREQ(list.GetString(), "first");
}

TEST(VariantTest, RecordRoundTrips)
{
    Variant inner[2];
    inner[0].SetInt32(-4);
    inner[1] = Variant("name");
    Variant nested;
    nested.SetArray(inner, 2);
    Variant outerItems[] = {nested, Variant(uint64_t{1} << 40)};
    Variant outer;
    outer.SetArray(outerItems, 2);

    const Variant values[] = {
        Variant(true), Variant(int8_t{-3}), Variant(uint8_t{3}), Variant(int16_t{-300}),
        Variant(uint16_t{300}), Variant(int32_t{-70000}), Variant(uint32_t{70000}), Variant(1.5f),
        Variant(-2.25), Variant(int64_t{-5}), Variant(uint64_t{5}),
        Make([](Variant& v) { v.SetBlob(kBlock, 9); }), Variant("text"), Variant(""), nested,
        outer,
    };
    for (const Variant& v : values) {
        SCOPED_TRACE(v.GetType());
        uint32_t n = 0;
        v.GetData(n);
        Bytes record(n + 12);
        ASSERT_EQ(VariantToRecord(v, record.data(), static_cast<uint32_t>(record.size())),
                  static_cast<int32_t>(n + 12));
        Variant back;
        ASSERT_EQ(VariantFromRecord(back, record.data(), static_cast<uint32_t>(record.size())), 0);
        EXPECT_EQ(back, v);
        Bytes again(n + 12);
        EXPECT_GE(VariantToRecord(back, again.data(), static_cast<uint32_t>(again.size())), 0);
        EXPECT_EQ(again, record);
    }
}

TEST(VariantTest, EmptyRecords)
{
    Variant item(int32_t{1});
    Bytes empty = Record(12, 1, 0);
    EXPECT_EQ(VariantFromRecord(item, empty.data(), 12), 0);
    EXPECT_TRUE(item.IsEmpty());
    Bytes emptyList = Record(12, 1, 16);
    EXPECT_EQ(VariantFromRecord(item, emptyList.data(), 12), 0);
    EXPECT_EQ(item.GetType(), Variant::kArray);
    EXPECT_EQ(item.GetLength(), 0u);

    Bytes out(12);
    EXPECT_EQ(VariantToRecord(Variant(), out.data(), 12), 12);
    EXPECT_EQ(out, empty);
    EXPECT_EQ(VariantToRecord(item, out.data(), 12), 12);
    EXPECT_EQ(out, emptyList);
}

TEST(VariantTest, VariantFromRecordRefusals)
{
    struct Case {
        const char* name;
        Bytes record;
        uint32_t available;  // 0: the record's size
    };
    const Case cases[] = {
        {"header only of an int8", Record(12, 1, 5), 0},
        {"second word not 1", Record(13, 2, 1, {1}), 0},
        {"type 17", Record(13, 1, 17, {1}), 0},
        {"negative type", Record(13, 1, -1, {1}), 0},
        {"length below a header", Record(11, 1, 0), 0},
        // Refused before any data is read, whatever the caller claims is there.
        {"length of 2^31 reads as negative", Record(0x80000000u, 1, 15, {'a'}), 0xFFFFFFFF},
        {"length past what is available", Record(16, 1, 6, {1, 2, 3, 4}), 15},
        {"fewer than 12 bytes", Record(12, 1, 0), 11},
        {"int32 with 3 bytes", Record(15, 1, 6, {1, 2, 3}), 0},
        {"bool with 2 bytes", Record(14, 1, 1, {1, 1}), 0},
        {"type 0 with data", Record(13, 1, 0, {1}), 0},
        {"text without NUL", Record(15, 1, 15, {'a', 'b', 'c'}), 0},
        {"text whose NUL lies beyond its length", Record(14, 1, 15, {'a', 'b', 0}), 15},
        {"borrowed block", Record(14, 1, 12, {1, 2}), 0},
        {"hidden borrowed block", Record(14, 1, 13, {1, 2}), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Variant item;
        const uint32_t available = c.available ? c.available : static_cast<uint32_t>(c.record.size());
        EXPECT_EQ(VariantFromRecord(item, c.record.data(), available), E_FAIL);
    }
    Variant item;
    EXPECT_EQ(VariantFromRecord(item, nullptr, 100), E_FAIL);
}

TEST(VariantTest, BorrowedRecordLeavesAnOwnedBlob)
{
    Bytes record = Record(14, 1, 12, {1, 2});
    Variant item;
    EXPECT_EQ(VariantFromRecord(item, record.data(), 14), E_FAIL);
    EXPECT_EQ(item.GetType(), Variant::kBlob);
    EXPECT_EQ(DataOf(item), (Bytes{1, 2}));
}

TEST(VariantTest, TextRecordStopsAtItsFirstNul)
{
    Bytes record = Record(17, 1, 15, {'a', 0, 'b', 'c', 0});
    Variant item;
    EXPECT_EQ(VariantFromRecord(item, record.data(), 17), 0);
    EXPECT_STREQ(item.GetString(), "a");
    EXPECT_EQ(item.GetLength(), 2u);
}

TEST(VariantTest, VariantToRecordRefusals)
{
    const Variant value(int32_t{7});
    Bytes target(15, 0xAA);
    EXPECT_EQ(VariantToRecord(value, target.data(), 15), E_FAIL);
    EXPECT_EQ(target, Bytes(15, 0xAA));
    EXPECT_EQ(VariantToRecord(value, nullptr, 100), E_FAIL);
    Variant emptyBorrowed;
    emptyBorrowed.SetBorrowed(kBlock, 0);
    Bytes big(64);
    EXPECT_EQ(VariantToRecord(emptyBorrowed, big.data(), 64), E_FAIL);
}

TEST(VariantTest, SetDataNeedsTheTypesWidth)
{
    const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case {
        int32_t type;
        uint32_t length;
        int32_t result;
    };
    const Case cases[] = {
        {0, 1, 0}, {17, 1, 0},  {1, 1, 1},   {1, 2, 0},   {4, 2, 4},  {5, 1, 0},   {6, 4, 6},
        {8, 4, 8}, {9, 4, 0},   {10, 8, 10}, {11, 7, 0},  {12, 3, 14}, {13, 3, 14}, {14, 0, 14},
        {16, 8, 16}, {15, 8, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        Variant v("previous");
        EXPECT_EQ(v.SetData(c.type, bytes, c.length), c.result);
        EXPECT_EQ(v.GetType(), c.result);
    }
}

TEST(VariantTest, ParamListsAreVariants)
{
    static_assert(sizeof(ParamValues) == 24);
    ParamValues values;
    const Variant item(int32_t{3});
    values.SetArray(&item, 1);
    Variant& asVariant = values;
    Variant back;
    EXPECT_EQ(asVariant.GetArrayItem(0, back), 0);
    EXPECT_EQ(back, item);
}

}  // namespace
}  // namespace QV
