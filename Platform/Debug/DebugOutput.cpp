#include "DebugOutput.h"

#include <atomic>
#include <cstdio>
#include <iostream>

namespace Platform {

namespace {

// Null: standard error. Constant-initialised, so it is valid for the whole
// run, static construction and destruction included.
constinit std::atomic<DebugOutputSink*> gSink{nullptr};

}  // namespace

void OutputDebugText(std::string_view text)
{
    if (text.empty()) {
        return;
    }
    if (DebugOutputSink* sink = gSink.load()) {
        sink->Write(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

ScopedDebugOutputSink::ScopedDebugOutputSink(DebugOutputSink& sink) : mPrevious(gSink.exchange(&sink)) {}

ScopedDebugOutputSink::~ScopedDebugOutputSink() { gSink.store(mPrevious); }

void OpenConsole()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    std::ios::sync_with_stdio(true);
}

}  // namespace Platform
