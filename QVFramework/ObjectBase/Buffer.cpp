#include "Buffer.h"

namespace QV {

void CreateBuffer(ConstRCPtr<LIBuffer>& out, uint32_t size, uint32_t capacity, bool zeroFill)
{
    out = LStringBuffer::Create(size, capacity, zeroFill);
}

void CreatePixelBuffer(ConstRCPtr<LIBuffer>& out, uint32_t size, uint32_t capacity, bool zeroFill)
{
    out = LPixelDataBuffer::Create(size, capacity, zeroFill);
}

}  // namespace QV
