#include "SdlWindowBackend.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string_view>

#include "OSWindow.h"

namespace Platform::Window {
namespace {

// The windows the pump knows, by SDL window id; UI thread only.
std::map<Uint32, SdlWindowBackend*>& Windows()
{
    static std::map<Uint32, SdlWindowBackend*> windows;
    return windows;
}

Uint32 WakeEventType()
{
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

std::atomic<bool> gQuit{false};
std::atomic<bool> gWakePending{false};

}  // namespace

SdlVideo::SdlVideo() : mReady(SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
{
    // Ctrl+C and termination arrive as SDL_QUIT: the system close.
    if (mReady) WakeEventType();
}

bool SdlVideo::HasDisplay() const
{
    if (!mReady) return false;
    if (std::getenv("SDL_VIDEODRIVER")) return true;
    const std::string_view driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    return driver == "x11" || driver == "wayland";
}

SdlVideo::~SdlVideo()
{
    if (mReady) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

QV::DoubleRect GetWorkArea()
{
    SDL_Rect r{0, 0, 1024, 768};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) SDL_GetDisplayBounds(0, &r);
    return {double(r.x), double(r.y), double(r.w), double(r.h)};
}

bool FitsAWorkArea(const QV::LongRect& frame)
{
    if (frame.width <= 0 || frame.height <= 0) return false;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect r;
        if (SDL_GetDisplayUsableBounds(i, &r) != 0 && SDL_GetDisplayBounds(i, &r) != 0) continue;
        if (frame.x >= r.x && frame.y >= r.y && int64_t(frame.x) + frame.width <= int64_t(r.x) + r.w &&
            int64_t(frame.y) + frame.height <= int64_t(r.y) + r.h) {
            return true;
        }
    }
    return false;
}

void WakeLoop()
{
    if (gWakePending.exchange(true)) return;
    SDL_Event e{};
    e.type = WakeEventType();
    SDL_PushEvent(&e);
}

SdlWindowBackend::SdlWindowBackend(const char* title, int32_t width, int32_t height)
    : mWindow(SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN)),
      mMadeWidth(width),
      mMadeHeight(height)
{
    // The renderer draws off-screen and copies rectangles: the plain window
    // surface does, and an accelerated one would load the whole GL driver.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (mWindow) Windows()[SDL_GetWindowID(mWindow)] = this;
}

SdlWindowBackend::~SdlWindowBackend()
{
    Destroy();
}

void SdlWindowBackend::Destroy()
{
    if (!mWindow) return;
    CapturePointer(false);
    Windows().erase(SDL_GetWindowID(mWindow));
    SDL_DestroyWindow(mWindow);
    mWindow = nullptr;
}

void SdlWindowBackend::SetTitle(const QV::String& text)
{
    if (mWindow) SDL_SetWindowTitle(mWindow, text.ToUtf8().c_str());
}

void SdlWindowBackend::InvalidateRect(const QV::LongRect* rect)
{
    {
        std::lock_guard lock(mUpdateLock);
        const QV::LongRect area = rect ? *rect : GetClientRect();
        if (!mUpdatePending) {
            mUpdate = area;
        } else {
            const int32_t l = std::min(mUpdate.x, area.x);
            const int32_t t = std::min(mUpdate.y, area.y);
            const int32_t r = std::max(mUpdate.Right(), area.Right());
            const int32_t b = std::max(mUpdate.Bottom(), area.Bottom());
            mUpdate = {l, t, r - l, b - t};
        }
        mUpdatePending = true;
    }
    WakeLoop();
}

bool SdlWindowBackend::TakeUpdate(QV::LongRect& rect)
{
    std::lock_guard lock(mUpdateLock);
    if (!mUpdatePending) return false;
    rect = mUpdate;
    mUpdatePending = false;
    return true;
}

QV::LongRect SdlWindowBackend::GetClientRect() const
{
    int w = 0;
    int h = 0;
    if (mWindow) SDL_GetWindowSize(mWindow, &w, &h);
    return {0, 0, w, h};
}

QV::LongRect SdlWindowBackend::GetWindowRect() const
{
    int x = 0, y = 0, w = 0, h = 0, top = 0, left = 0, bottom = 0, right = 0;
    if (!mWindow) return {};
    SDL_GetWindowPosition(mWindow, &x, &y);
    SDL_GetWindowSize(mWindow, &w, &h);
    SDL_GetWindowBordersSize(mWindow, &top, &left, &bottom, &right);
    return {x - left, y - top, w + left + right, h + top + bottom};
}

QV::LongPoint SdlWindowBackend::GetClientOrigin() const
{
    int x = 0, y = 0;
    if (mWindow) SDL_GetWindowPosition(mWindow, &x, &y);
    return {x, y};
}

void SdlWindowBackend::SetClientRect(const QV::LongRect& r)
{
    if (!mWindow) return;
    SDL_SetWindowPosition(mWindow, r.x, r.y);
    SDL_SetWindowSize(mWindow, std::max(r.width, 1), std::max(r.height, 1));
}

void SdlWindowBackend::SetFrameRect(const QV::LongRect& frame)
{
    if (!mWindow) return;
    // Before it is shown the window has no borders yet: a window manager
    // puts the frame's corner where the window was asked to go.
    SetClientRect(frame);
    mPendingFrame = frame;
    mFramePending = !IsVisible();
}

void SdlWindowBackend::FitPendingFrame()
{
    if (!mFramePending || !IsVisible()) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    const bool known = SDL_GetWindowBordersSize(mWindow, &top, &left, &bottom, &right) == 0;
    if (known && top + left + bottom + right == 0) return;  // the frame is not there yet
    mFramePending = false;
    if (!known) return;  // no window manager: the frame is the client area
    SDL_SetWindowSize(mWindow, std::max(mPendingFrame.width - left - right, 1),
                      std::max(mPendingFrame.height - top - bottom, 1));
}

bool SdlWindowBackend::Show(int32_t command)
{
    const bool was = IsVisible();
    if (mWindow) (command != 0 ? SDL_ShowWindow : SDL_HideWindow)(mWindow);
    return was;
}

bool SdlWindowBackend::IsVisible() const
{
    return mWindow && (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_SHOWN) != 0;
}

bool SdlWindowBackend::Raise()
{
    if (mWindow) SDL_RaiseWindow(mWindow);
    return mWindow != nullptr;
}

void SdlWindowBackend::SetTopMost(bool topMost)
{
    if (mWindow) SDL_SetWindowAlwaysOnTop(mWindow, topMost ? SDL_TRUE : SDL_FALSE);
}

bool SdlWindowBackend::HasInputFocus() const
{
    return mWindow && (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool SdlWindowBackend::IsActive() const
{
    return mWindow && mEnabled && (HasInputFocus() || mClickActivated);
}

bool SdlWindowBackend::HasFocus() const
{
    return mWindow && SDL_GetKeyboardFocus() == mWindow;
}

bool SdlWindowBackend::TakeFocus()
{
    if (!mWindow) return false;
    SDL_RaiseWindow(mWindow);
    // Also without a window manager to hand the focus over.
    if (IsVisible()) SDL_SetWindowInputFocus(mWindow);
    return true;
}

void SdlWindowBackend::CapturePointer(bool capture)
{
    if (capture == mPointerCaptured || !mWindow) return;
    mPointerCaptured = capture && SDL_CaptureMouse(SDL_TRUE) == 0;
    if (!capture) SDL_CaptureMouse(SDL_FALSE);
}

void SdlWindowBackend::SetMinimumSize(int32_t width, int32_t height)
{
    if (!mWindow) return;
    DropPendingFrameUnlessItFits(width, height);
    SDL_SetWindowMinimumSize(mWindow, std::max(width, 1), std::max(height, 1));
}

void SdlWindowBackend::DropPendingFrameUnlessItFits(int32_t minWidth, int32_t minHeight)
{
    if (!mFramePending) return;
    // The minimum grows the saved frame from its corner: a small one saved
    // near the screen's edge would open mostly off it.
    const QV::LongRect shown{mPendingFrame.x, mPendingFrame.y, std::max(mPendingFrame.width, minWidth),
                             std::max(mPendingFrame.height, minHeight)};
    if (FitsAWorkArea(shown)) return;
    mFramePending = false;
    SDL_SetWindowSize(mWindow, std::max(mMadeWidth, 1), std::max(mMadeHeight, 1));
    SDL_SetWindowPosition(mWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void SdlWindowBackend::Reappear(bool restored)
{
    InvalidateRect(nullptr);
    if (!restored || !mHost) return;
    const QV::LongRect client = GetClientRect();
    QV::WindowMessage size;
    size.kind = QV::WindowMessage::Kind::kSize;
    size.width = client.width;
    size.height = client.height;
    mHost->HandleMessage(size);
}

void SdlWindowBackend::SetCursor(uint32_t cursor)
{
    // Cursor ids are SDL system cursors plus one; 0 is the arrow.
    static std::map<uint32_t, SDL_Cursor*> cursors;
    const uint32_t id = cursor < SDL_NUM_SYSTEM_CURSORS + 1u ? cursor : 0u;
    SDL_Cursor*& c = cursors[id];
    if (!c) c = SDL_CreateSystemCursor(id == 0 ? SDL_SYSTEM_CURSOR_ARROW : SDL_SystemCursor(id - 1));
    if (c) SDL_SetCursor(c);
}

QV::LongPoint SdlWindowBackend::GetScreenCursor() const
{
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}

uint32_t SdlWindowBackend::GetSystemButtons() const
{
    const Uint32 state = SDL_GetMouseState(nullptr, nullptr);
    return (state & SDL_BUTTON_LMASK ? 1u : 0u) | (state & SDL_BUTTON_MMASK ? 2u : 0u) |
           (state & SDL_BUTTON_RMASK ? 4u : 0u);
}

int32_t SdlWindowBackend::GetShowState() const
{
    if (!mWindow) return 1;
    const Uint32 flags = SDL_GetWindowFlags(mWindow);
    return (flags & SDL_WINDOW_MINIMIZED) ? 2 : (flags & SDL_WINDOW_MAXIMIZED) ? 3 : 1;
}

bool SdlWindowBackend::HasPendingMessage()
{
    if (gQuit) return true;
    SDL_PumpEvents();
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) return true;
    for (const auto& [id, window] : Windows()) {
        std::lock_guard lock(window->mUpdateLock);
        if (window->mUpdatePending) return true;
    }
    return false;
}

void SdlWindowBackend::KeepPainting()
{
    auto& windows = Windows();
    if (windows.empty()) return;
    SdlWindowBackend* any = windows.begin()->second;
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT) > 0) any->Dispatch(event);
    any->PaintInvalidWindows();
}

uint64_t SdlWindowBackend::GetX11WindowId(void* handle)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!handle || !SDL_GetWindowWMInfo(static_cast<SDL_Window*>(handle), &info) || info.subsystem != SDL_SYSWM_X11) {
        return 0;
    }
    return static_cast<uint64_t>(info.info.x11.window);
}

