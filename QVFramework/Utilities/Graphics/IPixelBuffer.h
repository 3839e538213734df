#pragma once
// Addressable pixel rows; IPixelBuffer<int32_t> is the design's
// IPixelBuffer<long> of 32-bit pixels.
#include <cstdint>

namespace QV {

template <class T>
class IPixelBuffer {
public:
    virtual int32_t GetWidth() const = 0;
    virtual int32_t GetHeight() const = 0;
    // Bytes per row.
    virtual int32_t GetStride() const = 0;
    // Null outside the buffer.
    virtual const T* GetPixelAddress(int32_t x, int32_t y) const = 0;
    virtual T* GetPixelAddress(int32_t x, int32_t y) = 0;

protected:
    ~IPixelBuffer() = default;
};

}  // namespace QV
