#pragma once
// The framework's critical section: re-entrant for the thread that holds it.
#include <mutex>

namespace QV {

class Mutex {
public:
    Mutex() = default;
    virtual ~Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void Enter() { mSection.lock(); }
    void Leave() { mSection.unlock(); }

    // Holds the mutex for the scope.
    class Lock {
    public:
        explicit Lock(Mutex& mutex) : mMutex(mutex) { mMutex.Enter(); }
        ~Lock() { mMutex.Leave(); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        Mutex& mMutex;
    };

private:
    std::recursive_mutex mSection;
};

}  // namespace QV
