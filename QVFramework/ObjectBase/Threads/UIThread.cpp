#include "UIThread.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace QV::UIThread {

namespace {

// A default id names no thread: nothing recorded.
std::atomic<std::thread::id>& Recorded()
{
    static std::atomic<std::thread::id> recorded{};
    return recorded;
}

}  // namespace

void SetCurrent()
{
    Recorded().store(std::this_thread::get_id(), std::memory_order_release);
}

void Clear()
{
    Recorded().store(std::thread::id(), std::memory_order_release);
}

bool IsRecorded()
{
    return Recorded().load(std::memory_order_acquire) != std::thread::id();
}

bool IsCurrentOrUnrecorded()
{
    const std::thread::id recorded = Recorded().load(std::memory_order_acquire);
    return recorded == std::thread::id() || recorded == std::this_thread::get_id();
}

void AssertCurrent([[maybe_unused]] const char* where)
{
#ifndef NDEBUG
    if (!IsCurrentOrUnrecorded()) {
        std::fprintf(stderr, "%s called off the UI thread\n", where);
        std::abort();
    }
#endif
}

Scope::Scope() : mPrevious(Recorded().load(std::memory_order_acquire))
{
    SetCurrent();
}

Scope::~Scope()
{
    Recorded().store(mPrevious, std::memory_order_release);
}

}  // namespace QV::UIThread
