#include "DebugOutput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CapturingSink : Platform::DebugOutputSink {
    std::vector<std::string> messages;
    void Write(std::string_view text) override { messages.emplace_back(text); }
};

TEST(DebugOutputTest, ReplacedSinkGetsEachMessageUntilRestored)
{
    CapturingSink outer;
    CapturingSink inner;
    {
        Platform::ScopedDebugOutputSink useOuter(outer);
        Platform::OutputDebugText("one");
        {
            Platform::ScopedDebugOutputSink useInner(inner);
            Platform::OutputDebugText("two");
            Platform::OutputDebugText("");
        }
        Platform::OutputDebugText("three");
    }
    Platform::OutputDebugText("to stderr\n");
    EXPECT_EQ(outer.messages, (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(inner.messages, (std::vector<std::string>{"two"}));
}

}  // namespace
