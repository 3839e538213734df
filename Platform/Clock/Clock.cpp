#include "Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace Platform::Clock {
namespace {

// The one replaceable time source; null means the real clock.
std::atomic<ITimeSource*> gSource{nullptr};

}  // namespace

uint32_t NowMs()
{
    if (ITimeSource* source = gSource.load(std::memory_order_acquire)) return source->NowMs();
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SleepMs(uint32_t ms)
{
    if (ITimeSource* source = gSource.load(std::memory_order_acquire)) {
        source->SleepMs(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

ScopedTimeSource::ScopedTimeSource(ITimeSource& source)
    : mPrevious(gSource.exchange(&source, std::memory_order_acq_rel))
{
}

ScopedTimeSource::~ScopedTimeSource() { gSource.store(mPrevious, std::memory_order_release); }

}  // namespace Platform::Clock
