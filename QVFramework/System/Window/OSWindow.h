#pragma once
// The host window behind one root window: turns the system's messages into
// root-window calls, runs a window modally and saves the main window's
// placement. The system itself is reached through an IOSWindowBackend.
// UI thread only.
#include <cstdint>
#include <memory>

#include "IOSWindowBackend.h"
#include "IWindowOSServices.h"
#include "LRenderContextInfo.h"
#include "LRenderer.h"
#include "LRootWindow.h"
#include "WindowMessage.h"

namespace QV {

class OSWindow : public IWindowOSServices {
public:
    static constexpr uint32_t kTimerPeriodMs = 33;
    // Longest command text taken from another instance, in bytes.
    static constexpr size_t kMaxCommandTextBytes = 32768;

    explicit OSWindow(std::unique_ptr<IOSWindowBackend> backend, OSWindow* owner = nullptr);
    virtual ~OSWindow();
    OSWindow(const OSWindow&) = delete;
    OSWindow& operator=(const OSWindow&) = delete;

    [[nodiscard]] QVResult CreateRenderer(int32_t kind);
    [[nodiscard]] QVResult AttachRenderer(const RCPtr<LRenderer>& renderer);
    const RCPtr<LRootWindow>& GetRootWindow() const { return mRoot; }
    const RCPtr<LRenderContextInfo>& GetRenderContext() const { return mContext; }
    IOSWindowBackend& GetBackend() { return *mBackend; }

    // Answers the message's result (kick-idle: whether more idle is wanted).
    bool HandleMessage(const WindowMessage& message);
    // Destroys the system window once; the object stays until its owner drops it.
    void DestroyWindow();
    bool IsDestroyed() const { return mDestroyed; }
    // Whether the 33 ms timer has work: a control waits for idle passes, or
    // the last idle pass left work. Otherwise the loop may sleep until the
    // next event or wake.
    bool WantsTimerTicks() const;
    void EnableWindow(bool enable);
    // The user cannot drag the window smaller than its main control's minimum.
    void ApplyMinimumSize();

    // ---- IWindowOSServices ----
    QVResult SetWindowTitle(const String& text) override;
    void Invalidate() override;
    void InvalidateRect(const LongRect& rect) override;
    void GetClientRect(LongRect& rect) const override;
    void ScreenToClient(LongPoint& out, const LongPoint& point) const override;
    void ClientToScreen(LongPoint& out, const LongPoint& point) const override;
    void SetWindowRect(const LongRect& rect) override;
    bool Show(int32_t command) override;
    QVResult UpdateNow() override;
    [[nodiscard]] QVResult BringToTop() override;
    void SetTopMost(bool topMost) override;
    void EndModal(int32_t result) override;
    int32_t RunModal() override;
    bool IsModal() const override { return mInModal; }
    bool IsActive() const override;
    bool HasFocus() const override;
    [[nodiscard]] QVResult SetFocus() override;
    uint32_t SetCursor(uint32_t cursor) override;
    LongPoint GetCursorPosition() override;
    uint32_t GetMouseButtonState() override;
    void* GetWindowHandle() const override;
    void SetCaret(bool, const LongPoint&) override {}

    // Wheel remainders, vertical and horizontal.
    int32_t GetWheelRemainder(int axis) const { return mWheel[axis]; }
    bool IsCaptureHeld() const { return mCaptureHeld; }
    int32_t GetPressCount() const { return mPressCount; }
    uint32_t GetButtonFlags() const { return mButtons; }

private:
    bool IsMainWindow() const;
    void OnPaint(const WindowMessage& message);
    void OnKey(const WindowMessage& message);
    void OnButton(const WindowMessage& message);
    void OnMouseMove(const WindowMessage& message);
    void OnWheel(const WindowMessage& message, int axis);
    void OnSize(const WindowMessage& message);
    void OnMove();
    void OnSystemClose();
    void OnCopyData(const WindowMessage& message);
    bool OnKickIdle(int32_t idleCount);
    void TakeCapture();
    void ReleaseCapture();
    void SavePlacement();

    std::unique_ptr<IOSWindowBackend> mBackend;
    OSWindow* mOwner;
    RCPtr<LRootWindow> mRoot;
    RCPtr<LRenderer> mRenderer;
    RCPtr<LRenderContextInfo> mContext;
    LongPoint mLastPoint;
    uint32_t mButtons = 0;
    int32_t mPressCount = 0;
    int32_t mWheel[2] = {0, 0};
    bool mCaptureHeld = false;
    bool mInModal = false;
    bool mContinueModal = false;
    int32_t mModalResult = 0;
    bool mPartlyOutside = false;
    bool mDestroyed = false;
    bool mIdleWorkLeft = false;
};

}  // namespace QV
