#pragma once
// An SDL window as the host window's system side. The pump waits in
// SDL_WaitEventTimeout between 33 ms ticks, hands each event to the host of
// the window it belongs to, and paints invalid windows when no event waits.
// The ticks run only while a host wants them (a control waits for idle
// passes, or idle work is left); otherwise the wait lasts until an event, a
// WakeLoop, or the long backstop, so an idle editor hardly wakes.
// UI thread only, except InvalidateRect, which wakes the loop from any thread.
#include <SDL.h>

#include <atomic>
#include <mutex>

#include "IOSWindowBackend.h"
#include "SdlEventTranslator.h"

namespace QV {
class OSWindow;
}

namespace Platform::Window {

// Keeps SDL's video subsystem up for its lifetime.
class SdlVideo {
public:
    SdlVideo();
    ~SdlVideo();
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
    bool IsReady() const { return mReady; }
    // A real screen: SDL falls back to its off-screen driver without one,
    // unless SDL_VIDEODRIVER asked for that driver.
    bool HasDisplay() const;

private:
    bool mReady = false;
};

// The work area of the display that shows most of the point.
QV::DoubleRect GetWorkArea();
// Whether a window frame lies wholly inside the work area of one display.
bool FitsAWorkArea(const QV::LongRect& frame);
// Wakes the loop from any thread.
void WakeLoop();

class SdlWindowBackend final : public QV::IOSWindowBackend {
public:
    SdlWindowBackend(const char* title, int32_t width, int32_t height);
    ~SdlWindowBackend() override;

    // The host that receives this window's messages.
    void SetHost(QV::OSWindow* host) { mHost = host; }
    // Places a window that is not shown yet by its outer frame. The window
    // manager's frame is known only once the window is shown: the client
    // size is then made the frame's less the borders. A frame that no longer
    // fits a work area once grown to the minimum size is dropped: the window
    // opens centred at the size it was made with.
    void SetFrameRect(const QV::LongRect& frame);

    void* GetHandle() const override { return mWindow; }
    void SetTitle(const QV::String& text) override;
    void InvalidateRect(const QV::LongRect* rect) override;
    QV::LongRect GetClientRect() const override;
    QV::LongRect GetWindowRect() const override;
    QV::LongPoint GetClientOrigin() const override;
    void SetClientRect(const QV::LongRect& screenRect) override;
    bool Show(int32_t command) override;
    bool IsVisible() const override;
    bool Raise() override;
    void SetTopMost(bool topMost) override;
    bool IsActive() const override;
    bool HasFocus() const override;
    bool TakeFocus() override;
    void SetEnabled(bool enabled) override { mEnabled = enabled; }
    bool IsEnabled() const override { return mEnabled; }
    void SetCursor(uint32_t cursor) override;
    QV::LongPoint GetScreenCursor() const override;
    uint32_t GetSystemButtons() const override;
    void SetCapture(bool) override {}
    void CapturePointer(bool capture) override;
    void SetMinimumSize(int32_t width, int32_t height) override;
    void StartTimer(uint32_t periodMs) override { mTimerPeriod = periodMs; }
    int32_t GetShowState() const override;
    void Destroy() override;

    // While another program's window is modal over the editor's (a file
    // chooser): the windows repaint and follow their size, and input meant
    // for them is dropped, as a disabled owner window would drop it.
    static void KeepPainting();
    // The X11 id of an SDL window; 0 off X11.
    static uint64_t GetX11WindowId(void* handle);

    bool HasPendingMessage() override;
    bool PumpMessage() override;
    void PostQuit() override;

    // The longest sleep without ticks. Posts from other threads must wake
    // the loop (WakeLoop); this only bounds the delay of one that does not.
    static constexpr int kIdleBackstopMs = 1000;

private:
    bool PaintInvalidWindows();
    int WaitTimeout() const;
    void Dispatch(const SDL_Event& event);
    bool TakeUpdate(QV::LongRect& rect);
    bool HasInputFocus() const;
    // Shown again or restored: the whole window is drawn anew.
    void Reappear(bool restored);
    void FitPendingFrame();
    void DropPendingFrameUnlessItFits(int32_t minWidth, int32_t minHeight);

    SDL_Window* mWindow = nullptr;
    QV::OSWindow* mHost = nullptr;
    SdlEventTranslator mTranslator;
    bool mEnabled = true;
    // A click on the window makes it active at once, as the system's own
    // activation may arrive after the click; until the focus goes elsewhere.
    bool mClickActivated = false;
    bool mPointerCaptured = false;
    bool mFramePending = false;
    QV::LongRect mPendingFrame;
    int32_t mMadeWidth = 0;
    int32_t mMadeHeight = 0;
    uint32_t mTimerPeriod = 33;
    std::mutex mUpdateLock;
    bool mUpdatePending = false;
    QV::LongRect mUpdate;
};

}  // namespace Platform::Window
