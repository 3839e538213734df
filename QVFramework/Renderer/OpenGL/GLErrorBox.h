#pragma once
// Where the OpenGL renderer shows why it could not start: a warning box by
// default; tests put their own hook in place for a scope.
#include "StringT.h"

namespace QV {

using GLErrorBoxHook = void (*)(const String& caption, const String& text);

void ShowGLErrorBox(const String& caption, const String& text);
// Returns the hook it replaces; null restores the default box.
GLErrorBoxHook SetGLErrorBoxHook(GLErrorBoxHook hook);

}  // namespace QV
