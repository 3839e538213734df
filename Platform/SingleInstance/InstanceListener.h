#pragma once
// The running instance's side: a thread that accepts connections on a
// Unix-domain socket, reads one record from each (bounded, with a time
// limit), queues its text and calls the wake function. Each connection gets
// one byte back: 1 when its text was queued, 0 when the record was dropped.
//
// Concurrency: the queue is shared by the listener thread (appends) and the
// owner's thread (TakeReceived) under mLock; the wake function is called on
// the listener thread, outside the lock.
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
    // Stops and joins the thread before the socket closes.
    ~InstanceListener();
    InstanceListener(const InstanceListener&) = delete;
    InstanceListener& operator=(const InstanceListener&) = delete;

    // False when the thread could not start.
    bool IsRunning() const { return mThread.joinable(); }
    std::vector<std::string> TakeReceived();

    // How long one connection may take to deliver its record.
    static constexpr int kReceiveTimeoutMs = 1000;

private:
    void Run();
    void Serve(int connection);

    UniqueFd mSocket;
    UniqueFd mStopRead;
    UniqueFd mStopWrite;
    WakeFunction mWake;
    std::mutex mLock;
    std::vector<std::string> mReceived;
    std::thread mThread;
};

}  // namespace Platform::SingleInstance
