#pragma once
// UDP datagrams over POSIX sockets, in place of Windows Sockets.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// The machine's own host name, at most 64 characters; empty on failure.
std::string GetOwnHostName();

// The first IPv4 address of host as dotted text; none when the name is empty
// or does not resolve.
std::optional<std::string> ResolveHostIpv4(const std::string& host);

// Owns one UDP socket and its destination.
class UdpSocket {
public:
    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    bool Open();
    bool IsOpen() const { return mFd >= 0; }

    // False when address is not dotted IPv4 text.
    bool SetDestination(const std::string& dottedAddress, uint16_t port);
    // One datagram of exactly these bytes; false when it was not sent.
    bool Send(std::string_view bytes) const;

private:
    int mFd = -1;
    uint32_t mAddress = 0;  // network byte order
    uint16_t mPort = 0;     // network byte order
    bool mHasDestination = false;
};

// A socket bound to one local address and a port the system picks; tests
// read what was sent to it.
class UdpReceiver {
public:
    explicit UdpReceiver(const std::string& dottedAddress);
    ~UdpReceiver();
    UdpReceiver(const UdpReceiver&) = delete;
    UdpReceiver& operator=(const UdpReceiver&) = delete;

    bool IsOpen() const { return mFd >= 0; }
    uint16_t GetPort() const { return mPort; }
    // The next datagram, or none after timeoutMs without one.
    std::optional<std::string> Receive(int timeoutMs);

private:
    int mFd = -1;
    uint16_t mPort = 0;  // host byte order
};

}  // namespace Platform
