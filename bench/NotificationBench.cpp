// Posts and drains per second through a notification center, with one
// producer thread posting while this thread drains, beside a plain
// mutex-and-deque queue doing the same work in the same run.
#include <benchmark/benchmark.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

#include "LNotificationCenterManager.h"
#include "LNotificationClient.h"

namespace {

using namespace QV;

constexpr int kBatch = 10000;

class CountingClient : public LNotificationClient {
public:
    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
    {
        ++received;
        return S_OK;
    }
    int received = 0;
};

void BM_NotificationCenterPostAndDrain(benchmark::State& state)
{
    LNotification::EnableRecycling(true);
    RCPtr<LNotificationCenter> center = LNotificationCenterManager::GetInstance()->CreateNotificationCenter(u"bench");
    RCPtr<CountingClient> client(new CountingClient());
    const NotificationID id = client->RegisterNotification(center, u"NID_PARAM_MODULE_STATE_CHANGE");
    for (auto _ : state) {
        client->received = 0;
        std::thread producer([&] {
            for (int i = 0; i < kBatch; ++i) center->PostNamedNotification(id);
        });
        while (client->received < kBatch) {
            if (!center->ProcessNotifications(false)) std::this_thread::yield();
        }
        producer.join();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
    client->UnregisterAllNotifications();
    center->Shutdown();
    LNotification::EnableRecycling(false);
}
BENCHMARK(BM_NotificationCenterPostAndDrain)->UseRealTime();

// The same hand-over with a plain lock and a standard deque of records.
struct PlainNotification {
    const void* id;
    RCPtr<LRefCountedObject> payload;
};

class PlainQueue {
public:
    void Post(PlainNotification n)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mItems.push_back(std::move(n));
    }
    template <class Receiver>
    bool Drain(Receiver&& receive)
    {
        size_t count;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            count = mItems.size();
        }
        for (; count > 0; --count) {
            PlainNotification n;
            {
                std::lock_guard<std::mutex> lock(mMutex);
                n = std::move(mItems.front());
                mItems.pop_front();
            }
            receive(n);
        }
        std::lock_guard<std::mutex> lock(mMutex);
        return !mItems.empty();
    }

private:
    std::mutex mMutex;
    std::deque<PlainNotification> mItems;
};

void BM_MutexDequePostAndDrain(benchmark::State& state)
{
    PlainQueue queue;
    static const char16_t name[] = u"NID_PARAM_MODULE_STATE_CHANGE";
    for (auto _ : state) {
        int received = 0;
        std::thread producer([&] {
            for (int i = 0; i < kBatch; ++i) queue.Post({name, nullptr});
        });
        while (received < kBatch) {
            if (!queue.Drain([&](const PlainNotification& n) { received += (n.id == name); })) {
                std::this_thread::yield();
            }
        }
        producer.join();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_MutexDequePostAndDrain)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
