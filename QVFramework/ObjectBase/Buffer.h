#pragma once
// Contiguous byte buffers whose capacity follows a rounding step G and keeps
// at most a slack S when shrinking; and their counted, copy-on-write form.
#include <cstdint>
#include <cstring>

#include "Allocator.h"
#include "RefCountedObject.h"
#include "Result.h"

namespace QV {

class IBuffer {
public:
    virtual ~IBuffer() = default;
    virtual uint32_t GetSize() const = 0;
    // Sets the size without keeping the contents.
    virtual uint32_t Allocate(uint32_t size) = 0;
    // Sets the size keeping the contents.
    virtual uint32_t SetSize(uint32_t size) = 0;
    [[nodiscard]] virtual QVResult Fill(uint8_t value, uint32_t offset, int32_t count) = 0;
    // offset in bytes, count in 16-bit units.
    [[nodiscard]] virtual QVResult FillUInt16(uint16_t value, uint32_t offset, int32_t count) = 0;
    virtual uint32_t GetCapacity() const = 0;
    virtual char* GetData() const = 0;

    // The byte at offset, or null when it lies outside the data.
    char* GetDataAt(uint32_t offset) const
    {
        return (static_cast<uint64_t>(offset) + 1 > GetSize()) ? nullptr : GetData() + offset;
    }
};

template <uint32_t G, uint32_t S, int A = 8, class T = char, IAllocator* (*Alloc)() = GetSystemAllocator>
class BufferT : public virtual IBuffer {
    static_assert(G > 0, "capacity step must be positive");

public:
    BufferT(uint32_t size = 0, uint32_t capacity = 0, bool zeroFill = false)
    {
        if (size < capacity) {
            mBlock = static_cast<char*>(Alloc()->Allocate(capacity));
            mData = mBlock;
            mCapacity = capacity;
        }
        BufferT::SetSize(size);
        if (zeroFill && size > 0) std::memset(mData, 0, size);
    }
    BufferT(const BufferT&) = delete;
    BufferT& operator=(const BufferT&) = delete;
    ~BufferT() override { Release(); }

    uint32_t GetSize() const override { return mSize; }
    uint32_t GetCapacity() const override { return mCapacity; }
    char* GetData() const override { return mData; }
    T* GetElements() const { return reinterpret_cast<T*>(mData); }

    uint32_t Allocate(uint32_t n) override
    {
        if (n == 0) {
            Release();
            return 0;
        }
        const uint32_t c = RoundUp(n);
        if (c != mCapacity) {
            Release();
            mBlock = static_cast<char*>(Alloc()->Allocate(c));
            mData = mBlock;
            mCapacity = c;
        }
        mSize = n;
        return n;
    }

    uint32_t SetSize(uint32_t n) override
    {
        if (mCapacity == 0) return Allocate(n);
        const uint32_t keep = S > G - 1 ? S : G - 1;
        if (n > mCapacity || mCapacity - n > keep) {
            if (n == 0) {
                Release();
                return 0;
            }
            const uint32_t c = RoundUp(n);
            mBlock = static_cast<char*>(Alloc()->Reallocate(mBlock, c));
            mData = mBlock;
            mCapacity = c;
        }
        mSize = n;
        return n;
    }

    [[nodiscard]] QVResult Fill(uint8_t value, uint32_t offset, int32_t count) override
    {
        uint64_t n;
        if (count < 0) {
            if (offset > mSize) return E_INVALIDARG;
            n = mSize - offset;
        } else {
            n = static_cast<uint64_t>(count);
            if (offset + n > mSize) return E_INVALIDARG;
        }
        if (n > 0) std::memset(mData + offset, value, n);
        return S_OK;
    }

    [[nodiscard]] QVResult FillUInt16(uint16_t value, uint32_t offset, int32_t count) override
    {
        uint64_t units;
        if (count < 0) {
            if (offset > mSize) return E_INVALIDARG;
            units = (mSize - offset) / 2;
        } else {
            units = static_cast<uint64_t>(count);
            if (offset + 2 * units > mSize) return E_INVALIDARG;
        }
        const uint32_t pair = static_cast<uint32_t>(value) | (static_cast<uint32_t>(value) << 16);
        char* p = mData + offset;
        for (uint64_t i = 0; i + 1 < units; i += 2, p += 4) std::memcpy(p, &pair, 4);
        if (units % 2 != 0) std::memcpy(p, &value, 2);
        return S_OK;
    }

private:
    char* mData = nullptr;
    uint32_t mSize = 0;
    char* mBlock = nullptr;
    uint32_t mCapacity = 0;

    static uint32_t RoundUp(uint32_t n)
    {
        const uint64_t c = (static_cast<uint64_t>(n) + G - 1) / G * G;
        return static_cast<uint32_t>(c > UINT32_MAX ? UINT32_MAX / G * G : c);
    }

    void Release()
    {
        if (mBlock) Alloc()->Free(mBlock);
        mData = mBlock = nullptr;
        mSize = mCapacity = 0;
    }
};

class LIBuffer : public virtual IBuffer, public virtual LRefCountedObject {
public:
    // A new zero-filled buffer of n bytes holding this buffer's bytes from offset.
    virtual RCPtr<LIBuffer> CopyRange(uint32_t n, uint32_t offset) const = 0;
    static constexpr const char* kTypeName = "class QV::LIBuffer";
};

// Counted buffer: takes part in copy-on-write through CreateCopy.
template <uint32_t G, uint32_t S, int A = 8, class T = char, IAllocator* (*Alloc)() = GetSystemAllocator>
class LBufferT final : public BufferT<G, S, A, T, Alloc>, public LIBuffer {
public:
    using Base = BufferT<G, S, A, T, Alloc>;
    LBufferT(uint32_t size = 0, uint32_t capacity = 0, bool zeroFill = false)
        : Base(size, capacity, zeroFill) {}

    static RCPtr<LIBuffer> Create(uint32_t size, uint32_t capacity, bool zeroFill)
    {
        return RCPtr<LIBuffer>(new LBufferT(size, capacity, zeroFill));
    }

    RCPtr<LRefCountedObject> CreateCopy() const override
    {
        RCPtr<LIBuffer> copy = Create(this->GetSize(), 0, true);
        if (this->GetSize() > 0) std::memcpy(copy->GetData(), this->GetData(), this->GetSize());
        return RCPtr<LRefCountedObject>(copy.Get());
    }

    RCPtr<LIBuffer> CopyRange(uint32_t n, uint32_t offset) const override
    {
        RCPtr<LIBuffer> copy = Create(n, 0, true);
        if (offset < this->GetSize()) {
            const uint32_t count = n < this->GetSize() - offset ? n : this->GetSize() - offset;
            if (count > 0) std::memcpy(copy->GetData(), this->GetData() + offset, count);
        }
        return copy;
    }

    const char* GetTypeName() const override { return "class QV::LBufferT"; }
};

// The counted buffer behind strings (step 1, slack 128 bytes).
using LStringBuffer = LBufferT<1, 128, 8, char>;
// The counted buffer behind pixel buffers (step 1, no slack).
using LPixelDataBuffer = LBufferT<1, 0, 8, char>;

// Makes a string buffer; the out pointer holds it with count 1.
void CreateBuffer(ConstRCPtr<LIBuffer>& out, uint32_t size, uint32_t capacity, bool zeroFill);
// Makes a pixel data buffer.
void CreatePixelBuffer(ConstRCPtr<LIBuffer>& out, uint32_t size, uint32_t capacity, bool zeroFill);

}  // namespace QV
