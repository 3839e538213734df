#pragma once
// Intrusively counted base object with copy-on-write support.
#include <atomic>
#include <cstdint>

#include "Result.h"
#include "TypeName.h"

namespace QV {

template <class T, class U>
class StringT;
using String = StringT<char16_t, char>;

template <class T>
class RCPtr;

class IStringable {
public:
    virtual ~IStringable() = default;
    virtual String ToString() const = 0;
};

class IUndoable : public IStringable {
public:
    virtual void Undo() = 0;
};

class LRefCountedObject : public IUndoable {
public:
    LRefCountedObject() = default;
    // A copy is a new object: it gets fresh counters.
    LRefCountedObject(const LRefCountedObject&) : IUndoable() {}
    LRefCountedObject& operator=(const LRefCountedObject&) { return *this; }
    // Debug builds end the process when a counted object dies while held.
    ~LRefCountedObject() override;

    // The run-time class name as the framework spells it.
    String ToString() const override;
    void Undo() override;

    // Final: nothing counts differently, and counted pointers then call it
    // without reading the vtable from the object's busiest cache line.
    virtual int32_t AddRef() const final;
    virtual int32_t Release() const;
    // Drops references that this object's own cycles hold; runs once when
    // only those references remain beside the one being released.
    virtual QVResult ReleaseInternalReferences();
    virtual RCPtr<LRefCountedObject> CreateCopy() const;

    virtual const char* GetTypeName() const { return "class QV::LRefCountedObject"; }
    static constexpr const char* kTypeName = "class QV::LRefCountedObject";

    void SetUnshareable(bool unshareable);
    bool IsShareable() const { return mShareable.load(std::memory_order_acquire); }

    int32_t GetRefCount() const { return RefCountOf(mCounts.load(std::memory_order_acquire)); }
    int32_t GetInternalRefCount() const { return InternalCountOf(mCounts.load(std::memory_order_acquire)); }
    // Owners that keep this object alive through a cycle count themselves here.
    void AddInternalReference() const { mCounts.fetch_add(kInternalOne, std::memory_order_acq_rel); }
    void RemoveInternalReference() const { mCounts.fetch_sub(kInternalOne, std::memory_order_acq_rel); }

protected:
    // The result a release hook reports: 0 when no internal reference is
    // left and only the caller holds this object, else E_FAIL.
    [[nodiscard]] QVResult HeldOnlyByCaller() const;

private:
    // Both counts live in one word, so one atomic step of Release both
    // decrements and tells whether the release hook is due.
    static constexpr uint64_t kInternalOne = uint64_t{1} << 32;
    static int32_t RefCountOf(uint64_t counts) { return static_cast<int32_t>(static_cast<uint32_t>(counts)); }
    static int32_t InternalCountOf(uint64_t counts)
    {
        return static_cast<int32_t>(static_cast<uint32_t>(counts >> 32));
    }

    // The reference count in the low half, the internal-reference count in the high half.
    mutable std::atomic<uint64_t> mCounts{0};
    mutable std::atomic<int32_t> mReleaseHookGuard{0};
    std::atomic<bool> mShareable{true};
};

// Counts one internal reference of an object for a scope.
class InternalReference {
public:
    explicit InternalReference(const LRefCountedObject& object) : mObject(object) { mObject.AddInternalReference(); }
    ~InternalReference() { mObject.RemoveInternalReference(); }
    InternalReference(const InternalReference&) = delete;
    InternalReference& operator=(const InternalReference&) = delete;

private:
    const LRefCountedObject& mObject;
};

}  // namespace QV

#include "RCPtr.h"
