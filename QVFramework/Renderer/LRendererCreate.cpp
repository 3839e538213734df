#include <stdexcept>

#include "Gdi/LGDIRenderer.h"
#include "LD3D9Renderer.h"
#include "LFreetypeFontRenderer.h"
#include "LGLGlyphRenderer.h"
#include "LGLRenderer.h"
#include "LRenderer.h"

namespace QV {

RCPtr<LRenderer> LRenderer::Create(int32_t kind, const LongRect&, WindowHandle window)
{
    switch (kind) {
    case kOpenGL: {
        // One glyph renderer both draws and measures the FreeType glyphs.
        RCPtr<LGLGlyphRenderer> glyphs = LGLGlyphRenderer::Create();
        RCPtr<LFontRenderer> fonts(new LFreetypeFontRenderer(glyphs, glyphs));
        return RCPtr<LRenderer>(new LGLRenderer(fonts, window));
    }
    case kGdi: return RCPtr<LRenderer>(new LGDIRenderer());
    case kDirect3D9: return RCPtr<LRenderer>(new LD3D9Renderer());
    default:
        throw Exception<std::domain_error>(
            FormatExceptionMessage(kDomainError, "", "QV::LRenderer::Create", "Renderer/Renderer", 116));
    }
}

}  // namespace QV
