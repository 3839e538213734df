#include "LButton.h"

#include "ControlAttributes.h"
#include "Exception.h"
#include "IControlApplication.h"
#include "KeyCode.h"

namespace QV {

namespace {

constexpr uint32_t kEnterPress = KeyCode::Pressed(Keys::kReturn);

bool NewlySet(const LConditionsParam& p, uint32_t bit)
{
    return (p.newConditions & bit) && !(p.oldConditions & bit);
}

bool NewlyCleared(const LConditionsParam& p, uint32_t bit)
{
    return !(p.newConditions & bit) && (p.oldConditions & bit);
}

}  // namespace

LButton::LButton(LControl* parent, const String& name) : LControl(parent, name) {}

LButton::~LButton() = default;

QV_OWN_HANDLER_DEFINITIONS(LButton, LControl, mButtonHandler)

QVResult LButton::Initialize()
{
    const QVResult result = LControl::Initialize();
    if (result < 0) return result;
    mButtonHandler = new LNotificationHandler<LButton>(this);
    const QVResult registered = mButtonHandler->RegisterHandler(
        &LButton::OnSimulateClick, RCPtr<LNotificationDistributor>(this), u"NID_SIMULATE_CLICK");
    if (registered < 0) ThrowFailedResult(registered, "QV::LButton::Initialize", "Controls\\Button", 50);
    bool flag = false;
    if (ReadSkinBool(*this, u"AUTO_VALUE_SET", flag)) SetAutoValueSet(flag);
    if (ReadSkinBool(*this, u"IS_RADIO", flag)) SetIsRadio(flag);
    return result;
}

QVResult LButton::SetAutoValueSet(bool on)
{
    mAutoValueSet = on;
    return S_OK;
}

QVResult LButton::SetIsRadio(bool on)
{
    mIsRadio = on;
    return S_OK;
}

bool LButton::SetChecked(bool checked)
{
    SetValue(checked ? 1.0 : 0.0);
    return IsChecked();
}

QVResult LButton::ChooseVisualPart()
{
    if (mFlashActive) return S_OK;
    const uint32_t conditions = GetConditions();
    int32_t part = kNormal;
    if (!IsEnabledInTree(true)) {
        part = kDisabled;
        if (IsChecked()) part = kDisabled + kCheckedOffset;
    } else {
        const bool captured = (conditions & Condition::kCaptured) != 0;
        // Pressed once the drag has begun; a button with a drag threshold
        // looks pressed only after the pointer moved that far.
        const bool pressed = captured && (conditions & Condition::kLeftDragging);
        const bool hovered = (conditions & Condition::kHover) != 0;
        if (pressed) {
            part = (hovered || mKeepPressedLook) ? kPressed : kHover;
        } else if (hovered && !captured) {
            part = kHover;
        }
        if (IsChecked()) part += kCheckedOffset;
        if (conditions & Condition::kHasFocus) part += kFocusedOffset;
    }
    ShowPart(part, true);
    return S_OK;
}

void LButton::OnLeftClick(const RCPtr<LMouseButtonParam>&)
{
    if (!mAutoValueSet) return;
    SetValue(mIsRadio ? 1.0 : (IsChecked() ? 0.0 : 1.0));
}

void LButton::OnValueChanged()
{
    LControl* parent = GetParent();
    if (mIsRadio && IsChecked() && parent) {
        ChildControlList& siblings = parent->GetChildren();
        for (uint32_t i = siblings.GetCount(); i-- > 0;) {
            auto* other = dynamic_cast<LButton*>(siblings.GetAt(i, ChildControlList::kInsertion));
            if (other && other != this && other->mIsRadio) other->SetValue(0.0);
        }
    }
    ChooseVisualPart();
}

void LButton::SetEnabled(bool enabled)
{
    LControl::SetEnabled(enabled);
    ChooseVisualPart();
}

QVResult LButton::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    // Space goes on to the parent and the hot keys.
    if (!key || key->code.code != kEnterPress) return kNotHandled;
    SimulateClick();
    return S_OK;
}

void LButton::SendAutoRepeat()
{
    Notify(u"NID_BUTTON_AUTOREPEAT");
}

void LButton::ClickNow()
{
    RCPtr<IRootWindow> root = GetRootWindow();
    (void)DoLeftClick(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {0, 0}, 0, false,
                                                root ? root->GetMouseButtonState() : 0, 0));
}

void LButton::SimulateClick()
{
    if (mFlashActive) {
        if (mAutoRepeat) SendAutoRepeat();
        ClickNow();
    }
    mFlashActive = true;
    SetFocus(true);
    if (Failed(SubscribeIdle())) {
        // No idle tick would end the flash, so the click would never come: click at once.
        mFlashActive = false;
        if (mAutoRepeat) SendAutoRepeat();
        ClickNow();
        return;
    }
    mFlashStart = Now();
    ShowPart(IsChecked() ? kPressed + kCheckedOffset : kPressed, true);
    InvalidateArea();
}

QVResult LButton::OnSimulateClick(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    if (IsEnabledInTree(true)) SimulateClick();
    return 1;
}

void LButton::OnTimer()
{
    const double now = Now();
    if (mFlashActive && now - mFlashStart >= mFlashDuration) {
        mFlashActive = false;
        if (!mRepeating) UnsubscribeIdle();
        mFlashStart = 0.0;
        ChooseVisualPart();
        if (mAutoRepeat) SendAutoRepeat();
        ClickNow();
    }
    if (mRepeating && (GetConditions() & (Condition::kHover | Condition::kActive)) && IsEnabledInTree(true)) {
        mTimeToRepeat -= now - mLastRepeatTime;
        mLastRepeatTime = now;
        if (mTimeToRepeat <= 0.0) {
            mTimeToRepeat = mRepeatInterval;
            SendAutoRepeat();
        }
    }
}

void LButton::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (param) {
        if (mAutoRepeat && NewlySet(*param, Condition::kActive)) {
            mLastRepeatTime = Now();
        } else if (NewlySet(*param, Condition::kLeftPressed)) {
            if (mAutoRepeat && IsEnabledInTree(true) && !mRepeating) {
                mRepeating = true;
                (void)SubscribeIdle();  // without idle ticks the press still steps once
                mLastRepeatTime = Now();
                mTimeToRepeat = mInitialRepeatDelay;
                SendAutoRepeat();
            }
        } else if (NewlyCleared(*param, Condition::kCaptured)) {
            if (mAutoRepeat && mRepeating) {
                mRepeating = false;
                if (!mFlashActive) UnsubscribeIdle();
            }
        }
    }
    ChooseVisualPart();
}

}  // namespace QV
