#pragma once
// The debugger output (OutputDebugString) and the debug console
// (AllocConsole): both end on the process's standard error here.
#include <string_view>

namespace Platform {

// Receives each debugger message as UTF-8 text.
class DebugOutputSink {
public:
    virtual ~DebugOutputSink() = default;
    virtual void Write(std::string_view text) = 0;
};

// Hands text to the current sink: standard error unless a test replaced it.
// Empty text writes nothing.
void OutputDebugText(std::string_view text);

// Test seam: while it lives, debugger output goes to sink.
class ScopedDebugOutputSink {
public:
    explicit ScopedDebugOutputSink(DebugOutputSink& sink);
    ~ScopedDebugOutputSink();
    ScopedDebugOutputSink(const ScopedDebugOutputSink&) = delete;
    ScopedDebugOutputSink& operator=(const ScopedDebugOutputSink&) = delete;

private:
    DebugOutputSink* mPrevious;
};

// The console switch: the process keeps the terminal it was started from;
// standard output and error become unbuffered so log lines show at once.
void OpenConsole();

}  // namespace Platform
