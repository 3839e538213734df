#include "RCPtrQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "Eventually.h"
#include "Mutex.h"
#include "TestObjects.h"

namespace QV {
namespace {

using Queue = RCPtrQueue<LNotification, 256>;

RCPtr<LNotification> Make(int id)
{
    return RCPtr<LNotification>(new LNotification(id));
}

template <class Q>
int Take(Q& queue)
{
    RCPtr<LNotification> out;
    queue.Dequeue(out);
    return out->id;
}

TEST(RCPtrQueueTest, GrowsByOneSlotAndKeepsOrderAcrossTheWrap)
{
    // (slots, items taken before the ring is filled): read before and after write.
    struct Case {
        uint32_t slots;
        int skipped;
    };
    for (const Case c : {Case{4, 0}, Case{4, 1}, Case{4, 3}, Case{5, 2}, Case{0, 0}, Case{1, 0}}) {
        SCOPED_TRACE(testing::Message() << c.slots << " slots, " << c.skipped << " skipped");
        Queue queue(c.slots);
        int next = 0;
        for (int i = 0; i < c.skipped; ++i) {
            EXPECT_GE(queue.Enqueue(Make(next++)), 0);
            EXPECT_EQ(Take(queue), i);
        }
        const uint32_t start = queue.GetSlotCount() ? queue.GetSlotCount() : 2;
        // Fill to the last free slot, then post three more.
        const int first = next;
        for (uint32_t i = 0; i + 1 < start + 3; ++i) EXPECT_GE(queue.Enqueue(Make(next++)), 0);
        EXPECT_EQ(queue.GetSlotCount(), start + 3);
        EXPECT_EQ(queue.GetCount(), start + 2);
        for (int expected = first; expected < next; ++expected) EXPECT_EQ(Take(queue), expected);
        EXPECT_EQ(queue.GetCount(), 0u);
    }
}

TEST(RCPtrQueueTest, HoldsOneReferencePerQueuedItem)
{
    Queue queue(2);
    RCPtr<LNotification> item = Make(1);
    EXPECT_GE(queue.Enqueue(item), 0);
    EXPECT_GE(queue.Enqueue(item), 0);
    EXPECT_EQ(item->GetRefCount(), 3);
    RCPtr<LNotification> out;
    queue.Dequeue(out);
    EXPECT_EQ(item->GetRefCount(), 3);
    out.Reset();
    queue.Dequeue(out);
    out.Reset();
    EXPECT_EQ(item->GetRefCount(), 1);
}

TEST(RCPtrQueueTest, EmptyDequeueRaises)
{
    Queue queue(256);
    RCPtr<LNotification> out = Make(1);
    try {
        queue.Dequeue(out);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "Runtime Error : QV::RCPtrQueue<class QV::LNotification,256>::Dequeue : "
                     "Utilities\\Storage\\RCPtrQueue : Line 104");
    }
    EXPECT_TRUE(out.IsNull());
}

template <class M>
class LockedQueueTest : public ::testing::Test {};
using Locks = ::testing::Types<Mutex, std::recursive_mutex>;
TYPED_TEST_SUITE(LockedQueueTest, Locks);

TYPED_TEST(LockedQueueTest, ProducersPostWhileOneConsumerDrains)
{
    using LockedQueue = RCPtrQueue<LNotification, 256, TypeParam>;
    TypeParam mutex;
    LockedQueue queue(2, &mutex);
    constexpr int kProducers = 4;
    constexpr int kPerProducer = 500;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p)
        producers.emplace_back([&, p] {
            for (int i = 0; i < kPerProducer; ++i) EXPECT_GE(queue.Enqueue(Make(p * kPerProducer + i)), 0);
        });
    std::vector<int> lastOf(kProducers, -1);
    int received = 0;
    // This thread is the one consumer: it takes what has arrived on each try.
    EXPECT_TRUE(Eventually([&] {
        while (queue.GetCount() > 0) {
            const int id = Take(queue);
            const int producer = id / kPerProducer;
            EXPECT_GT(id, lastOf[producer]);  // each producer's items stay in order
            lastOf[producer] = id;
            ++received;
        }
        return received == kProducers * kPerProducer;
    }));
    for (auto& t : producers) t.join();
    EXPECT_EQ(queue.GetCount(), 0u);
}

TEST(RCPtrQueueTest, DequeueUpToTakesTheOldestInOrderAcrossTheWrap)
{
    // (queued, most): fewer, exactly and more than are queued.
    for (const auto& [queued, most] : {std::pair{5u, 2u}, std::pair{5u, 5u}, std::pair{5u, 9u}, std::pair{0u, 3u}}) {
        SCOPED_TRACE(testing::Message() << queued << " queued, " << most << " asked");
        Queue queue(4);
        int next = 0;
        for (int i = 0; i < 3; ++i) EXPECT_GE(queue.Enqueue(Make(next++)), 0);  // the read index moves off zero
        for (int i = 0; i < 3; ++i) Take(queue);
        for (uint32_t i = 0; i < queued; ++i) EXPECT_GE(queue.Enqueue(Make(next++)), 0);
        std::vector<RCPtr<LNotification>> out;
        const uint32_t taken = queue.DequeueUpTo(most, out);
        EXPECT_EQ(taken, std::min(queued, most));
        ASSERT_EQ(out.size(), taken);
        for (uint32_t i = 0; i < taken; ++i) EXPECT_EQ(out[i]->id, static_cast<int>(3 + i));
        EXPECT_EQ(queue.GetCount(), queued - taken);
        if (queued > taken) {
            EXPECT_EQ(Take(queue), static_cast<int>(3 + taken));
        }
    }
}

}  // namespace
}  // namespace QV
