#include "GLErrorBox.h"

#include "GLContext.h"

namespace QV {
namespace {

void DefaultBox(const String& caption, const String& text)
{
    Platform::ShowWarningBox(NarrowString(caption).GetChars(), NarrowString(text).GetChars());
}

GLErrorBoxHook& Hook()
{
    static GLErrorBoxHook hook = &DefaultBox;
    return hook;
}

}  // namespace

void ShowGLErrorBox(const String& caption, const String& text)
{
    Hook()(caption, text);
}

GLErrorBoxHook SetGLErrorBoxHook(GLErrorBoxHook hook)
{
    GLErrorBoxHook previous = Hook();
    Hook() = hook ? hook : &DefaultBox;
    return previous;
}

}  // namespace QV
