#pragma once
// An operating-system thread, created suspended. The object may outlive the
// thread; its destructor neither waits for the thread nor ends it. Thread
// priorities and the priority boost are accepted and have no effect here.
#include <cstdint>
#include <memory>
#include <thread>

namespace QV {

class Thread {
public:
    using StartRoutine = uint32_t (*)(void* argument);

    Thread(StartRoutine routine, void* argument);
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // The previous suspend count (1 on the first call, then 0), 0xFFFFFFFF
    // when the thread could not be created.
    uint32_t Resume();
    bool SetPriority(int32_t priority);
    bool SetPriorityBoost(bool enable);
    bool HasExited() const;
    // True when the thread ended within the timeout.
    bool WaitForExit(uint32_t timeoutMs) const;
    // True when called on this object's own thread.
    bool IsCurrentThread() const;
    bool IsValid() const { return mControl != nullptr; }

private:
    struct Control;
    static void Entry(std::shared_ptr<Control> control, StartRoutine routine, void* argument);

    std::shared_ptr<Control> mControl;  // null when creation failed
    std::thread mThread;
    std::thread::id mId;
};

}  // namespace QV
