#include "InstanceListener.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>

#include "InstanceMessage.h"
#include "SocketIo.h"

namespace Platform::SingleInstance {
namespace {

bool IsSameUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

std::optional<std::string> ReadRecord(int fd)
{
    unsigned char head[kHeaderBytes];
    if (!ReadExactly(fd, head, sizeof head)) return std::nullopt;
    const MessageHeader header = DecodeHeader(head);
    if (!IsAcceptableHeader(header)) return std::nullopt;
    std::string body(header.length, '\0');
    if (!ReadExactly(fd, body.data(), body.size())) return std::nullopt;
    return DecodeBody(body);
}

}  // namespace

InstanceListener::InstanceListener(UniqueFd socketFd, WakeFunction wake)
    : mSocket(std::move(socketFd)), mWake(std::move(wake))
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
    mStopRead = UniqueFd(pipeFds[0]);
    mStopWrite = UniqueFd(pipeFds[1]);
    try {
        mThread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread: the instance runs without taking hand-overs.
    }
}

InstanceListener::~InstanceListener()
{
    if (!mThread.joinable()) return;
    const char stop = 1;
    while (::write(mStopWrite.Get(), &stop, 1) < 0 && errno == EINTR) {
    }
    mThread.join();
}

std::vector<std::string> InstanceListener::TakeReceived()
{
    std::lock_guard lock(mLock);
    return std::exchange(mReceived, {});
}

void InstanceListener::Run()
{
    for (;;) {
        pollfd fds[2] = {{mSocket.Get(), POLLIN, 0}, {mStopRead.Get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & POLLIN) == 0) continue;
        UniqueFd connection(::accept4(mSocket.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (connection.IsValid()) Serve(connection.Get());
    }
}

void InstanceListener::Serve(int connection)
{
    SetTimeouts(connection, kReceiveTimeoutMs);
    std::optional<std::string> text;
    if (IsSameUser(connection)) text = ReadRecord(connection);
    const char answer = text ? 1 : 0;
    if (text) {
        {
            std::lock_guard lock(mLock);
            mReceived.push_back(std::move(*text));
        }
        // Before the answer, so a sender that was told "taken" finds the loop woken.
        if (mWake) mWake();
    }
    WriteAll(connection, &answer, 1);
}

}  // namespace Platform::SingleInstance
