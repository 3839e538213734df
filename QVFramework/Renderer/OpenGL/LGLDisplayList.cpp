#include "LGLDisplayList.h"

#include <GL/gl.h>

#include "GLErrors.h"

namespace QV {
namespace {

bool IsList(int32_t name)
{
    return name >= 0 && glIsList(static_cast<GLuint>(name));
}

}  // namespace

RCPtr<LGLDisplayList> LGLDisplayList::Create(int32_t count)
{
    if (count == 0) {
        static const RCPtr<LGLDisplayList> empty(new LGLDisplayList(0));
        return empty;
    }
    return RCPtr<LGLDisplayList>(new LGLDisplayList(count));
}

LGLDisplayList::~LGLDisplayList()
{
    if (IsList(mFirst)) {
        glDeleteLists(static_cast<GLuint>(mFirst), mCount);
        DropGLErrors();
    }
}

QVResult LGLDisplayList::BeginRecord(int32_t index)
{
    if (mFirst == -1 && mCount > 0) {
        const GLuint first = glGenLists(mCount);
        mFirst = first == 0 ? -1 : static_cast<int32_t>(first);
    }
    if (!IsList(mFirst) || index < 0 || index >= mCount) return E_FAIL;
    glNewList(static_cast<GLuint>(mFirst + index), GL_COMPILE);
    DropGLErrors();
    return S_OK;
}

QVResult LGLDisplayList::EndRecord()
{
    if (!IsList(mFirst)) return E_FAIL;
    glEndList();
    DropGLErrors();
    return S_OK;
}

QVResult LGLDisplayList::Call(int32_t first, int32_t count) const
{
    if (mFirst == -1) return E_FAIL;
    if (first < 0 || count < 0 || first + count > mCount) return E_INVALIDARG;
    for (int32_t i = first; i < first + count; ++i) {
        if (!IsList(mFirst + i)) return E_FAIL;
        glCallList(static_cast<GLuint>(mFirst + i));
        DropGLErrors();
    }
    return S_OK;
}

}  // namespace QV
