#pragma once
// The process's millisecond clock and sleep. Both can be replaced for a
// test's lifetime so code that waits seconds runs in no time.
#include <cstdint>

namespace Platform::Clock {

// Monotonic milliseconds; the value wraps, so compare by unsigned difference
// (ElapsedMs), never with < or >.
uint32_t NowMs();
void SleepMs(uint32_t ms);

inline uint32_t ElapsedMs(uint32_t since, uint32_t now) { return now - since; }

// What a test puts in place of the real clock.
class ITimeSource {
public:
    virtual ~ITimeSource() = default;
    virtual uint32_t NowMs() = 0;
    virtual void SleepMs(uint32_t ms) = 0;
};

// Routes NowMs and SleepMs to a test's time source until it goes out of
// scope. The source must outlive every thread that may call them meanwhile.
class ScopedTimeSource {
public:
    explicit ScopedTimeSource(ITimeSource& source);
    ~ScopedTimeSource();
    ScopedTimeSource(const ScopedTimeSource&) = delete;
    ScopedTimeSource& operator=(const ScopedTimeSource&) = delete;

private:
    ITimeSource* mPrevious;
};

}  // namespace Platform::Clock
