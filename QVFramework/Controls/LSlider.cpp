#include "LSlider.h"

#include <cmath>

#include "IControlApplication.h"
#include "KeyCode.h"
#include "LButton.h"
#include "LHolder.h"

namespace QV {

namespace {

// A held left button: pressed, or dragging once the pointer moved.
constexpr uint32_t kLeftHeld = Condition::kLeftPressed | Condition::kLeftDragging;
constexpr uint32_t kFocusHeld = Condition::kHasFocus | Condition::kContainsFocus;

bool Began(const LConditionsParam& p, uint32_t mask)
{
    return (p.newConditions & mask) != 0 && (p.oldConditions & mask) == 0;
}

bool Ended(const LConditionsParam& p, uint32_t mask)
{
    return (p.newConditions & mask) == 0 && (p.oldConditions & mask) != 0;
}

DoublePoint Origin(const LControl& control)
{
    return {control.GetFrame().x, control.GetFrame().y};
}

RCPtr<LRefCountedObject> Capture(bool on)
{
    return RCPtr<LRefCountedObject>(new LHolder<bool>(on));
}

}  // namespace

LSlider::LSlider(LControl* parent, const String& name) : LPanel(parent, name) {}

LSlider::~LSlider() = default;

QV_OWN_HANDLER_DEFINITIONS(LSlider, LPanel, mSliderHandler)

QVResult LSlider::Initialize()
{
    if (Failed(LPanel::Initialize())) return E_FAIL;
    mSliderHandler = new LNotificationHandler<LSlider>(this);
    mThumbEnd = FindChildControl(u"thumbEnd");
    mThumbStart = FindChildControl(u"thumbStart");
    CreateThumb();
    EndBoundsChange();
    (void)SetValueRange(0.0, 127.0, 0);  // a linear 0..127 range is always valid
    SetValue(0.0);
    return S_OK;
}

void LSlider::CreateThumb()
{
    if (!mThumbStart || mThumb) return;
    RCPtr<LButton> thumb(new LButton(this, u"thumb"));
    // Applying a descriptor that is set cannot fail.
    if (RCPtr<IControlDescriptor> d = mThumbStart->GetDescriptor()) (void)thumb->ApplyDescriptor(d);
    thumb->SetLayout(ThumbLayout());
    if (Failed(thumb->Initialize())) {
        thumb->Close();  // a thumb that cannot start is dropped; the slider works without one
        return;
    }
    thumb->SetInitialized(true);
    // The thumb's value is the slider's; a click must not toggle it.
    thumb->SetAutoValueSet(false);
    thumb->SetKeepPressedLook(true);
    thumb->SetVisible(true);
    thumb->UpdateLayout();  // placing the thumb for the value lays it out again
    mThumb = thumb;
    const RCPtr<LNotificationDistributor> source(thumb.Get());
    (void)mSliderHandler->RegisterHandler(&LSlider::OnThumbMove, source, u"NID_MOUSE_MOVE");
    (void)mSliderHandler->RegisterHandler(&LSlider::OnThumbClick, source, u"NID_LEFT_CLICK");
    (void)mSliderHandler->RegisterHandler(&LSlider::OnThumbDrag, source, u"NID_LEFT_DRAG_CONDITION_CHANGE");
}

ControlLayout LSlider::ThumbLayout() const
{
    ControlLayout layout = mThumbStart->GetLayout();
    layout.xIsDocked = layout.yIsDocked = false;
    for (int axis = 0; axis < 2; ++axis) {
        layout.position[axis] = LayoutRecord();
        layout.anchor[axis] = LayoutRecord();
    }
    layout.isVisible = true;
    return layout;
}

QVResult LSlider::SetParent(const RCPtr<LControl>& child, const RCPtr<IControlDescriptor>& descriptor)
{
    if (!child) return E_FAIL;
    if (descriptor || !(child->GetName() == u"thumb") || !mThumbStart) return LPanel::SetParent(child, descriptor);
    const RCPtr<IControlDescriptor> start = mThumbStart->GetDescriptor();
    const QVResult added = start ? LPanel::SetParent(child, start) : child->ChangeParent(this);
    if (Failed(added)) return added;
    child->SetLayout(ThumbLayout());
    child->SetVisible(true);
    return added;
}

QVResult LSlider::OnInitialized()
{
    const QVResult r = LPanel::OnInitialized();
    if (mThumbStart) mThumbStart->SetVisible(false);
    if (mThumbEnd) mThumbEnd->SetVisible(false);
    if (mThumbStart) {
        const DoubleRect& f = mThumbStart->GetFrame();
        const double size[2] = {f.width, f.height};
        const ControlLayout& layout = mThumbStart->GetLayout();
        int32_t anchor[2];
        for (int axis = 0; axis < 2; ++axis) {
            const double factor = layout.anchor[axis].factor;
            anchor[axis] = SaturateToLong(factor != 0.0 ? factor * size[axis] : size[axis] / 2.0);
        }
        mAnchor = {anchor[0], anchor[1]};
    }
    PositionThumb();
    return r;
}

SliderTrack LSlider::Track() const
{
    SliderTrack track;
    if (mThumbStart) track.start = Origin(*mThumbStart);
    track.end = mThumbEnd ? Origin(*mThumbEnd) : track.start;
    return track;
}

double LSlider::SetValue(double t)
{
    if (mDragging) {
        mDeferredValue = t;
        return GetValue();
    }
    const double r = LPanel::SetValue(t);
    PositionThumb();
    return r;
}

void LSlider::EndBoundsChange()
{
    LPanel::EndBoundsChange();
    if (!mThumb)
        CreateThumb();
    else
        PositionThumb();
}

void LSlider::PlaceThumb(const LongPoint& at)
{
    const ControlLayout& layout = mThumb->GetLayout();
    const int32_t value[2] = {at.x, at.y};
    for (int axis = 0; axis < 2; ++axis) {
        LayoutRecord position = layout.position[axis];
        position.offset = value[axis];
        mThumb->SetLayoutPosition(axis, position, layout.anchor[axis]);
    }
}

void LSlider::PositionThumb()
{
    if (mDragging || !mThumb || !mThumbStart) return;
    const LongPoint at = Track().ThumbAt(GetValue());
    if (at != Origin(*mThumb).Round()) PlaceThumb(at);
}

void LSlider::ValueFromThumb()
{
    LPanel::SetValue(Track().ValueAt(Origin(*mThumb), GetValue()));
    PositionThumb();
}

void LSlider::TrackStep(const DoublePoint& point)
{
    if (!mThumb || !mThumbStart) return;
    const DoublePoint q{point.x - mAnchor.x, point.y - mAnchor.y};
    LPanel::SetValue(Track().StepToward(Origin(*mThumb), q, GetValue(), mTrackStep));
    PositionThumb();
}

QVResult LSlider::OnThumbDrag(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    auto* p = dynamic_cast<LConditionsParam*>(notification->GetPayload().Get());
    if (!p || !mThumb) return S_OK;
    if (Began(*p, Condition::kLeftDragging)) {
        mDragging = true;
        const DoublePoint thumb = Origin(*mThumb);
        mGrab = {SaturateToLong(p->pressX - thumb.x), SaturateToLong(p->pressY - thumb.y)};
        mDeferredValue = -1.0;
        mPosts.Post(*this, u"NID_VALUE_CHANGE_CAPTURE", Capture(true));
    } else if (Ended(*p, Condition::kLeftDragging)) {
        mDragging = false;
        if (mApplyDeferredValue && mDeferredValue >= 0.0 && mDeferredValue <= 1.0) {
            LPanel::SetValue(mDeferredValue);
            PositionThumb();
        }
        mDeferredValue = -1.0;
        mPosts.Post(*this, u"NID_VALUE_CHANGE_CAPTURE", Capture(false));
    }
    return S_OK;
}

QVResult LSlider::OnThumbMove(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    auto* p = dynamic_cast<LPointWithModifiersParam*>(notification->GetPayload().Get());
    if (!p || !mDragging || !mThumb) return S_OK;
    const DoublePoint thumb = Origin(*mThumb);
    const LongPoint local = p->GetPoint();
    const LongPoint pointer = DoublePoint{thumb.x + local.x, thumb.y + local.y}.Round();
    const LongPoint at = Track().Project(pointer, mGrab, thumb);
    if (at != thumb.Round()) {
        PlaceThumb(at);
        ValueFromThumb();
    }
    return S_OK;
}

QVResult LSlider::OnThumbClick(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    auto* p = dynamic_cast<LMouseButtonParam*>(notification->GetPayload().Get());
    if (!p || !mResetOnClick || !(p->IsDoubleClick() || (p->GetModifiers() & LPointWithModifiersParam::kCtrl)))
        return S_OK;
    LPanel::SetValue(mResetValue);
    PositionThumb();
    return S_OK;
}

void LSlider::SetResetValue(double value, bool onDoubleClick)
{
    mResetValue = value;
    mResetOnClick = onDoubleClick ? 1 : 0;
}

void LSlider::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LPanel::OnConditionsChanged(conditions);
    if (!conditions) return;
    const LConditionsParam& p = *conditions;
    const bool enabled = (p.newConditions & Condition::kEnabled) != 0;
    if (Began(p, kLeftHeld) && enabled) {
        mTrackPressed = true;
        mLastTick = Now();
        mCountdown = kFirstRepeat;
        (void)SubscribeIdle();  // without idle ticks the press still steps once
        // The first step comes with the press; the click that ends it adds none.
        mSteppedThisPress = true;
        const DoublePoint origin = Origin(*this);
        TrackStep({p.pressX - origin.x, p.pressY - origin.y});
    } else if (Ended(p, kLeftHeld) && mTrackPressed) {
        EndTrackPress();
    }
    if (Ended(p, kFocusHeld)) {
        if (mKeyHeld) {
            mKeyHeld = false;
            mPosts.Post(*this, u"NID_VALUE_CHANGE_KEY_UP");
        }
        ShowPart(enabled ? kNormal : kDisabled);
    } else if (Began(p, kFocusHeld)) {
        ShowPart(kFocused);
    }
    if ((p.oldConditions ^ p.newConditions) & Condition::kEnabled)
        ShowPart(enabled ? ((p.newConditions & kFocusHeld) ? kFocused : kNormal) : kDisabled);
}

