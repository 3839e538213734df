#pragma once
// An OpenGL compatibility-profile context (GL 1.x with GLU) on a window of
// the SDL backend: the Linux stand-in for WGL's pixel formats and contexts.
// A window that will hold one must be made after PrepareGLWindowAttributes.
// UI thread only.
#include <memory>
#include <string>

namespace Platform {

// An SDL window handle as the window layer hands it out (SDL_Window*).
using NativeWindow = void*;

// Asks for the visual the GL renderer wants: RGBA 8 bits a channel, double
// buffered, no depth or stencil, legacy profile. Call before the window is
// created; the visual of an X11 window is fixed then.
void PrepareGLWindowAttributes();

class GLContext {
public:
    // A context on window, left not current; null with error set when the
    // window cannot hold one.
    static std::unique_ptr<GLContext> Create(NativeWindow window, std::string& error);
    ~GLContext();
    GLContext(const GLContext&) = delete;
    GLContext& operator=(const GLContext&) = delete;

    // Binds this context to window for the calling thread.
    bool MakeCurrent(NativeWindow window) const;
    // Leaves the calling thread without a current context.
    static void ReleaseCurrent();
    // Presents the back buffer of window.
    static void SwapWindow(NativeWindow window);

    bool IsDoubleBuffered() const { return mDoubleBuffered; }

private:
    GLContext(void* context, bool doubleBuffered) : mContext(context), mDoubleBuffered(doubleBuffered) {}
    void* mContext;
    bool mDoubleBuffered;
};

// A warning box with an OK button and no owner.
void ShowWarningBox(const char* caption, const char* text);

// Whether window was made able to hold a GL context.
bool IsGLWindow(NativeWindow window);

// A hidden window able to hold a GL context, with the video subsystem kept
// up for its lifetime. For tests and benchmarks that draw without showing.
class HiddenGLWindow {
public:
    HiddenGLWindow(int width, int height);
    ~HiddenGLWindow();
    HiddenGLWindow(const HiddenGLWindow&) = delete;
    HiddenGLWindow& operator=(const HiddenGLWindow&) = delete;

    NativeWindow Get() const { return mWindow; }
    // Why the window could not be made; empty when it was.
    const std::string& GetError() const { return mError; }

private:
    NativeWindow mWindow = nullptr;
    bool mVideo = false;
    std::string mError;
};

// Mesa's driver keeps per-process caches that become unreachable, and are
// reported as leaks, only because the driver is unloaded before the leak
// check at exit; keeping it loaded keeps them reachable. For tests.
void KeepGLDriverLoaded();

}  // namespace Platform
