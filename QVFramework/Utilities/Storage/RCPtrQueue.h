#pragma once
// A ring of counted pointers with any number of producers and one consumer.
// When only the always-free slot is left, the ring grows by one slot, so
// posting never fails and never drops an item. The lock is optional.
//
// The slot count is what callers see; the storage behind it doubles when
// it runs out and never shrinks, so a long burst costs no copy per post
// and a ring that has reached its largest size allocates nothing more.
#include <algorithm>
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
    explicit RCPtrQueue(uint32_t slots = N, M* mutex = nullptr) : mRing(slots), mSlots(slots), mMutex(mutex) {}
    RCPtrQueue(const RCPtrQueue&) = delete;
    RCPtrQueue& operator=(const RCPtrQueue&) = delete;

    uint32_t GetCount() const
    {
        Guard guard(mMutex);
        return CountLocked();
    }

    [[nodiscard]] QVResult Enqueue(const ConstRCPtr<T>& item)
    {
        return Enqueue(RCPtr<T>(const_cast<T*>(item.Get())));
    }

    // Takes over the caller's reference, so the item's count is not touched.
    [[nodiscard]] QVResult Enqueue(RCPtr<T>&& item)
    {
        Guard guard(mMutex);
        // A one-slot ring holds nothing (its slot is the free one).
        if (mSlots < 2) mSlots = 2;
        if (mSlots == CountLocked() + 1) ++mSlots;
        if (mSlots > mRing.GetCount()) Reserve(mSlots);
        *mRing.GetItemPtr(mWrite) = std::move(item);
        if (++mWrite == mRing.GetCount()) mWrite = 0;
        return S_OK;
    }

    // Raises the runtime error when empty. Only one thread may dequeue.
    void Dequeue(RCPtr<T>& out)
    {
        out.Reset();
        // One lock for the test and the take-out.
        Guard guard(mMutex);
        if (CountLocked() == 0) ThrowRCPtrQueueEmpty(InstanceName());
        out = std::move(*mRing.GetItemPtr(mRead));
        mRead = (mRead + 1) % mRing.GetCount();
    }

    // Moves up to `most` items, oldest first, to the end of `out` under one
    // lock; the number moved. Only one thread may dequeue.
    template <class Out>
    uint32_t DequeueUpTo(uint32_t most, Out& out)
    {
        Guard guard(mMutex);
        const uint32_t taken = std::min(most, CountLocked());
        for (uint32_t i = 0; i < taken; ++i) {
            out.push_back(std::move(*mRing.GetItemPtr(mRead)));
            if (++mRead == mRing.GetCount()) mRead = 0;
        }
        return taken;
    }

    uint32_t GetSlotCount() const
    {
        Guard guard(mMutex);
        return mSlots;
    }

    static std::string InstanceName() { return ContainerInstanceName<T>("RCPtrQueue", N); }

private:
    class Guard {
    public:
        explicit Guard(M* mutex) : mMutex(mutex)
        {
            if (!mMutex) return;
            if constexpr (requires { mMutex->Enter(); })
                mMutex->Enter();
            else
                mMutex->lock();
        }
        ~Guard()
        {
            if (!mMutex) return;
            if constexpr (requires { mMutex->Leave(); })
                mMutex->Leave();
            else
                mMutex->unlock();
        }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        M* mMutex;
    };

    uint32_t CountLocked() const
    {
        const uint32_t storage = mRing.GetCount();
        return mWrite >= mRead ? mWrite - mRead : mWrite + storage - mRead;
    }

    // At least `slots` places, at least twice the old storage. Null places
    // open at the read index, so the order from read round to write holds.
    void Reserve(uint32_t slots)
    {
        const uint32_t old = mRing.GetCount();
        const uint32_t added = std::max(slots, 2 * old) - old;
        if (mRead <= mWrite) {
            (void)mRing.SetCount(old + added);
            return;
        }
        (void)mRing.InsertItems(mRead, added);
        mRead += added;
    }

    RCPtrArray<T, N, N> mRing;
    uint32_t mSlots = 0;
    uint32_t mWrite = 0;
    uint32_t mRead = 0;
    M* mMutex = nullptr;
};

}  // namespace QV
