#pragma once
// The running instance's side: a thread that accepts connections on a
// Unix-domain socket and reads one record from each. Connections are served
// side by side without blocking, each with one deadline for its whole record,
// so a slow or silent client never holds up another and stopping never waits
// on one. A taken text is queued and the wake function called. Each
// connection gets one byte back: 1 when its text was queued, 0 when the
// record was dropped (when the client still reads).
//
// Concurrency: the queue is shared by the listener thread (appends) and the
// owner's thread (TakeReceived) under mLock; the wake function is called on
// the listener thread, outside the lock.
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "UniqueFd.h"

namespace Platform::SingleInstance {

class InstanceListener {
public:
    using WakeFunction = std::function<void()>;

    // socketFd: a bound, listening socket, owned from now on.
    InstanceListener(UniqueFd socketFd, WakeFunction wake);
    // Stops and joins the thread (at once, whatever is connected) before the
    // socket closes.
    ~InstanceListener();
    InstanceListener(const InstanceListener&) = delete;
    InstanceListener& operator=(const InstanceListener&) = delete;

    // False when the thread could not start.
    bool IsRunning() const { return mThread.joinable(); }
    std::vector<std::string> TakeReceived();

    // How long one connection may take, from its acceptance, to deliver its whole record.
    static constexpr int kReceiveTimeoutMs = 1000;
    // Connections waiting for their record at once; a new one takes the
    // place of the one waiting longest.
    static constexpr size_t kMaxClients = 16;

private:
    using Clock = std::chrono::steady_clock;
    struct Client {
        UniqueFd fd;
        Clock::time_point deadline;
        std::string received;
    };

    // The client nearest its deadline; clients must not be empty.
    static std::vector<Client>::iterator Oldest(std::vector<Client>& clients);
    void Run();
    void AcceptAll(std::vector<Client>& clients);
    // Whether the client is done (answered or gone).
    bool Receive(Client& client);

    UniqueFd mSocket;
    UniqueFd mStopRead;
    UniqueFd mStopWrite;
    WakeFunction mWake;
    std::mutex mLock;
    std::vector<std::string> mReceived;
    std::thread mThread;
};

}  // namespace Platform::SingleInstance
