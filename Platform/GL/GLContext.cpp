#include "GLContext.h"

#include <SDL.h>
#include <dlfcn.h>

namespace Platform {

void PrepareGLWindowAttributes()
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

std::unique_ptr<GLContext> GLContext::Create(NativeWindow window, std::string& error)
{
    if (!window) {
        error = "no window";
        return nullptr;
    }
    SDL_GLContext context = SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
    if (!context) {
        error = SDL_GetError();
        return nullptr;
    }
    int doubleBuffered = 0;
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffered);
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window), nullptr);
    return std::unique_ptr<GLContext>(new GLContext(context, doubleBuffered != 0));
}

GLContext::~GLContext()
{
    if (SDL_GL_GetCurrentContext() == mContext) ReleaseCurrent();
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(mContext));
}

bool GLContext::MakeCurrent(NativeWindow window) const
{
    return SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window), static_cast<SDL_GLContext>(mContext)) == 0;
}

void GLContext::ReleaseCurrent()
{
    if (SDL_Window* window = SDL_GL_GetCurrentWindow()) SDL_GL_MakeCurrent(window, nullptr);
}

void GLContext::SwapWindow(NativeWindow window)
{
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(window));
}

void ShowWarningBox(const char* caption, const char* text)
{
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr);
}

bool IsGLWindow(NativeWindow window)
{
    return window && (SDL_GetWindowFlags(static_cast<SDL_Window*>(window)) & SDL_WINDOW_OPENGL);
}

HiddenGLWindow::HiddenGLWindow(int width, int height)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        mError = SDL_GetError();
        return;
    }
    mVideo = true;
    PrepareGLWindowAttributes();
    mWindow = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!mWindow) mError = SDL_GetError();
}

HiddenGLWindow::~HiddenGLWindow()
{
    if (mWindow) SDL_DestroyWindow(static_cast<SDL_Window*>(mWindow));
    if (mVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void KeepGLDriverLoaded()
{
    for (const char* lib : {"libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "libLLVM-15.so.1"})
        dlopen(lib, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

}  // namespace Platform
