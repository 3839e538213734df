#include "RefCountedObject.h"

#include <cstdio>
#include <cstdlib>

#include "Exception.h"
#include "LiveObjects.h"

namespace QV {

void LRefCountedObject::Undo()
{
    throw Exception<std::logic_error>(
        "Logic Error : Undo() not implemented for RefCountedObject : QV::LRefCountedObject::Undo : "
        "qvframework\\objectbase\\RefCountedObject : Line 155");
}

LRefCountedObject::~LRefCountedObject()
{
#ifndef NDEBUG
    // Only Release may end an object that was ever held; a count left here
    // means an owner still points at freed memory.
    if (const int32_t count = GetRefCount(); count != 0) {
        std::fprintf(stderr, "A counted object was destroyed while %d references held it\n", static_cast<int>(count));
        std::abort();
    }
#endif
}

int32_t LRefCountedObject::AddRef() const
{
    const int32_t count = RefCountOf(mCounts.fetch_add(1, std::memory_order_relaxed)) + 1;
    if (count == 1) LiveObjects::Add(this);
    return count;
}

int32_t LRefCountedObject::Release() const
{
    const uint64_t before = mCounts.fetch_sub(1, std::memory_order_acq_rel);
    const int32_t count = RefCountOf(before);
    const int32_t internal = InternalCountOf(before);
    int32_t remaining = count - 1;
    if (internal > 0 && count == internal + 1 && mReleaseHookGuard.load(std::memory_order_acquire) == 0) {
        // Only cycle references were left beside this one: it is taken back
        // for the hook, so the object lives while the hook runs.
        mCounts.fetch_add(1, std::memory_order_relaxed);
        mReleaseHookGuard.fetch_add(1, std::memory_order_acq_rel);
        // The hook's own releases re-enter here and see the guard.
        // Its answer only says whether the caller held the last reference, which the count tells below.
        (void)const_cast<LRefCountedObject*>(this)->ReleaseInternalReferences();
        mReleaseHookGuard.fetch_sub(1, std::memory_order_acq_rel);
        remaining = RefCountOf(mCounts.fetch_sub(1, std::memory_order_acq_rel)) - 1;
    }
    if (remaining == 0) {
        LiveObjects::Remove(this);
        delete this;
    }
    return remaining;
}

QVResult LRefCountedObject::ReleaseInternalReferences()
{
    return HeldOnlyByCaller();
}

QVResult LRefCountedObject::HeldOnlyByCaller() const
{
    return (GetInternalRefCount() == 0 && GetRefCount() == 1) ? S_OK : E_FAIL;
}

RCPtr<LRefCountedObject> LRefCountedObject::CreateCopy() const
{
    throw Exception<std::logic_error>(
        "Logic Error : CreateCopy() not implemented for RefCountedObject : "
        "QV::LRefCountedObject::CreateCopy : qvframework\\objectbase\\RefCountedObject : Line 228");
}

void LRefCountedObject::SetUnshareable(bool unshareable)
{
    if (unshareable && GetRefCount() > 1) {
        throw Exception<std::runtime_error>(
            "Runtime Error : QV::LRefCountedObject::SetUnshareable : ObjectBase\\RefCountedObject : Line 29");
    }
    mShareable.store(!unshareable, std::memory_order_release);
}

}  // namespace QV
