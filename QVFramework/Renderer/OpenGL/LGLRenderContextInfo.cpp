#include "LGLRenderContextInfo.h"

#include <GL/gl.h>

#include "GLContext.h"
#include "GLErrors.h"

namespace QV {

LGLRenderContextInfo::LGLRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen)
    : LRenderContextInfo(viewport, window, offscreen)
{
    GLint dims[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
    DropGLErrors();
    mMaximum = {dims[0], dims[1]};
}

bool LGLRenderContextInfo::SwapBuffers()
{
    if (IsOffscreen() || !GetWindow()) return false;
    Platform::GLContext::SwapWindow(GetWindow());
    return true;
}

}  // namespace QV
