#include "SocketIo.h"

#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>
#include <cstring>

namespace Platform::SingleInstance {

void SetTimeouts(int fd, int milliseconds)
{
    const timeval limit{milliseconds / 1000, (milliseconds % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

bool ReadExactly(int fd, void* buffer, size_t count)
{
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::recv(fd, out + done, count - done, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const void* buffer, size_t count)
{
    const auto* in = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < count) {
        // No SIGPIPE when the peer has gone: the caller sees a failure.
        const ssize_t n = ::send(fd, in + done, count - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::optional<sockaddr_un> SocketAddress(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

}  // namespace Platform::SingleInstance
