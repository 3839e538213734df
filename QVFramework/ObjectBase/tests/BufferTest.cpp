#include <gtest/gtest.h>

#include <cstring>

#include "Buffer.h"

namespace {

using namespace QV;

// Each row: start at one size (first SetSize on an empty buffer), then
// SetSize to another; expect the capacity after each step.
struct SizeCase {
    const char* name;
    uint32_t (*run)(uint32_t first, uint32_t second, uint32_t* firstCapacity);
    uint32_t first;
    uint32_t second;
    uint32_t capacityAfterFirst;
    uint32_t capacityAfterSecond;
};

template <uint32_t G, uint32_t S>
uint32_t Resize(uint32_t first, uint32_t second, uint32_t* firstCapacity)
{
    BufferT<G, S> b;
    b.SetSize(first);
    *firstCapacity = b.GetCapacity();
    b.SetSize(second);
    EXPECT_EQ(b.GetSize(), second);
    return b.GetCapacity();
}

TEST(BufferTest, CapacityRoundingAndShrinkSlack)
{
    const SizeCase cases[] = {
        {"G128 first alloc rounds", Resize<128, 6400>, 5, 5, 128, 128},
        {"G1 S128 grows exactly", Resize<1, 128>, 10, 11, 10, 11},
        {"G1 S128 keeps within slack", Resize<1, 128>, 300, 200, 300, 300},
        {"G1 S128 shrinks past slack", Resize<1, 128>, 300, 100, 300, 100},
        {"G16 S0 keeps 32 for 17", Resize<16, 0>, 32, 17, 32, 32},
        {"G16 S0 shrinks 32 to 16", Resize<16, 0>, 32, 16, 32, 16},
        {"G1 S0 always exact", Resize<1, 0>, 50, 49, 50, 49},
        {"G1 S128 SetSize 0 keeps block", Resize<1, 128>, 50, 0, 50, 50},
        {"G1 S0 SetSize 0 frees", Resize<1, 0>, 50, 0, 50, 0},
        {"G1024 S1024 grows by steps", Resize<1024, 1024>, 1, 1025, 1024, 2048},
        {"G64 S64 keeps 64 spare", Resize<64, 64>, 192, 128, 192, 192},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        uint32_t firstCapacity = 0;
        EXPECT_EQ(c.run(c.first, c.second, &firstCapacity), c.capacityAfterSecond);
        EXPECT_EQ(firstCapacity, c.capacityAfterFirst);
    }
}

TEST(BufferTest, SetSizeKeepsContents)
{
    BufferT<1, 0> b;
    b.SetSize(4);
    std::memcpy(b.GetData(), "abcd", 4);
    b.SetSize(100);
    EXPECT_EQ(std::memcmp(b.GetData(), "abcd", 4), 0);
    b.SetSize(2);
    EXPECT_EQ(std::memcmp(b.GetData(), "ab", 2), 0);
}

TEST(BufferTest, AllocateZeroFreesBlock)
{
    BufferT<1, 128> b(10);
    EXPECT_NE(b.GetData(), nullptr);
    EXPECT_EQ(b.Allocate(0), 0u);
    EXPECT_EQ(b.GetData(), nullptr);
    EXPECT_EQ(b.GetCapacity(), 0u);
    EXPECT_EQ(b.GetSize(), 0u);
}

TEST(BufferTest, ConstructorReserveAndZeroFill)
{
    BufferT<1, 0> reserved(4, 64, true);
    // No slack: the reserve is given back by SetSize at once.
    EXPECT_EQ(reserved.GetCapacity(), 4u);
    BufferT<1, 128> kept(4, 64, true);
    EXPECT_EQ(kept.GetCapacity(), 64u);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(kept.GetData()[i], 0);
}

TEST(BufferTest, FillBounds)
{
    struct Case {
        uint32_t offset;
        int32_t count;
        QVResult result;
        const char* after;
    };
    const Case cases[] = {
        {8, 0, S_OK, "........"},
        {8, 1, E_INVALIDARG, "........"},
        {2, 3, S_OK, "..xxx..."},
        {6, -1, S_OK, "......xx"},
        {9, -1, E_INVALIDARG, "........"},
        {8, -1, S_OK, "........"},
        {0, 9, E_INVALIDARG, "........"},
    };
    for (const auto& c : cases) {
        BufferT<1, 0> b(8);
        std::memset(b.GetData(), '.', 8);
        EXPECT_EQ(b.Fill('x', c.offset, c.count), c.result) << c.offset << "," << c.count;
        EXPECT_EQ(std::string(b.GetData(), 8), c.after) << c.offset << "," << c.count;
    }
}

TEST(BufferTest, FillUInt16Bounds)
{
    struct Case {
        uint32_t size;
        uint32_t offset;
        int32_t count;
        QVResult result;
        int unitsWritten;
    };
    const Case cases[] = {
        {7, 0, -1, S_OK, 3},
        {8, 0, 4, S_OK, 4},
        {8, 0, 5, E_INVALIDARG, 0},
        {8, 2, 3, S_OK, 3},
        {8, 9, -1, E_INVALIDARG, 0},
        {8, 1, -1, S_OK, 3},
    };
    for (const auto& c : cases) {
        BufferT<1, 0> b(c.size);
        std::memset(b.GetData(), 0, c.size);
        EXPECT_EQ(b.FillUInt16(0xABCD, c.offset, c.count), c.result);
        int written = 0;
        for (uint32_t p = c.offset; p + 1 < c.size; p += 2) {
            uint16_t v;
            std::memcpy(&v, b.GetData() + p, 2);
            if (v == 0xABCD) ++written;
        }
        EXPECT_EQ(written, c.unitsWritten) << c.size << "," << c.offset << "," << c.count;
    }
}

TEST(BufferTest, GetDataAt)
{
    BufferT<1, 0> b(4);
    EXPECT_EQ(b.GetDataAt(3), b.GetData() + 3);
    EXPECT_EQ(b.GetDataAt(4), nullptr);
    BufferT<1, 0> empty;
    EXPECT_EQ(empty.GetDataAt(0), nullptr);
}

TEST(BufferTest, CopyRange)
{
    ConstRCPtr<LIBuffer> src;
    CreateBuffer(src, 6, 0, true);
    std::memcpy(src->GetData(), "abcdef", 6);

    struct Case {
        uint32_t n;
        uint32_t offset;
        const char* expected;
        uint32_t expectedLength;
    };
    const Case cases[] = {
        {3, 2, "cde", 3},
        {4, 4, "ef\0\0", 4},
        {3, 6, "\0\0\0", 3},
        {2, 100, "\0\0", 2},
    };
    for (const auto& c : cases) {
        RCPtr<LIBuffer> copy = src->CopyRange(c.n, c.offset);
        ASSERT_EQ(copy->GetSize(), c.n);
        EXPECT_EQ(std::memcmp(copy->GetData(), c.expected, c.expectedLength), 0) << c.offset;
    }
}

TEST(BufferTest, CountedBufferCopyOnWrite)
{
    ConstRCPtr<LIBuffer> a;
    CreateBuffer(a, 3, 0, true);
    std::memcpy(a->GetData(), "xyz", 3);
    ConstRCPtr<LIBuffer> b = a;
    b.Unshare();
    EXPECT_NE(a.Get(), b.Get());
    EXPECT_EQ(std::memcmp(b->GetData(), "xyz", 3), 0);
    EXPECT_EQ(a->GetRefCount(), 1);
}

TEST(BufferTest, RefusedAllocationRaisesBadAllocation)
{
    // Sizes no heap grants: the allocator raises instead of answering null.
    IAllocator* alloc = GetSystemAllocator();
    for (size_t size : {SIZE_MAX / 2, SIZE_MAX - 16}) {
        try {
            alloc->Allocate(size);
            FAIL() << size;
        } catch (const std::bad_alloc& e) {
            EXPECT_STREQ(e.what(), "bad allocation");
        }
    }
    void* block = alloc->Allocate(16);
    EXPECT_THROW(alloc->Reallocate(block, SIZE_MAX / 2), std::bad_alloc);
    alloc->Free(block);  // a refused realloc leaves the block alive
}

}  // namespace
