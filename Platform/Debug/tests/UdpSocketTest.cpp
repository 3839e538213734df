#include "UdpSocket.h"

#include <gtest/gtest.h>

namespace {

TEST(UdpSocketTest, DatagramsArriveWholeAndInOrder)
{
    Platform::UdpReceiver receiver("127.0.0.1");
    ASSERT_TRUE(receiver.IsOpen());

    Platform::UdpSocket socket;
    EXPECT_FALSE(socket.Send("early")) << "nothing is sent before the socket is open";
    ASSERT_TRUE(socket.Open());
    EXPECT_FALSE(socket.Send("no destination"));
    ASSERT_TRUE(socket.SetDestination("127.0.0.1", receiver.GetPort()));

    const std::string withNul("a\0b", 3);
    EXPECT_TRUE(socket.Send("first"));
    EXPECT_TRUE(socket.Send(withNul));
    EXPECT_EQ(receiver.Receive(2000), "first");
    EXPECT_EQ(receiver.Receive(2000), withNul);
    EXPECT_EQ(receiver.Receive(50), std::nullopt);
}

TEST(UdpSocketTest, DestinationMustBeDottedIpv4)
{
    Platform::UdpSocket socket;
    EXPECT_FALSE(socket.SetDestination("localhost", 9));
    EXPECT_FALSE(socket.SetDestination("256.1.1.1", 9));
    EXPECT_FALSE(socket.SetDestination("", 9));
}

TEST(UdpSocketTest, HostNamesResolveToTheFirstIpv4Address)
{
    EXPECT_EQ(Platform::ResolveHostIpv4("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(Platform::ResolveHostIpv4("localhost"), "127.0.0.1");
    EXPECT_EQ(Platform::ResolveHostIpv4(""), std::nullopt);
    EXPECT_EQ(Platform::ResolveHostIpv4("no-such-host.invalid"), std::nullopt);

    const std::string own = Platform::GetOwnHostName();
    EXPECT_FALSE(own.empty());
    EXPECT_LE(own.size(), 64u);
}

}  // namespace
