#pragma once
// A ring of counted pointers with any number of producers and one consumer.
// When only the always-free slot is left, the ring grows by one slot, so
// posting never fails and never drops an item. The lock is optional.
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

#include "ContainerErrors.h"
#include "RCPtrArray.h"

namespace QV {

// The lock: QV::Mutex (Enter/Leave) or any lock()/unlock() type; each call
// takes it once.
template <class T, uint32_t N, class M = std::recursive_mutex>
class RCPtrQueue {
public:
    explicit RCPtrQueue(uint32_t slots = N, M* mutex = nullptr) : mRing(slots), mMutex(mutex) {}
    RCPtrQueue(const RCPtrQueue&) = delete;
    RCPtrQueue& operator=(const RCPtrQueue&) = delete;

    uint32_t GetCount() const
    {
        Guard guard(mMutex);
        return CountLocked();
    }

    QVResult Enqueue(const ConstRCPtr<T>& item)
    {
        Guard guard(mMutex);
        // A one-slot ring holds nothing (its slot is the free one), and
        // growing it would put the read index past the first item.
        if (mRing.GetCount() < 2) {
            mRing.SetCount(2);
            mWrite = mRead = 0;
        }
        if (mRing.GetCount() == CountLocked() + 1) Grow();
        const int32_t slots = static_cast<int32_t>(mRing.GetCount());
        *mRing.GetItemPtr(static_cast<uint32_t>(mWrite)) = RCPtr<T>(const_cast<T*>(item.Get()));
        mWrite = (mWrite + 1) % slots;
        return S_OK;
    }

    // Raises the runtime error when empty. Only one thread may dequeue.
    void Dequeue(RCPtr<T>& out)
    {
        out.Reset();
        // One lock for the test and the take-out.
        Guard guard(mMutex);
        if (CountLocked() == 0) ThrowRCPtrQueueEmpty(InstanceName());
        out = std::move(*mRing.GetItemPtr(static_cast<uint32_t>(mRead)));
        mRead = (mRead + 1) % static_cast<int32_t>(mRing.GetCount());
    }

    uint32_t GetSlotCount() const
    {
        Guard guard(mMutex);
        return mRing.GetCount();
    }

    static std::string InstanceName() { return ContainerInstanceName<T>("RCPtrQueue", N); }

private:
    class Guard {
    public:
        explicit Guard(M* mutex) : mMutex(mutex)
        {
            if (!mMutex) return;
            if constexpr (requires { mMutex->Enter(); }) mMutex->Enter();
            else mMutex->lock();
        }
        ~Guard()
        {
            if (!mMutex) return;
            if constexpr (requires { mMutex->Leave(); }) mMutex->Leave();
            else mMutex->unlock();
        }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        M* mMutex;
    };

    uint32_t CountLocked() const
    {
        const int32_t slots = static_cast<int32_t>(mRing.GetCount());
        if (slots == 0) return 0;
        const int32_t queued = mWrite - mRead;
        return static_cast<uint32_t>(queued < 0 ? queued + slots : queued);
    }

    // A null slot opens at the read index; the items from there on move up
    // one slot, so the order from read round to write stays as it was.
    void Grow()
    {
        if (mRead < mWrite) ++mWrite;
        mRing.InsertItems(static_cast<uint32_t>(mRead), 1);
        mRead = (mRead + 1) % static_cast<int32_t>(mRing.GetCount());
    }

    RCPtrArray<T, N, N> mRing;
    int32_t mWrite = 0;
    int32_t mRead = 0;
    M* mMutex = nullptr;
};

}  // namespace QV
