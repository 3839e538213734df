#pragma once
// The process's UI thread: the one thread that may register, send
// synchronously and drain queues. Recorded once by the application's start
// (and by tests); read from any thread.
#include <thread>

namespace QV::UIThread {

// Records the calling thread as the UI thread.
void SetCurrent();
// Forgets the record; no thread is the UI thread afterwards.
void Clear();
bool IsRecorded();
// True on the recorded UI thread, and on every thread while none is recorded.
bool IsCurrentOrUnrecorded();

// Debug builds end the process with a message naming `where` when called off
// the recorded UI thread; release builds do nothing.
void AssertCurrent(const char* where);

// Records the calling thread for a scope and restores the earlier record.
class Scope {
public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    std::thread::id mPrevious;
};

}  // namespace QV::UIThread