bool SdlWindowBackend::PaintInvalidWindows()
{
    bool painted = false;
    for (const auto& [id, window] : std::map<Uint32, SdlWindowBackend*>(Windows())) {
        QV::LongRect update;
        if (!window->mHost || !window->TakeUpdate(update)) continue;
        QV::WindowMessage paint;
        paint.kind = QV::WindowMessage::Kind::kPaint;
        paint.updateRect = update;
        window->mHost->HandleMessage(paint);
        painted = true;
    }
    return painted;
}

int SdlWindowBackend::WaitTimeout() const
{
    for (const auto& [id, window] : Windows()) {
        if (window->mHost && window->mHost->WantsTimerTicks()) return int(mTimerPeriod);
    }
    return kIdleBackstopMs;
}

bool SdlWindowBackend::PumpMessage()
{
    if (gQuit) return false;
    SDL_Event event;
    if (SDL_PollEvent(&event) || (!PaintInvalidWindows() && SDL_WaitEventTimeout(&event, WaitTimeout()))) {
        if (event.type == WakeEventType()) {
            gWakePending = false;
        } else {
            Dispatch(event);
        }
    }
    return !gQuit;
}

void SdlWindowBackend::Dispatch(const SDL_Event& event)
{
    Uint32 id = 0;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: id = event.key.windowID; break;
    case SDL_TEXTINPUT: id = event.text.windowID; break;
    case SDL_MOUSEMOTION: id = event.motion.windowID; break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: id = event.button.windowID; break;
    case SDL_MOUSEWHEEL: id = event.wheel.windowID; break;
    case SDL_WINDOWEVENT: id = event.window.windowID; break;
    default: break;
    }
    auto& windows = Windows();
    if (windows.empty()) return;
    // A quit (Ctrl+C, termination) closes the first window: the main one.
    auto it = event.type == SDL_QUIT ? windows.begin() : windows.find(id);
    if (it == windows.end()) return;
    SdlWindowBackend* window = it->second;
    if (event.type == SDL_WINDOWEVENT) {
        window->FitPendingFrame();
        switch (event.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN: window->Reappear(false); return;
        case SDL_WINDOWEVENT_RESTORED: window->Reappear(true); return;
        case SDL_WINDOWEVENT_FOCUS_LOST: window->mClickActivated = false; break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (window->mClickActivated) return;  // told before the click that brought it
            break;
        default: break;
        }
    }
    // As a click on an inactive window activates it first: the focus gain
    // comes before the press, so it cannot take the focus from what the press
    // opens.
    if (event.type == SDL_MOUSEBUTTONDOWN && window->mEnabled && !window->HasInputFocus() &&
        !window->mClickActivated && window->mHost) {
        window->mClickActivated = true;
        SDL_SetWindowInputFocus(window->mWindow);
        QV::WindowMessage gained;
        gained.kind = QV::WindowMessage::Kind::kSetFocus;
        window->mHost->HandleMessage(gained);
    }
    for (QV::WindowMessage message : window->mTranslator.Translate(event)) {
        if (!window->mHost || !window->mWindow) return;
        if (message.kind == QV::WindowMessage::Kind::kButtonUp) {
            const QV::LongRect client = window->GetClientRect();
            message.elsewhere = message.point.x < 0 || message.point.y < 0 || message.point.x >= client.width ||
                                message.point.y >= client.height;
        }
        window->mHost->HandleMessage(message);
    }
}

void SdlWindowBackend::PostQuit()
{
    gQuit = true;
}

}  // namespace Platform::Window
