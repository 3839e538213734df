#pragma once
// Counted pointers: ConstRCPtr<T> (read-only) and RCPtr<T> (changeable).
// A pointer holds exactly one reference to a non-null object.
#include <string>
#include <type_traits>
#include <utility>

#include "Exception.h"
#include "RefCountedObject.h"

namespace QV {

template <class T>
class ConstRCPtr {
public:
    ConstRCPtr() = default;
    ConstRCPtr(std::nullptr_t) {}
    ConstRCPtr(const T* p) : mPtr(const_cast<T*>(p)) { Acquire(); }
    ConstRCPtr(const ConstRCPtr& other) : mPtr(other.mPtr) { Acquire(); }
    ConstRCPtr(ConstRCPtr&& other) noexcept : mPtr(std::exchange(other.mPtr, nullptr)) {}
    template <class U>
        requires std::is_convertible_v<U*, T*>
    ConstRCPtr(const ConstRCPtr<U>& other) : mPtr(const_cast<U*>(other.Get())) { Acquire(); }
    ~ConstRCPtr() { Reset(); }

    // Run-time cast from a pointer to a base; a failed cast gives null.
    template <class U>
    static ConstRCPtr DynamicCast(const ConstRCPtr<U>& other)
    {
        return ConstRCPtr(dynamic_cast<const T*>(other.Get()));
    }

    ConstRCPtr& operator=(const ConstRCPtr& other) { Assign(other.mPtr); return *this; }
    ConstRCPtr& operator=(ConstRCPtr&& other) noexcept
    {
        if (this != &other) {
            T* old = std::exchange(mPtr, std::exchange(other.mPtr, nullptr));
            if (old) old->Release();
        }
        return *this;
    }
    ConstRCPtr& operator=(const T* p) { Assign(const_cast<T*>(p)); return *this; }
    ConstRCPtr& operator=(std::nullptr_t) { Reset(); return *this; }

    const T* Get() const { return mPtr; }
    const T* operator->() const { return mPtr; }
    const T& operator*() const { return *mPtr; }
    explicit operator bool() const { return mPtr != nullptr; }
    bool IsNull() const { return mPtr == nullptr; }

    // Copy-on-write: makes the held object private to this pointer.
    void Unshare();

    void Reset()
    {
        if (T* old = std::exchange(mPtr, nullptr)) old->Release();
    }

protected:
    T* mPtr = nullptr;

    void Acquire()
    {
        if (mPtr) {
            mPtr->AddRef();
            if (!mPtr->IsShareable()) Unshare();
        }
    }

    void Assign(T* p)
    {
        if (p == mPtr) return;
        T* old = mPtr;
        mPtr = p;
        Acquire();
        if (old) old->Release();
    }
};

template <class T>
bool operator==(const ConstRCPtr<T>& a, const ConstRCPtr<T>& b) { return a.Get() == b.Get(); }
template <class T>
bool operator==(const ConstRCPtr<T>& a, std::nullptr_t) { return a.Get() == nullptr; }

template <class T>
class RCPtr : public ConstRCPtr<T> {
public:
    RCPtr() = default;
    RCPtr(std::nullptr_t) {}
    RCPtr(T* p) : ConstRCPtr<T>(p) {}
    RCPtr(const RCPtr& other) : ConstRCPtr<T>(other) {}
    RCPtr(RCPtr&& other) noexcept : ConstRCPtr<T>(std::move(other)) {}
    template <class U>
        requires std::is_convertible_v<U*, T*>
    RCPtr(const RCPtr<U>& other) : ConstRCPtr<T>(static_cast<const ConstRCPtr<U>&>(other)) {}

    template <class U>
    static RCPtr DynamicCast(const ConstRCPtr<U>& other)
    {
        return RCPtr(dynamic_cast<T*>(const_cast<U*>(other.Get())));
    }

    RCPtr& operator=(const RCPtr& other) { ConstRCPtr<T>::operator=(other); return *this; }
    RCPtr& operator=(RCPtr&& other) noexcept { ConstRCPtr<T>::operator=(std::move(other)); return *this; }
    RCPtr& operator=(T* p) { ConstRCPtr<T>::operator=(p); return *this; }
    RCPtr& operator=(std::nullptr_t) { this->Reset(); return *this; }

    T* Get() const { return this->mPtr; }
    T* operator->() const { return this->mPtr; }
    T& operator*() const { return *this->mPtr; }
};

// Makes a counted object and hands it over held once.
template <class T, class... Args>
RCPtr<T> MakeRC(Args&&... args)
{
    return RCPtr<T>(new T(std::forward<Args>(args)...));
}

template <class T>
void ConstRCPtr<T>::Unshare()
{
    if (!mPtr) return;
    if (mPtr->GetRefCount() <= 1) return;
    {
        RCPtr<LRefCountedObject> copy = mPtr->CreateCopy();
        ConstRCPtr<T> typed = ConstRCPtr<T>::DynamicCast(copy);
        *this = typed;
    }
    if (!mPtr) {
        const std::string name = TypeNameOf<T>();
        throw Exception<std::logic_error>(FormatExceptionMessage(
            kLogicError, name, "QV::ConstRCPtr<" + CloseTemplateName(name) + "::Unshare",
            "qvframework\\objectbase\\RefCountedObject", 369));
    }
}

}  // namespace QV
