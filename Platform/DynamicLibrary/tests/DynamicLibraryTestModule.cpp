// A tiny loadable module for the loader's tests.
#include <cstdint>

namespace {
int32_t gCalls = 0;
}

extern "C" __attribute__((visibility("default"))) int32_t TestModuleAdd(int32_t a, int32_t b)
{
    ++gCalls;
    return a + b;
}

extern "C" __attribute__((visibility("default"))) int32_t TestModuleCalls() { return gCalls; }
