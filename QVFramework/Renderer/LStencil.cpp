#include "LStencil.h"

namespace QV {

RCPtr<LStencil> LStencil::Create(const LongSize& size)
{
    return RCPtr<LStencil>(new LStencil(size));
}

RCPtr<LStencil> LStencil::Duplicate(const ConstRCPtr<LStencil>& stencil)
{
    return stencil ? Create(stencil->GetSize()) : RCPtr<LStencil>();
}

}  // namespace QV
