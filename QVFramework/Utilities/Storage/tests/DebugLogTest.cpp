#include "DebugLog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "DebugOutput.h"

namespace {

struct CapturingSink : Platform::DebugOutputSink {
    std::vector<std::string> messages;
    void Write(std::string_view text) override { messages.emplace_back(text); }
};

// Writes to the log from a static constructor and, when asked, from a static
// destructor: the log must already and still be there.
constinit bool gWriteAtExit = false;

struct StaticWriter {
    StaticWriter() { QV::DebugLog::GetWideStream() << u"written during start-up"; }
    ~StaticWriter()
    {
        if (gWriteAtExit) {
            QV::DebugLog::GetNarrowStream() << "; written during exit";
        }
    }
} gStaticWriter;

TEST(DebugLogTest, TextWrittenBeforeMainWaitsForTheFirstFlush)
{
    CapturingSink sink;
    Platform::ScopedDebugOutputSink useSink(sink);
    QV::DebugLog::GetWideStream() << std::flush;
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"written during start-up"}));
}

TEST(DebugLogTest, TextLeftAtExitIsSentWhenTheLogEnds)
{
    EXPECT_EXIT(
        {
            gWriteAtExit = true;
            QV::DebugLog::GetNarrowStream() << "pending at exit";
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "pending at exit; written during exit");
}

TEST(DebugLogTest, StreamsStartAsTheDebugStreamsOnTheDebuggerOutput)
{
    QV::DebugLog& log = QV::DebugLog::GetInstance();
    EXPECT_EQ(&QV::DebugLog::GetNarrowStream(), &log.GetNarrowDebugStream());
    EXPECT_EQ(&QV::DebugLog::GetWideStream(), &log.GetWideDebugStream());
    EXPECT_EQ(log.GetPort(), -1);
    EXPECT_EQ(log.GetHostName(), "");

    CapturingSink sink;
    Platform::ScopedDebugOutputSink useSink(sink);
    QV::DebugLog::GetNarrowStream() << "value " << 42 << std::endl;
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"value 42\n"}));
}

TEST(DebugLogTest, SetEndpointReplacesTheHostOnlyWhenOneIsGiven)
{
    const struct {
        const char* host;
        int32_t port;
        const char* expectedHost;
    } steps[] = {
        {nullptr, 5000, ""},
        {"logger.example", 5001, "logger.example"},
        {nullptr, 5002, "logger.example"},
        {"", 5003, ""},
        {nullptr, -1, ""},
    };
    QV::DebugLog& log = QV::DebugLog::GetInstance();
    for (const auto& step : steps) {
        QV::DebugLog::SetEndpoint(step.host, step.port);
        EXPECT_EQ(log.GetHostName(), step.expectedHost);
        EXPECT_EQ(log.GetPort(), step.port);
    }
}

TEST(DebugLogTest, ConsoleSendsTheLogToStandardError)
{
    EXPECT_EXIT(
        {
            QV::OpenDebugConsole();
            QV::DebugLog::GetNarrowStream() << "narrow on stderr" << std::endl;
            QV::DebugLog::GetWideStream() << u"wide \u00FC\U0001F600 on stderr\n";
            std::exit(&QV::DebugLog::GetNarrowStream() == &std::cerr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "narrow on stderr\nwide \xC3\xBC\xF0\x9F\x98\x80 on stderr");
}

}  // namespace
