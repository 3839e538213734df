#pragma once
// Where the threading classes report faults they survive (an exception that
// escaped a thread, a stop that timed out, a bad Free). stderr until the
// application installs its own sink.
#include <string_view>

namespace QV {

using ThreadFaultSink = void (*)(std::string_view text);

void LogThreadFault(std::string_view text);

// Installs a sink (null restores stderr); returns the previous one.
ThreadFaultSink SetThreadFaultSink(ThreadFaultSink sink);

}  // namespace QV
