#pragma once
// A block of pixels of one type: the 8-bit coverage of a rasterised glyph or
// a glyph atlas. Rows are stride units apart.
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "RCPtr.h"
#include "RefCountedObject.h"

namespace QV {

template <class T>
class LPixelBuffer : public LRefCountedObject {
public:
    // A stride of 0 becomes the width rounded up to a multiple of 16. With
    // data, height x stride units are copied from it; else they are zero.
    static RCPtr<LPixelBuffer> Create(int32_t width, int32_t height, int32_t stride = 0, const T* data = nullptr)
    {
        RCPtr<LPixelBuffer> buffer(new LPixelBuffer(width, stride == 0 ? (width + 15) & ~15 : stride));
        if (buffer->SetHeight(height) < 0) return nullptr;
        if (data && !buffer->mPixels.empty())
            std::memcpy(buffer->mPixels.data(), data, buffer->mPixels.size() * sizeof(T));
        return buffer;
    }

    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    int32_t GetStride() const { return mStride; }

    // Null when (x, y) lies outside the buffer.
    T* GetPixelAddress(int32_t x, int32_t y)
    {
        if (x < 0 || y < 0) return nullptr;
        const size_t at = static_cast<size_t>(y) * static_cast<size_t>(mStride) + static_cast<size_t>(x);
        return at < mPixels.size() ? mPixels.data() + at : nullptr;
    }
    const T* GetPixelAddress(int32_t x, int32_t y) const
    {
        return const_cast<LPixelBuffer*>(this)->GetPixelAddress(x, y);
    }
    T* GetData() { return mPixels.data(); }
    const T* GetData() const { return mPixels.data(); }

    // Resizes to rows x stride units; new rows are zero. E_FAIL when the
    // storage cannot be had.
    [[nodiscard]] QVResult SetHeight(int32_t rows)
    {
        if (rows < 0 || mStride < 0) return E_INVALIDARG;
        try {
            mPixels.resize(static_cast<size_t>(rows) * static_cast<size_t>(mStride));
        } catch (const std::bad_alloc&) {
            return E_FAIL;
        }
        mHeight = rows;
        return S_OK;
    }

private:
    LPixelBuffer(int32_t width, int32_t stride) : mWidth(width), mStride(stride) {}

    int32_t mWidth;
    int32_t mHeight = 0;
    int32_t mStride;
    std::vector<T> mPixels;
};

}  // namespace QV
