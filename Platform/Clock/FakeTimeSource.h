#pragma once
// A time source for tests: time stands still until someone sleeps or the
// test advances it; every sleep is recorded.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "Clock.h"

namespace Platform::Clock {

class FakeTimeSource final : public ITimeSource {
public:
    explicit FakeTimeSource(uint32_t startMs = 0) : mNow(startMs) {}

    uint32_t NowMs() override { return mNow.load(); }

    // Advances the clock at once; yields so a sleeping loop cannot starve
    // the thread that is watching it.
    void SleepMs(uint32_t ms) override
    {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mSleeps.push_back(ms);
        }
        mNow.fetch_add(ms);
        std::this_thread::yield();
    }

    void Advance(uint32_t ms) { mNow.fetch_add(ms); }

    std::vector<uint32_t> Sleeps() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mSleeps;
    }

private:
    std::atomic<uint32_t> mNow;
    mutable std::mutex mMutex;
    std::vector<uint32_t> mSleeps;
};

}  // namespace Platform::Clock
