#include <climits>
#include <cmath>

#include "IControlApplication.h"
#include "IWindowApplication.h"
#include "KeyCode.h"
#include "LNotificationClientPool.h"
#include "LRootWindow.h"
#include "NotificationNameTable.h"

namespace QV {
namespace {

int32_t RoundAway(double v)
{
    const double r = std::round(v);
    if (r >= double(INT32_MAX)) return INT32_MAX;
    if (r <= double(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(r);
}

uint32_t ButtonBit(int32_t button)
{
    const uint32_t code = static_cast<uint32_t>(button);
    return code == LMouseButtonParam::kLeft || code == LMouseButtonParam::kMiddle || code == LMouseButtonParam::kRight
               ? code
               : 0u;
}

LongPoint LocalTo(const LControl& control, const LongPoint& point)
{
    const DoublePoint origin = control.GetPositionInRoot();
    return {point.x - RoundAway(origin.x), point.y - RoundAway(origin.y)};
}

}  // namespace

bool LRootWindow::InputAllowed() const
{
    return mServices && mServices->IsActive();
}

RCPtr<LControl> LRootWindow::HitTest(int32_t x, int32_t y, bool update, int32_t* localX, int32_t* localY)
{
    if (!mMainControl) {
        if (update) UpdateHover(nullptr);
        return nullptr;
    }
    const DoubleRect frame = mMainControl->GetFrame();
    const DoublePoint point{double(x - RoundAway(frame.x)), double(y - RoundAway(frame.y))};
    DoublePoint hit;
    int32_t priority = INT_MIN;
    RCPtr<LControl> found = mMainControl->HitTest(point, true, hit, priority);
    if (localX) *localX = RoundAway(hit.x);
    if (localY) *localY = RoundAway(hit.y);
    if (update) UpdateHover(found);
    return found;
}

RCPtr<LControl> LRootWindow::FindToolTipSource(RCPtr<LControl> control) const
{
    while (control && control->GetToolTipText().IsEmpty() && control->UsesParentToolTip() && control->GetParent()) {
        control = RCPtr<LControl>(control->GetParent());
    }
    return control;
}

void LRootWindow::SetToolTipControl(const RCPtr<LControl>& control)
{
    if (control == mToolTip) return;
    if (mToolTip) mToolTip->ShowToolTip(false);
    mToolTip = control;
    if (mToolTip) mToolTip->ShowToolTip(true);
}

void LRootWindow::HideToolTip()
{
    if (mToolTip) mToolTip->ShowToolTip(false);
}

void LRootWindow::UpdateHover(RCPtr<LControl> control)
{
    if (mCapture && control != mCapture) control = nullptr;
    if (control == mHover) return;
    RCPtr<LControl> tip;
    if (control && control != mCapture) {
        tip = FindToolTipSource(control);
        if (tip && tip->GetToolTipText().IsEmpty()) tip = nullptr;
    }
    SetToolTipControl(tip);
    RCPtr<LControl> old = std::move(mHover);
    if (old && (old->GetParent() || old->GetRootWindow())) old->OnMouseLeave();
    mHover = control;
    if (mHover) mHover->OnMouseEnter();
}

void LRootWindow::OnMouseButton(int32_t kind, int32_t button, uint32_t modifiers, const LongPoint& point,
                                int32_t pointer)
{
    if (!InputAllowed()) return;
    int32_t cx = 0;
    int32_t cy = 0;
    GetCursorPosition(cx, cy);
    if (point.x != cx || point.y != cy) OnMouseMove(point, modifiers, pointer);
    HideToolTip();
    DeliverButton(kind, button, modifiers, point, pointer);
}

void LRootWindow::DeliverButton(int32_t kind, int32_t button, uint32_t modifiers, const LongPoint& point,
                                int32_t pointer)
{
    RCPtr<LControl> target = mCapture;
    LongPoint local;
    if (target) {
        local = LocalTo(*target, point);
    } else if (kind == kRelease) {
        return;
    } else {
        target = HitTest(point.x, point.y, true, &local.x, &local.y);
        if (!target) return;
    }
    uint32_t state = 0;
    if (mServices && mServices->IsActive()) {
        state = mServices->GetMouseButtonState();
    } else if (IWindowApplication* app = GetWindowApplication()) {
        state = app->GetMouseButtonState();
    }
    const uint32_t bit = ButtonBit(button);
    const bool slot = pointer >= 0 && pointer < kPointerSlots;
    bool doubleClick = kind == kDoubleClick;
    if (kind == kPress && slot) mPointerButtons[pointer] |= uint32_t(button);
    if (kind == kRelease) {
        if (slot) mPointerButtons[pointer] &= ~uint32_t(button);
        doubleClick = (mDoubleClickBits & bit) != 0;
    }
    RCPtr<LMouseButtonParam> param = LMouseButtonParam::Create(static_cast<uint32_t>(button), local, modifiers,
                                                               doubleClick, state, static_cast<uint32_t>(pointer));
    if (bit == 0) return;
    if (kind == kDoubleClick) {
        mDoubleClickBits |= bit;
    } else {
        mDoubleClickBits &= ~bit;
    }
    // Input a control refuses is dropped: the system event has no one to answer to.
    if (kind == kRelease) {
        (void)target->HandleMouseUp(param);
    } else {
        (void)target->HandleMouseDown(param);
    }
}

void LRootWindow::OnMouseMove(const LongPoint& point, uint32_t modifiers, int32_t pointer)
{
    if (!InputAllowed()) return;
    LongPoint local;
    RCPtr<LControl> hit = HitTest(point.x, point.y, true, &local.x, &local.y);
    RCPtr<LControl> target = mCapture ? mCapture : hit;
    if (!target) return;
    if (mCapture) local = LocalTo(*mCapture, point);
    RCPtr<LPointWithModifiersParam> param =
        LPointWithModifiersParam::Create(local, modifiers, static_cast<uint32_t>(pointer));
    (void)target->HandleMouseMove(param);  // a refused move is dropped; no one to answer to
}

void LRootWindow::OnMouseWheel(const LongPoint& point, uint32_t modifiers, int32_t direction)
{
    if (!InputAllowed()) return;
    HideToolTip();
    RCPtr<LControl> target = mCapture;
    LongPoint local;
    if (target) {
        local = LocalTo(*target, point);
    } else {
        target = HitTest(point.x, point.y, true, &local.x, &local.y);
        if (!target) return;
    }
    RCPtr<LMouseWheelParam> param = LMouseWheelParam::Create(local, modifiers, static_cast<uint32_t>(direction));
    if (target->HandleMouseWheel(param) != 1) return;
    if (RCPtr<LControl> focus = mFocus) {
        // The point always reads in the receiving control's coordinates.
        param->SetPoint(LocalTo(*focus, point));
        (void)focus->HandleMouseWheel(param);  // the focus is the last taker; nobody comes after it
    }
}

void LRootWindow::OnKey(const RCPtr<LKeyParam>& key)
{
    if (!InputAllowed()) return;
    HideToolTip();
    if (RCPtr<LControl> focus = mFocus) focus->HandleKeyDown(key);
}

void LRootWindow::FocusNextRootWindow(const RCPtr<LKeyParam>& key)
{
    if (!mServices || !mServices->IsActive() || mServices->IsModal()) return;
    const bool shift = key && (key->code.code & KeyCode::kShift) != 0;
    IWindowApplication* app = GetWindowApplication();
    const std::vector<RCPtr<LRootWindow>> roots = app ? app->GetRootWindows() : std::vector<RCPtr<LRootWindow>>{};
    if (roots.size() < 2) {
        if (RCPtr<LControl> main = mMainControl) {
            main->KillFocus();
            main->SetFocus(!shift);
        }
        return;
    }
    int32_t index = -1;
    for (int32_t i = int32_t(roots.size()) - 1; i >= 0; --i) {
        if (roots[size_t(i)].Get() == this) {
            index = i;
            break;
        }
    }
    if (index < 0) return;
    int32_t next = shift ? index - 1 : index + 1;
    if (next < 0) next = int32_t(roots.size()) - 1;
    if (next >= int32_t(roots.size())) next = 0;
    IWindowOSServices* other = roots[size_t(next)]->GetOSServices();
    if (other && !other->IsActive()) other->SetFocus();  // as for any focus request
}

void LRootWindow::Cancel()
{
    if (mCancelHandler && mMainControl && mCancelHandler(*mMainControl)) return;
    (void)RequestClose(0);  // a close the window refuses leaves it open, as asked
}

uint32_t LRootWindow::GetPointerButtons(int32_t pointer) const
{
    return (pointer >= 0 && pointer < kPointerSlots) ? mPointerButtons[size_t(pointer)] : 0;
}

// ---------------------------------------------------------------- focus and capture

void LRootWindow::OnFocusLost(LControl* control)
{
    if (mFocus.Get() == control) mFocus = nullptr;
}

void LRootWindow::SaveFocus()
{
    mSavedFocus = std::move(mFocus);
    mFocus = nullptr;
}

void LRootWindow::RestoreFocus()
{
    if (!mFocus && mSavedFocus) {
        LControl* parent = mSavedFocus->GetParent();
        RCPtr<IRootWindow> owner = parent ? parent->GetRootWindow() : mSavedFocus->GetRootWindow();
        if (owner.Get() == static_cast<IRootWindow*>(this)) {
            RCPtr<LControl> saved = mSavedFocus;
            saved->SetFocus(true);
            return;
        }
    }
    if (RCPtr<LControl> main = mMainControl) main->SetFocus(true);
}

void LRootWindow::ResetFocus()
{
    UpdateHover(nullptr);
    if (RCPtr<LControl> main = mMainControl) {
        main->SetFocus(true);  // only to take the focus from its holder before dropping it
        main->KillFocus();
    }
}

QVResult LRootWindow::SetCaptureControl(LControl* control)
{
    if (!control) return E_INVALIDARG;
    if (RCPtr<LControl> previous = mCapture; previous && previous.Get() != control) previous->EndDrag();
    mCapture = RCPtr<LControl>(control);
    return S_OK;
}

void LRootWindow::EndCapture()
{
    if (RCPtr<LControl> capture = mCapture) capture->EndDrag();
}

QVResult LRootWindow::ClearCapture()
{
    mCapture = nullptr;
    return 0;
}

void LRootWindow::ReleaseCapture(LControl* control)
{
    if (mCapture.Get() == control) mCapture = nullptr;
}

void LRootWindow::SetPressTarget(LControl* control)
{
    mCapture = RCPtr<LControl>(control);
}

uint32_t LRootWindow::SetCursor(uint32_t cursorId)
{
    return mServices ? mServices->SetCursor(cursorId) : 0;
}

void LRootWindow::GetCursorPosition(int32_t& x, int32_t& y) const
{
    const LongPoint p = mServices ? mServices->GetCursorPosition() : LongPoint{};
    x = p.x;
    y = p.y;
}

uint32_t LRootWindow::GetMouseButtonState() const
{
    return mServices ? mServices->GetMouseButtonState() : 0;
}

uint32_t LRootWindow::GetModifierState() const
{
    IWindowApplication* app = GetWindowApplication();
    return app ? app->GetModifierState() : 0;
}

QVResult LRootWindow::HandleHotKey(const KeyCode& code)
{
    return mHotKeys->HandleKey(code);
}

void LRootWindow::SetCaret(bool show, LControl* control, const LongPoint& position)
{
    if (!mServices) return;
    if (!show) {
        mServices->SetCaret(false, position);
    } else if (control && control->IsEffectivelyVisible(true)) {
        mServices->SetCaret(true, position);
    }
}

QVResult LRootWindow::RequestClose(int32_t result)
{
    if (!mServices) return E_FAIL;
    mEndModalResult = result;
    mEndModalPending = true;
    return S_OK;
}

bool LRootWindow::ProcessNotifications(bool firstPass)
{
    RCPtr<LRootWindow> self(this);
    const bool more = mQueue->ProcessNotifications(firstPass);
    if (mEndModalPending && mServices) {
        mEndModalPending = false;
        mServices->EndModal(mEndModalResult);
    }
    return more;
}

bool LRootWindow::HasIdleSubscribers() const
{
    const RCPtr<LNotificationClientPool> pool = FindClientPool(NotificationNameTable::GetNotificationID(u"NID_IDLE"));
    return pool && pool->GetClientCount() > 0;
}

}  // namespace QV
