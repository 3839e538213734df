#pragma once
// Blocking Unix-domain socket calls with time limits, interrupted calls retried.
#include <sys/un.h>

#include <cstddef>
#include <optional>
#include <string>

namespace Platform::SingleInstance {

// Sends and receives on fd give up after milliseconds.
void SetTimeouts(int fd, int milliseconds);
// False when the peer closed, the time ran out or the call failed.
bool ReadExactly(int fd, void* buffer, size_t count);
bool WriteAll(int fd, const void* buffer, size_t count);
// None when path does not fit a socket address.
std::optional<sockaddr_un> SocketAddress(const std::string& path);

}  // namespace Platform::SingleInstance
