#pragma once
// Files and sockets the single-instance tests plant around a guard.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>

#include <string>

#include "SocketIo.h"
#include "UniqueFd.h"

namespace Platform::SingleInstance::Testing {

// Holds the lock as another running instance would.
inline UniqueFd HoldLock(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (fd.IsValid() && ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) fd.Reset();
    return fd;
}

// A socket file whose listener has gone, as a crashed instance leaves it.
inline bool PlantDeadSocket(const std::string& path)
{
    const auto address = SocketAddress(path);
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    return address && fd.IsValid() &&
           ::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
}

inline UniqueFd Connect(const std::string& path)
{
    const auto address = SocketAddress(path);
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!address || !fd.IsValid() ||
        ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0)
        fd.Reset();
    return fd;
}

}  // namespace Platform::SingleInstance::Testing
