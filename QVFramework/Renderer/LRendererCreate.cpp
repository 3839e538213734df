#include <stdexcept>

#include "Gdi/LGDIRenderer.h"
#include "LD3D9Renderer.h"
#include "LRenderer.h"

namespace QV {

RCPtr<LRenderer> LRenderer::Create(int32_t kind, const LongRect&, WindowHandle)
{
    switch (kind) {
    case kGdi: return RCPtr<LRenderer>(new LGDIRenderer());
    case kDirect3D9: return RCPtr<LRenderer>(new LD3D9Renderer());
    default:
        // The OpenGL kind arrives with its own renderer; until then it is
        // refused like any unknown kind.
        throw Exception<std::domain_error>(
            FormatExceptionMessage(kDomainError, "", "QV::LRenderer::Create", "Renderer/Renderer", 116));
    }
}

}  // namespace QV
