#pragma once
// The one way tests wait for another thread: poll a condition until it holds
// or a real deadline passes. The deadline is wall-clock time, so a test that
// replaces the framework's clock still ends.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

inline constexpr std::chrono::milliseconds kEventuallyTimeout{10000};

// True as soon as `ready()` answers true; false when it still answers false
// at the deadline.
template <class Predicate>
[[nodiscard]] bool Eventually(Predicate&& ready, std::chrono::milliseconds timeout = kEventuallyTimeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (int tries = 0; !ready(); ++tries) {
        if (std::chrono::steady_clock::now() >= deadline) return ready();
        // Yield first for quick hand-offs; then sleep so a slow wait under a
        // sanitizer does not take a core from the thread it waits for.
        if (tries < 100) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

#define EXPECT_EVENTUALLY(condition) \
    EXPECT_TRUE(Eventually([&] { return static_cast<bool>(condition); })) << "never came true: " #condition
#define ASSERT_EVENTUALLY(condition) \
    ASSERT_TRUE(Eventually([&] { return static_cast<bool>(condition); })) << "never came true: " #condition
