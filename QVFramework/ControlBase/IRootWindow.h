#pragma once
// What a control needs of the root window that shows its tree.
#include <cstdint>

#include "ControlInput.h"
#include "LNotificationDistributor.h"
#include "LNotificationQueue.h"
#include "PointT.h"
#include "StringT.h"

namespace QV {

class LControl;
class LGlobalHotKeyManager;

class IRootWindow : public virtual LRefCountedObject {
public:
    // Adds a pixel rectangle (left, top, right, bottom) to the dirty region.
    virtual void InvalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;

    virtual RCPtr<LControl> GetFocusControl() const = 0;
    virtual void SetFocusControl(LControl* control) = 0;
    virtual void OnFocusLost(LControl* control) = 0;

    // Answers the cursor that was shown before.
    virtual uint32_t SetCursor(uint32_t cursorId) = 0;
    virtual uint32_t GetNormalCursor() const = 0;
    // The control under a root-window point and the point in its coordinates.
    virtual RCPtr<LControl> HitTest(int32_t x, int32_t y, bool update, int32_t* localX = nullptr,
                                    int32_t* localY = nullptr) = 0;
    virtual void GetCursorPosition(int32_t& x, int32_t& y) const = 0;
    virtual uint32_t GetMouseButtonState() const = 0;
    virtual uint32_t GetModifierState() const = 0;

    virtual void SetCapture(LControl* control) = 0;
    virtual void ReleaseCapture(LControl* control) = 0;
    // The hold hand-over: the press passes to a child.
    virtual void SetPressTarget(LControl* control) = 0;

    virtual void HandleTabNavigation(const RCPtr<LKeyParam>& key) = 0;
    // 1 when no binding took the key.
    [[nodiscard]] virtual QVResult HandleHotKey(const KeyCode& code) = 0;
    // The window's shortcut bindings and where they send; null when it has none.
    virtual LGlobalHotKeyManager* GetHotKeys() const { return nullptr; }

    // "NID_IDLE" comes from here.
    virtual RCPtr<LNotificationDistributor> GetDistributor() = 0;
    // The queue through which menus post their commands to this window; null without one.
    virtual RCPtr<LNotificationQueue> GetNotificationQueue() const { return nullptr; }
    virtual void SetWindowTitle(const String& title) = 0;
    virtual void GetClientSize(double& width, double& height) const = 0;
    // A client point in screen coordinates; unchanged without a system window.
    virtual void ClientToScreen(double& /*x*/, double& /*y*/) const {}
    // The top control's frame with its origin in screen coordinates, for the
    // window to follow.
    virtual void SetWindowRect(double x, double y, double width, double height) = 0;
    // A text control's caret at a root-window point; show false takes it away.
    virtual void SetCaret(bool, LControl*, const LongPoint&) {}
    // Ends the window's modal loop with result at the next idle pass; E_FAIL
    // without a window to close.
    [[nodiscard]] virtual QVResult RequestClose(int32_t) { return E_FAIL; }
};

}  // namespace QV
