#pragma once
// A counted clip shape carried by the render state. Renderers receive it
// through SetStencil; the drawing operations of this tree do not read it.
#include <cstdint>

#include "RCPtr.h"
#include "RectT.h"
#include "RefCountedObject.h"
#include "SizeT.h"
#include "TypeName.h"

namespace QV {

class LStencil : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LStencil")
public:
    // A new stencil of that size; its area is {0, 0, width, height}.
    static RCPtr<LStencil> Create(const LongSize& size);
    // A new stencil of the same size, area again the whole size.
    static RCPtr<LStencil> Duplicate(const ConstRCPtr<LStencil>& stencil);

    const LongSize& GetSize() const { return mSize; }
    const LongRect& GetArea() const { return mArea; }
    void SetArea(const LongRect& area) { mArea = area; }

private:
    explicit LStencil(const LongSize& size) : mSize(size), mArea(0, 0, size.width, size.height) {}

    LongSize mSize;
    LongRect mArea;
};

}  // namespace QV
