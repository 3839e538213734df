#include "UdpSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace Platform {

namespace {

constexpr size_t kMaxHostName = 64;

sockaddr_in MakeAddress(uint32_t networkAddress, uint16_t networkPort)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = networkAddress;
    address.sin_port = networkPort;
    return address;
}

}  // namespace

std::string GetOwnHostName()
{
    char name[kMaxHostName + 1] = {};
    if (gethostname(name, kMaxHostName) != 0) {
        return {};
    }
    return std::string(name, strnlen(name, kMaxHostName));
}

std::optional<std::string> ResolveHostIpv4(const std::string& host)
{
    if (host.empty()) {
        return std::nullopt;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) {
        return std::nullopt;
    }
    std::optional<std::string> dotted;
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text)) {
        dotted = text;
    }
    freeaddrinfo(found);
    return dotted;
}

UdpSocket::~UdpSocket()
{
    if (mFd >= 0) {
        close(mFd);
    }
}

bool UdpSocket::Open()
{
    if (mFd < 0) {
        mFd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    }
    return mFd >= 0;
}

bool UdpSocket::SetDestination(const std::string& dottedAddress, uint16_t port)
{
    in_addr address{};
    if (inet_pton(AF_INET, dottedAddress.c_str(), &address) != 1) {
        return false;
    }
    mAddress = address.s_addr;
    mPort = htons(port);
    mHasDestination = true;
    return true;
}

bool UdpSocket::Send(std::string_view bytes) const
{
    if (mFd < 0 || !mHasDestination) {
        return false;
    }
    const sockaddr_in to = MakeAddress(mAddress, mPort);
    const ssize_t sent = sendto(mFd, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent == static_cast<ssize_t>(bytes.size());
}

UdpReceiver::UdpReceiver(const std::string& dottedAddress)
{
    in_addr address{};
    if (inet_pton(AF_INET, dottedAddress.c_str(), &address) != 1) {
        return;
    }
    mFd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (mFd < 0) {
        return;
    }
    sockaddr_in local = MakeAddress(address.s_addr, 0);
    socklen_t length = sizeof local;
    if (bind(mFd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        getsockname(mFd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        close(mFd);
        mFd = -1;
        return;
    }
    mPort = ntohs(local.sin_port);
}

UdpReceiver::~UdpReceiver()
{
    if (mFd >= 0) {
        close(mFd);
    }
}

std::optional<std::string> UdpReceiver::Receive(int timeoutMs)
{
    if (mFd < 0) {
        return std::nullopt;
    }
    pollfd waiting{mFd, POLLIN, 0};
    if (poll(&waiting, 1, timeoutMs) != 1) {
        return std::nullopt;
    }
    std::string datagram(65536, '\0');
    const ssize_t received = recv(mFd, datagram.data(), datagram.size(), 0);
    if (received < 0) {
        return std::nullopt;
    }
    datagram.resize(static_cast<size_t>(received));
    return datagram;
}

}  // namespace Platform
