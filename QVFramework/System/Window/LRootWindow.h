#pragma once
// The top of one drawn window: the main control, the renderer that draws it,
// the dirty region, and the routing of pointer and key input to controls.
// UI thread only, except InvalidateRect, which any thread may call.
#include <array>
#include <cstdint>
#include <functional>

#include "IRootWindow.h"
#include "IWindowOSServices.h"
#include "LControl.h"
#include "LGlobalHotKeyManager.h"
#include "LNotificationQueue.h"
#include "LRenderer.h"
#include "Mutex.h"
#include "RectRegion.h"

namespace QV {

class LRootWindow : public LNotificationDistributor, public IRootWindow {
    QV_TYPE_NAME("class QV::LRootWindow")
public:
    static constexpr int32_t kPress = 0;
    static constexpr int32_t kRelease = 1;
    static constexpr int32_t kDoubleClick = 2;
    static constexpr int32_t kPointerSlots = 10;

    static RCPtr<LRootWindow> Create(const RCPtr<LRenderer>& renderer, IWindowOSServices* services);
    ~LRootWindow() override;
    QVResult ReleaseInternalReferences() override;

    // The host detaches itself with null before it goes.
    void SetOSServices(IWindowOSServices* services) { mServices = services; }
    IWindowOSServices* GetOSServices() const { return mServices; }
    const RCPtr<LRenderer>& GetRenderer() const { return mRenderer; }
    const RCPtr<LNotificationQueue>& GetQueue() const { return mQueue; }
    RCPtr<LNotificationQueue> GetNotificationQueue() const override { return mQueue; }
    const RCPtr<LGlobalHotKeyManager>& GetHotKeyManager() const { return mHotKeys; }
    LGlobalHotKeyManager* GetHotKeys() const override { return mHotKeys.Get(); }

    [[nodiscard]] QVResult SetMainControl(const RCPtr<LControl>& control);
    [[nodiscard]] QVResult SetMainControlByName(const String& name);
    const RCPtr<LControl>& GetMainControl() const { return mMainControl; }

    // ---- geometry and painting ----
    DoubleRect GetBounds();
    DoublePoint GetSize() const;
    void SetBounds(const DoubleRect& rect);
    void SetClientSize(int32_t width, int32_t height);
    void InvalidateRect(const DoubleRect& rect);
    void InvalidateAll();
    void TakeDirtyRegion(RectRegion& out);
    void SetRepaintAllPending() { mRepaintAll = true; }
    void Paint(const RectRegion& region);
    bool ConstrainSize(int32_t& width, int32_t& height);
    void UpdateLayout(int32_t width, int32_t height);

    // ---- input ----
    void OnMouseButton(int32_t kind, int32_t button, uint32_t modifiers, const LongPoint& point, int32_t pointer);
    void OnMouseMove(const LongPoint& point, uint32_t modifiers, int32_t pointer);
    void OnMouseWheel(const LongPoint& point, uint32_t modifiers, int32_t direction);
    void OnKey(const RCPtr<LKeyParam>& key);
    void FocusNextRootWindow(const RCPtr<LKeyParam>& key);
    void Cancel();
    // A dialog main control ends itself with 2; the dialog layer installs
    // this and answers true when the control was a dialog.
    using CancelHandler = std::function<bool(LControl&)>;
    static void SetCancelHandler(CancelHandler handler) { mCancelHandler = std::move(handler); }
    uint32_t GetPointerButtons(int32_t pointer) const;

    // ---- focus, capture, cursor ----
    void SaveFocus();
    void RestoreFocus();
    void ResetFocus();
    [[nodiscard]] QVResult SetCaptureControl(LControl* control);
    void EndCapture();
    [[nodiscard]] QVResult ClearCapture();
    RCPtr<LControl> GetCaptureControl() const { return mCapture; }
    RCPtr<LControl> GetHoverControl() const { return mHover; }
    void UpdateHover(RCPtr<LControl> control);
    void SetCaret(bool show, LControl* control, const LongPoint& position) override;
    [[nodiscard]] QVResult RequestClose(int32_t result) override;
    // True when the queue still holds work. A first pass after a message also
    // sends "NID_IDLE", which the window's animating controls wait for.
    bool ProcessNotifications(bool firstPass);
    // Whether a control waits for "NID_IDLE": only then must idle passes keep coming.
    bool HasIdleSubscribers() const;

    // ---- IRootWindow ----
    void InvalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    RCPtr<LControl> GetFocusControl() const override { return mFocus; }
    void SetFocusControl(LControl* control) override { mFocus = RCPtr<LControl>(control); }
    void OnFocusLost(LControl* control) override;
    uint32_t SetCursor(uint32_t cursorId) override;
    uint32_t GetNormalCursor() const override { return 0; }
    RCPtr<LControl> HitTest(int32_t x, int32_t y, bool update, int32_t* localX = nullptr,
                            int32_t* localY = nullptr) override;
    void GetCursorPosition(int32_t& x, int32_t& y) const override;
    uint32_t GetMouseButtonState() const override;
    uint32_t GetModifierState() const override;
    void SetCapture(LControl* control) override { (void)SetCaptureControl(control); }  // null is refused, harmlessly
    void ReleaseCapture(LControl* control) override;
    void SetPressTarget(LControl* control) override;
    void HandleTabNavigation(const RCPtr<LKeyParam>& key) override { FocusNextRootWindow(key); }
    [[nodiscard]] QVResult HandleHotKey(const KeyCode& code) override;
    RCPtr<LNotificationDistributor> GetDistributor() override { return RCPtr<LNotificationDistributor>(this); }
    void SetWindowTitle(const String& title) override;
    void GetClientSize(double& width, double& height) const override;
    void ClientToScreen(double& x, double& y) const override;
    void SetWindowRect(double x, double y, double width, double height) override;

private:
    LRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* services);
    bool InputAllowed() const;
    void DrawControlTree(IControlRenderer& renderer, LControl& control, const DirtyRects& region, uint8_t layer);
    void DeliverButton(int32_t kind, int32_t button, uint32_t modifiers, const LongPoint& point, int32_t pointer);
    RCPtr<LControl> FindToolTipSource(RCPtr<LControl> control) const;
    void SetToolTipControl(const RCPtr<LControl>& control);
    void HideToolTip();

    RCPtr<LRenderer> mRenderer;
    IWindowOSServices* mServices = nullptr;
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mWidth = 1024;
    int32_t mHeight = 768;
    RCPtr<LControl> mMainControl;
    RectRegion mDirtyRegion;
    Mutex mRegionLock;
    bool mRepaintAll = false;
    uint32_t mDoubleClickBits = 0;
    RCPtr<LNotificationQueue> mQueue;
    RCPtr<LGlobalHotKeyManager> mHotKeys;
    RCPtr<LControl> mFocus;
    RCPtr<LControl> mSavedFocus;
    RCPtr<LControl> mHover;
    RCPtr<LControl> mToolTip;
    RCPtr<LControl> mCapture;
    bool mEndModalPending = false;
    int32_t mEndModalResult = 0;
    std::array<uint32_t, kPointerSlots> mPointerButtons{};
    // The main control holds a reference to this window: counted once here.
    bool mMainControlCounted = false;
    static inline CancelHandler mCancelHandler;
};

}  // namespace QV