void LSlider::EndTrackPress()
{
    mTrackPressed = false;
    UnsubscribeIdle();
}

void LSlider::OnTimer()
{
    LPanel::OnTimer();
    mPosts.Deliver(*this);
    const uint32_t c = GetConditions();
    if (!mTrackPressed || !(c & kLeftHeld) || !(c & Condition::kEnabled)) return;
    const double now = Now();
    mCountdown -= now - mLastTick;
    mLastTick = now;
    if (mCountdown > 0.0) return;
    mCountdown = kRepeat;
    RCPtr<IRootWindow> root = GetRootWindow();
    if (!root) return;
    int32_t x = 0, y = 0;
    root->GetCursorPosition(x, y);
    const DoublePoint at = GetPositionInRoot();
    TrackStep({x - at.x, y - at.y});
}

void LSlider::OnLeftClick(const RCPtr<LMouseButtonParam>& param)
{
    if (param && !mSteppedThisPress) {
        const LongPoint at = param->GetPoint();
        TrackStep({double(at.x), double(at.y)});
    }
    mSteppedThisPress = false;
}

void LSlider::StepBy(double units)
{
    SetValue(ValueToNormalized(NormalizedToValue(GetValue()) + units));
}

void LSlider::HandleKey(const RCPtr<LKeyParam>& key)
{
    if (!key) return;
    const uint32_t flags = key->code.code;
    const uint32_t vk = (flags >> 16) & 0xFF;
    const bool arrow = vk >= Keys::kLeft && vk <= Keys::kDown;
    if (flags != 0 && !(flags & KeyCode::kNoKey) && !(flags & KeyCode::kKeyDown) && arrow) {
        mKeyHeld = false;
        mPosts.Post(*this, u"NID_VALUE_CHANGE_KEY_UP", key);
        return;
    }
    const bool up = flags == KeyCode::Pressed(Keys::kRight) || flags == KeyCode::Pressed(Keys::kUp);
    KeyCode downKey;
    downKey.code = KeyCode::Pressed(Keys::kDown);
    const bool down = flags == KeyCode::Pressed(Keys::kLeft) || KeyCode::Matches(key->code, downKey);
    if (!up && !down) {
        LPanel::HandleKey(key);
        return;
    }
    if (!mKeyHeld) {
        mKeyHeld = true;
        mPosts.Post(*this, u"NID_VALUE_CHANGE_KEY_DOWN", key);
    }
    StepBy(up ? 1.0 : -1.0);
}

QVResult LSlider::OnMouseWheel(const RCPtr<LMouseWheelParam>& param)
{
    if (!param) return kNotHandled;
    StepBy(param->IsUpOrRight() ? 1.0 : -1.0);
    return S_OK;
}

QVResult LSlider::OnScrollKey(const RCPtr<LMouseWheelParam>& param)
{
    return OnMouseWheel(param);
}

}  // namespace QV
