#include "ThreadFaultLog.h"

#include <atomic>
#include <cstdio>

namespace QV {
namespace {

void WriteToStderr(std::string_view text)
{
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

std::atomic<ThreadFaultSink> gSink{nullptr};

}  // namespace

void LogThreadFault(std::string_view text)
{
    ThreadFaultSink sink = gSink.load(std::memory_order_acquire);
    (sink ? sink : WriteToStderr)(text);
}

ThreadFaultSink SetThreadFaultSink(ThreadFaultSink sink)
{
    return gSink.exchange(sink, std::memory_order_acq_rel);
}

}  // namespace QV
