#pragma once
// Results and timeouts of the framework's waits, with the values the
// callers compare against.
#include <cstdint>

namespace QV {

constexpr uint32_t kWaitInfinite = 0xFFFFFFFFu;
constexpr uint32_t kWaitSignalled = 0;
constexpr uint32_t kWaitTimeout = 258;
constexpr uint32_t kWaitFailed = 0xFFFFFFFFu;

}  // namespace QV
