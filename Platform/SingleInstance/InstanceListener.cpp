#include "InstanceListener.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "InstanceMessage.h"

namespace Platform::SingleInstance {
namespace {

bool IsSameUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

// One byte, never waiting: a client that does not read misses it.
void Answer(int fd, bool taken)
{
    const char answer = taken ? 1 : 0;
    while (::send(fd, &answer, 1, MSG_NOSIGNAL | MSG_DONTWAIT) < 0 && errno == EINTR) {
    }
}

}  // namespace

InstanceListener::InstanceListener(UniqueFd socketFd, WakeFunction wake)
    : mSocket(std::move(socketFd)), mWake(std::move(wake))
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
    mStopRead = UniqueFd(pipeFds[0]);
    mStopWrite = UniqueFd(pipeFds[1]);
    // Accepting never waits for a connection that went away meanwhile.
    const int flags = ::fcntl(mSocket.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(mSocket.Get(), F_SETFL, flags | O_NONBLOCK) != 0) return;
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

std::vector<InstanceListener::Client>::iterator InstanceListener::Oldest(std::vector<Client>& clients)
{
    return std::min_element(clients.begin(), clients.end(),
                            [](const Client& a, const Client& b) { return a.deadline < b.deadline; });
}

void InstanceListener::Run()
{
    std::vector<Client> clients;
    std::vector<pollfd> fds;
    for (;;) {
        fds.assign({{mStopRead.Get(), POLLIN, 0}, {mSocket.Get(), POLLIN, 0}});
        for (const Client& client : clients) fds.push_back({client.fd.Get(), POLLIN, 0});
        int timeoutMs = -1;
        if (!clients.empty()) {
            const auto first = Oldest(clients)->deadline;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(first - Clock::now()).count();
            timeoutMs = static_cast<int>(std::clamp<decltype(left)>(left, 0, kReceiveTimeoutMs));
        }
        if (::poll(fds.data(), fds.size(), timeoutMs) < 0 && errno != EINTR) return;
        if (fds[0].revents != 0) return;
        // Clients first, by their place in fds, before new ones join the list.
        size_t at = 2;
        const auto now = Clock::now();
        std::erase_if(clients, [&](Client& client) {
            const short events = fds[at++].revents;
            if (events != 0 && Receive(client)) return true;
            if (now < client.deadline) return false;
            Answer(client.fd.Get(), false);
            return true;
        });
        if (fds[1].revents & POLLIN) AcceptAll(clients);
    }
}

void InstanceListener::AcceptAll(std::vector<Client>& clients)
{
    for (;;) {
        UniqueFd connection(::accept4(mSocket.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!connection.IsValid()) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;  // EAGAIN: none left
        }
        // Another user's connection is closed unanswered.
        if (!IsSameUser(connection.Get())) continue;
        Client client{std::move(connection), Clock::now() + std::chrono::milliseconds(kReceiveTimeoutMs), {}};
        // A start sends its record as it connects: served at once, it needs no place.
        if (Receive(client)) continue;
        if (clients.size() >= kMaxClients) {
            // The one waiting longest, nearest its deadline, makes room: a
            // flood of idle clients never keeps a start out.
            const auto oldest = Oldest(clients);
            Answer(oldest->fd.Get(), false);
            clients.erase(oldest);
        }
        clients.push_back(std::move(client));
    }
}

bool InstanceListener::Receive(Client& client)
{
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::recv(client.fd.Get(), chunk, sizeof chunk, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
        if (n > 0) {
            client.received.append(chunk, static_cast<size_t>(n));
            ParsedRecord record = ParseRecord(client.received);
            if (record.state == ParsedRecord::State::kNeedMore) {
                // Nothing beyond the longest record is kept.
                if (client.received.size() <= kHeaderBytes + kMaxMessageBytes) continue;
                record.state = ParsedRecord::State::kRefused;
            }
            const bool taken = record.state == ParsedRecord::State::kTaken;
            if (taken) {
                {
                    std::lock_guard lock(mLock);
                    mReceived.push_back(std::move(record.text));
                }
                // Before the answer, so a sender that was told "taken" finds the loop woken.
                if (mWake) mWake();
            }
            Answer(client.fd.Get(), taken);
            return true;
        }
        // Closed (or failed) before a whole record came.
        Answer(client.fd.Get(), false);
        return true;
    }
}

}  // namespace Platform::SingleInstance
