#include "LToolTip.h"

#include "IControlApplication.h"

namespace QV {

LToolTip::LToolTip(LControl* parent, const String& name) : LControl(parent, name)
{
    SetNotFocusable(true);
}

void LToolTip::PlaceAtCursor()
{
    const double now = Now();
    if (now - mHideTime < kReshowWindow) {
        ShowNow();
        return;
    }
    SetVisible(false);
    mRequestTime = now;
    if (!mWaiting) mWaiting = SubscribeIdle() == S_OK;
}

void LToolTip::OnTimer()
{
    LControl::OnTimer();
    if (mWaiting && Now() - mRequestTime >= kHoverDelay) ShowNow();
}

void LToolTip::ShowNow()
{
    if (std::exchange(mWaiting, false)) UnsubscribeIdle();
    RCPtr<IRootWindow> root = GetRootWindow();
    if (root) {
        int32_t x = 0, y = 0;
        root->GetCursorPosition(x, y);
        const DoublePoint origin = GetParent() ? GetParent()->GetPositionInRoot() : DoublePoint();
        const double at[2] = {x - origin.x, y + kCursorGap - origin.y};
        for (int axis = 0; axis < 2; ++axis) {
            LayoutRecord position = GetLayout().position[axis];
            position.kind = LayoutKind::kParent;
            position.name = String();
            position.factor = 0.0f;
            position.offset = at[axis];
            SetLayoutPosition(axis, position, GetLayout().anchor[axis]);
        }
    }
    SetVisible(true);
}

void LToolTip::Dismiss()
{
    if (std::exchange(mWaiting, false)) UnsubscribeIdle();
    if (IsEffectivelyVisible(false)) mHideTime = Now();
    SetVisible(false);
}

}  // namespace QV
