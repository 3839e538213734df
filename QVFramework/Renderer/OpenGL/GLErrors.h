#pragma once
// GL errors are never reported: after GL work the queue is emptied, so one
// operation's error never reaches the next one's check.
#include <GL/gl.h>

namespace QV {

inline void DropGLErrors()
{
    // A bound keeps a broken driver that repeats an error from hanging us.
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

}  // namespace QV
