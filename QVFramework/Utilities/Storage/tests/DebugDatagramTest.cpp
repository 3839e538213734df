#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "DebugDatagramSender.h"
#include "DebugOutput.h"
#include "UdpSocket.h"
#include "basic_dostream.h"

namespace {

constexpr int kArrives = 2000;
constexpr int kNothing = 100;

struct CapturingSink : Platform::DebugOutputSink {
    std::vector<std::string> messages;
    void Write(std::string_view text) override { messages.emplace_back(text); }
};

// The address the log announces when the given host does not resolve.
std::string OwnAddress()
{
    return Platform::ResolveHostIpv4(Platform::GetOwnHostName()).value_or("127.0.0.1");
}

void ExpectOpening(Platform::UdpReceiver& receiver, const std::string& address)
{
    EXPECT_EQ(receiver.Receive(kArrives), "*** APPLICATION Launched on ");
    EXPECT_EQ(receiver.Receive(kArrives), address);
    EXPECT_EQ(receiver.Receive(kArrives), "***\n");
}

TEST(DebugDatagramTest, FlushedTextFollowsTheThreeOpeningDatagrams)
{
    Platform::UdpReceiver receiver("127.0.0.1");
    ASSERT_TRUE(receiver.IsOpen());
    QV::DebugEndpoint endpoint{"127.0.0.1", receiver.GetPort()};
    QV::DebugDatagramSender sender;
    CapturingSink sink;
    Platform::ScopedDebugOutputSink useSink(sink);

    QV::basic_dostream<char> stream(endpoint, sender);
    stream << "first line" << std::endl;
    ExpectOpening(receiver, "127.0.0.1");
    EXPECT_EQ(receiver.Receive(kArrives), "first line\n");

    // An empty flush sends nothing; the opening is not repeated.
    stream.flush();
    stream << std::string(3000, 'x');
    EXPECT_EQ(receiver.Receive(kArrives), std::string(1023, 'x'));
    EXPECT_EQ(receiver.Receive(kArrives), std::string(1023, 'x'));
    EXPECT_EQ(receiver.Receive(kNothing), std::nullopt);
    stream.flush();
    EXPECT_EQ(receiver.Receive(kArrives), std::string(954, 'x'));

    QV::basic_dostream<char16_t> wide(endpoint, sender);
    wide << u"\u00E9t\u00E9" << std::flush;
    EXPECT_EQ(receiver.Receive(kArrives), "\xC3\xA9t\xC3\xA9");

    EXPECT_TRUE(sink.messages.empty()) << "with a port nothing goes to the debugger output";
}

TEST(DebugDatagramTest, FirstFlushOpensEvenWhenEmpty)
{
    Platform::UdpReceiver receiver("127.0.0.1");
    QV::DebugEndpoint endpoint{"127.0.0.1", receiver.GetPort()};
    QV::DebugDatagramSender sender;
    QV::basic_dostream<char> stream(endpoint, sender);
    stream.flush();
    EXPECT_TRUE(sender.HasSocket());
    ExpectOpening(receiver, "127.0.0.1");
    EXPECT_EQ(receiver.Receive(kNothing), std::nullopt);
}

TEST(DebugDatagramTest, NoPortMeansNoSocket)
{
    CapturingSink sink;
    Platform::ScopedDebugOutputSink useSink(sink);
    QV::DebugDatagramSender sender;
    for (int32_t port : {-1, 0}) {
        QV::DebugEndpoint endpoint{"127.0.0.1", port};
        QV::basic_dostream<char> stream(endpoint, sender);
        stream << "to the debugger" << std::flush;
    }
    sender.Send("127.0.0.1", 0, "direct");
    sender.Send("127.0.0.1", -1, "direct");
    EXPECT_FALSE(sender.HasSocket());
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"to the debugger", "to the debugger"}));
}

TEST(DebugDatagramTest, HostFallsBackToTheMachinesOwn)
{
    const std::string own = OwnAddress();
    for (const char* host : {"", "no-such-host.invalid"}) {
        Platform::UdpReceiver receiver(own);
        ASSERT_TRUE(receiver.IsOpen()) << own;
        QV::DebugDatagramSender sender;
        sender.Send(host, receiver.GetPort(), "after fallback");
        ExpectOpening(receiver, own);
        EXPECT_EQ(receiver.Receive(kArrives), "after fallback") << host;
    }
}

TEST(DebugDatagramTest, ProcessWideSenderTakesNullHostAndText)
{
    Platform::UdpReceiver receiver("127.0.0.1");
    QV::SendDebugDatagram("127.0.0.1", receiver.GetPort(), nullptr);
    ExpectOpening(receiver, "127.0.0.1");
    EXPECT_EQ(receiver.Receive(kNothing), std::nullopt);
    // The destination stays the one chosen first.
    QV::SendDebugDatagram(nullptr, receiver.GetPort(), "later");
    EXPECT_EQ(receiver.Receive(kArrives), "later");
    EXPECT_TRUE(QV::GetDebugDatagramSender().HasSocket());
}

}  // namespace
