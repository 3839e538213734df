#include "LScrollbar.h"

#include <algorithm>
#include <cmath>

#include "GeometryRounding.h"
#include "IControlApplication.h"
#include "KeyCode.h"
#include "LButton.h"
#include "OwnHandler.h"

namespace QV {
namespace {

// Which bars a key moves.
enum class KeyAxis { kVertical, kHorizontal, kEither };

// What a key does to the value.
enum class KeyStep { kLineBack, kLineForward, kPageBack, kPageForward, kToStart, kToEnd };

struct KeyRow {
    uint32_t code;
    uint8_t bit;  // of the key mask
    KeyAxis axis;
    KeyStep step;
};

constexpr KeyRow kKeys[] = {
    {KeyCode::Pressed(Keys::kUp), 0x01, KeyAxis::kVertical, KeyStep::kLineBack},
    {KeyCode::Pressed(Keys::kDown), 0x02, KeyAxis::kVertical, KeyStep::kLineForward},
    {KeyCode::Pressed(Keys::kLeft), 0x04, KeyAxis::kHorizontal, KeyStep::kLineBack},
    {KeyCode::Pressed(Keys::kRight), 0x08, KeyAxis::kHorizontal, KeyStep::kLineForward},
    {KeyCode::Pressed(Keys::kPageUp), 0x10, KeyAxis::kVertical, KeyStep::kPageBack},
    {KeyCode::Pressed(Keys::kPageDown), 0x20, KeyAxis::kVertical, KeyStep::kPageForward},
    {KeyCode::Pressed(Keys::kHome), 0x40, KeyAxis::kEither, KeyStep::kToStart},
    {KeyCode::Pressed(Keys::kEnd), 0x80, KeyAxis::kEither, KeyStep::kToEnd},
};

double RoundHalf(double v)
{
    return std::trunc(v < 0 ? v - 0.5 : v + 0.5);
}

// A point of a child's coordinates in its parent's, in whole pixels.
DoublePoint InParent(const LControl& child, const DoublePoint& p)
{
    const LControl* parent = child.GetParent();
    DoublePoint at = p + child.GetFrame().Origin();
    if (parent) at = at - parent->GetScrollOffset() + parent->GetPartRect(-1).Origin();
    return {RoundHalf(at.x), RoundHalf(at.y)};
}

}  // namespace

LScrollbar::LScrollbar(LControl* parent, const String& name) : LControl(parent, name)
{
    (void)LControl::SetValueRange(0.0, 100.0, 0);  // a linear 0..100 range is always valid
}

double LScrollbar::SetValue(double t)
{
    if (mDragging) {
        mPendingDragValue = t;
        return GetValue();
    }
    return ApplyValue(t);
}

double LScrollbar::ApplyValue(double t)
{
    LControl::SetValue(std::clamp(t, 0.0, 1.0));
    UpdateThumbPosition();
    return GetValue();
}

QVResult LScrollbar::SetValueRange(double minimum, double maximum, int32_t scale)
{
    const double mapped = NormalizedToValue(GetValue());
    const QVResult result = LControl::SetValueRange(minimum, maximum, scale);
    // An empty range has one place only.
    const double t = ValueToNormalized(mapped);
    SetValue(std::isfinite(t) ? t : 0.0);
    UpdateThumbPosition();
    return result;
}

void LScrollbar::EndBoundsChange()
{
    if (!mThumb) return;
    RCPtr<LControl> channel = FindChildControl(u"channel");
    if (!channel) return;
    const DoubleRect part = channel->GetPartRect(-1);
    const int axis = Axis();
    mChannelOffset = (axis ? part.y : part.x) + (axis ? channel->GetFrame().y : channel->GetFrame().x);
    mChannelStart = 0.0;
    mChannelEnd = axis ? part.y + part.height : part.x + part.width;
    UpdateThumb();
    UpdateThumbPosition();
}

QVResult LScrollbar::Initialize()
{
    if (Failed(LControl::Initialize())) return E_FAIL;
    mOwnHandler = new LNotificationHandler<LScrollbar>(this);
    mChannel = FindChildControl(u"channel");
    if (mChannel) {
        const RCPtr<LNotificationDistributor> channel(mChannel.Get());
        (void)mOwnHandler->RegisterHandler(&LScrollbar::OnChannelLeftDragChange, channel,
                                           u"NID_LEFT_DRAG_CONDITION_CHANGE");
        (void)mOwnHandler->RegisterHandler(&LScrollbar::OnChannelHoverChange, channel, u"NID_HOVER_CONDITION_CHANGE");
        mThumb = mChannel->FindChildControl(u"thumb");
    }
    if (mThumb) {
        const RCPtr<LNotificationDistributor> thumb(mThumb.Get());
        (void)mOwnHandler->RegisterHandler(&LScrollbar::OnThumbMouseMove, thumb, u"NID_MOUSE_MOVE");
        (void)mOwnHandler->RegisterHandler(&LScrollbar::OnThumbLeftDragChange, thumb,
                                           u"NID_LEFT_DRAG_CONDITION_CHANGE");
        if (auto* button = dynamic_cast<LButton*>(mThumb.Get())) button->SetKeepPressedLook(true);
    }
    RCPtr<LControl> dec = FindChildControl(u"dec");
    RCPtr<LControl> inc = FindChildControl(u"inc");
    for (const RCPtr<LControl>& step : {dec, inc}) {
        if (!step) continue;
        (void)mOwnHandler->RegisterHandler(&LScrollbar::OnButtonAutoRepeat, RCPtr<LNotificationDistributor>(step.Get()),
                                           u"NID_BUTTON_AUTOREPEAT");
        if (auto* button = dynamic_cast<LButton*>(step.Get())) button->SetAutoRepeat(true);
    }
    if (dec && inc) {
        const DoubleRect& a = dec->GetFrame();
        const DoubleRect& b = inc->GetFrame();
        mVertical = (b.x - a.x) > (b.y - a.y) ? 0 : 1;
    }
    EndBoundsChange();
    (void)SetKeyMask(255);  // 255 is a valid mask
    return S_OK;
}

QVResult LScrollbar::OnInitialized()
{
    SetNotFocusable(true);
    for (const char16_t* name : {u"dec", u"inc", u"channel"}) {
        if (RCPtr<LControl> c = FindChildControl(name)) c->SetNotFocusable(true);
    }
    if (mThumb) {
        mThumb->SetNotFocusable(true);
        minimumThumbLength = mVertical ? mThumb->GetFrame().width : mThumb->GetFrame().height;
    }
    EndBoundsChange();
    return S_OK;
}

void LScrollbar::UpdateThumb()
{
    mThumbLength = std::trunc(std::max(minimumThumbLength, (mChannelEnd - mChannelStart) * thumbFraction) + 0.5);
    if (mThumb) {
        LayoutRecord size = mThumb->GetLayout().size[Axis()];
        size.kind = LayoutKind::kSelf;
        size.offset = RoundHalf(mThumbLength);
        mThumb->SetLayoutSize(Axis(), size, mThumb->GetLayout().limit[Axis()]);
    }
    UpdateThumbPosition();
}

double LScrollbar::ThumbPosition() const
{
    return Axis() ? mThumb->GetFrame().y : mThumb->GetFrame().x;
}

void LScrollbar::UpdateThumbPosition()
{
    if (mDragging || !mThumb) return;
    const double p = RoundHalf((mChannelEnd - mChannelStart - mThumbLength) * GetValue() + mChannelStart);
    if (p == ThumbPosition()) return;
    MoveThumbTo(p);
}

void LScrollbar::MoveThumbTo(double along)
{
    LayoutRecord position = mThumb->GetLayout().position[Axis()];
    position.offset = along;
    position.factor = 0.0f;
    mThumb->SetLayoutPosition(Axis(), position, mThumb->GetLayout().anchor[Axis()]);
}

void LScrollbar::SetValueFromThumb()
{
    const double span = mChannelEnd - mChannelStart - mThumbLength;
    // A thumb that fills the channel has nowhere to go: the value stays.
    if (!(span > 0)) return;
    LControl::SetValue(std::clamp((ThumbPosition() - mChannelStart) / span, 0.0, 1.0));
    UpdateThumbPosition();
}

void LScrollbar::SetDragging(bool dragging)
{
    if (dragging == mDragging) return;
    mDragging = dragging;
    if (dragging) {
        mPendingDragValue = -1.0;
        return;
    }
    if (mApplyPendingOnRelease && mPendingDragValue >= 0.0 && mPendingDragValue <= 1.0) ApplyValue(mPendingDragValue);
    mPendingDragValue = -1.0;
}

LScrollbar::ChannelSide LScrollbar::HitTestChannel(double along) const
{
    const double tp = mThumb ? ThumbPosition() : 0.0;
    if (mChannelStart <= along && along <= tp) return kBeforeThumb;
    if (tp + mThumbLength <= along && along <= mChannelEnd) return kAfterThumb;
    return kOnThumb;
}

void LScrollbar::PageTowardSide()
{
    SetValue(GetValue() + (mPagingSide == kBeforeThumb ? -pageStep : pageStep));
}

bool LScrollbar::IsPointerOnPagingSide() const
{
    if (!mChannel || !(mChannel->GetConditions() & Condition::kActive)) return false;
    RCPtr<IRootWindow> root = GetRootWindow();
    if (!root) return false;
    int32_t x = 0, y = 0;
    root->GetCursorPosition(x, y);
    const DoublePoint at = mChannel->GetPositionInRoot();
    const DoubleRect part = mChannel->GetPartRect(-1);
    const double along = Axis() ? y - at.y - part.y : x - at.x - part.x;
    return HitTestChannel(along) == mPagingSide;
}

QVResult LScrollbar::OnChannelLeftDragChange(const RCPtr<LNotificationDistributor>&,
                                             const RCPtr<LNotification>& notification)
{
    auto* p = notification ? dynamic_cast<LConditionsParam*>(notification->GetPayload().Get()) : nullptr;
    if (!p || !mChannel) return 1;
    const auto newly = [p](uint32_t bit) { return (p->newConditions & bit) && !(p->oldConditions & bit); };
    const auto cleared = [p](uint32_t bit) { return !(p->newConditions & bit) && (p->oldConditions & bit); };
    if (newly(Condition::kLeftPressed)) {
        // The press point is in the bar's coordinates, like the channel's frame.
        const DoubleRect part = mChannel->GetPartRect(-1);
        const DoubleRect& frame = mChannel->GetFrame();
        const double along = Axis() ? RoundHalf(p->pressY - frame.y) - part.y : RoundHalf(p->pressX - frame.x) - part.x;
        mPagingSide = HitTestChannel(along);
        if (mPagingSide != kOnThumb) {
            PageTowardSide();
            UpdateChannelHighlight();
            mLastPagingTime = Now();
            mPagingCountdown = mPagingFirstDelay;
            (void)SubscribeIdle();  // without idle ticks the press still pages once
        }
    } else if (cleared(Condition::kCaptured) && mPagingSide != kOnThumb) {
        mPagingSide = kOnThumb;
        ClearChannelHighlight();
        UnsubscribeIdle();
    }
    if (mPagingSide != kOnThumb) UpdateChannelHighlight();
    return 1;
}

QVResult LScrollbar::OnChannelHoverChange(const RCPtr<LNotificationDistributor>&,
                                          const RCPtr<LNotification>& notification)
{
    auto* p = notification ? dynamic_cast<LConditionsParam*>(notification->GetPayload().Get()) : nullptr;
    // Time spent outside the channel does not count toward the next step.
    if (p && (p->newConditions & Condition::kActive) && !(p->oldConditions & Condition::kActive))
        mLastPagingTime = Now();
    if (mPagingSide != kOnThumb) UpdateChannelHighlight();
    return 1;
}

void LScrollbar::OnTimer()
{
    if (mPagingSide == kOnThumb || !IsPointerOnPagingSide()) return;
    const double now = Now();
    mPagingCountdown -= now - mLastPagingTime;
    mLastPagingTime = now;
    if (mPagingCountdown > 0) return;
    mPagingCountdown = mPagingRepeat;
    PageTowardSide();
    UpdateChannelHighlight();
}

DoubleRect LScrollbar::PagedStretch() const
{
    const DoubleRect part = mChannel->GetPartRect(-1);
    const int axis = Axis();
    const double nearEdge = axis ? part.y : part.x;
    const double farEdge = nearEdge + (axis ? part.height : part.width);
    const double thumbStart = nearEdge + (mThumb ? ThumbPosition() : 0.0);
    const double from = mPagingSide == kBeforeThumb ? nearEdge : thumbStart + mThumbLength;
    const double to = std::floor((mPagingSide == kBeforeThumb ? thumbStart : farEdge) + 0.5);
    if (axis) return {part.x, from, part.width, std::max(to - from, 0.0)};
    return {from, part.y, std::max(to - from, 0.0), part.height};
}

void LScrollbar::UpdateChannelHighlight()
{
    if (!mChannel || mPagingSide == kOnThumb || !IsPointerOnPagingSide()) {
        ClearChannelHighlight();
        return;
    }
    RectRegion pressed;
    pressed.AddRect(PagedStretch());
    // A channel without a pressed look has nothing to highlight with.
    if (Failed(mChannel->SetPartRegion(kChannelPressed, pressed))) return;
    if (Failed(mChannel->ResetPartRegion(kChannelNormal, kChannelPressed))) return;
    mChannel->SetPartOpacity(kChannelPressed, 1.0f, false);
}

void LScrollbar::ClearChannelHighlight()
{
    if (!mChannel) return;
    mChannel->ClearAllPartRegions();
    if (mChannel->GetPartCount() > 0) mChannel->ShowPart(kChannelNormal, true);
}

QVResult LScrollbar::OnThumbLeftDragChange(const RCPtr<LNotificationDistributor>&,
                                           const RCPtr<LNotification>& notification)
{
    auto* p = notification ? dynamic_cast<LConditionsParam*>(notification->GetPayload().Get()) : nullptr;
    if (!p) return 1;
    const bool now = (p->newConditions & Condition::kLeftDragging) != 0;
    if (now == ((p->oldConditions & Condition::kLeftDragging) != 0)) return 1;
    if (now && mThumb) {
        const DoubleRect& thumb = mThumb->GetFrame();
        mGrab[0] = SaturateToLong(RoundHalf(p->pressX - thumb.x));
        mGrab[1] = SaturateToLong(RoundHalf(p->pressY - thumb.y));
    }
    SetDragging(now);
    return 1;
}

QVResult LScrollbar::OnThumbMouseMove(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    auto* move = notification ? dynamic_cast<LPointWithModifiersParam*>(notification->GetPayload().Get()) : nullptr;
    if (!move || !mDragging || !mThumb || !mChannel) return 0;
    const int axis = Axis();
    const LongPoint pointer = move->GetPoint();
    const DoublePoint inBar = InParent(*mChannel, InParent(*mThumb, {double(pointer.x), double(pointer.y)}));
    move->SetPoint(inBar.Round());
    const DoubleRect own = GetPartRect(-1);
    const double nearEdge = RoundHalf(axis ? own.y : own.x);
    double target = (axis ? inBar.y : inBar.x) - RoundHalf(mChannelOffset) - nearEdge - mGrab[axis];
    if (target < mChannelStart) target = mChannelStart;
    const double last = std::trunc(mChannelEnd - mThumbLength);
    if (target > last) target = last;
    if (target == std::trunc(ThumbPosition())) return 0;
    MoveThumbTo(target);
    SetValueFromThumb();
    return 0;
}

QVResult LScrollbar::OnButtonAutoRepeat(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    const auto* button = dynamic_cast<const LControl*>(sender.Get());
    if (!button) return 1;
    if (button->GetName() == u"dec") SetValue(GetValue() - lineStep);
    if (button->GetName() == u"inc") SetValue(GetValue() + lineStep);
    return 1;
}

QVResult LScrollbar::SetKeyMask(int32_t mask)
{
    if (mask != 0 && mKeyMask == 0 && mOwnHandler) {
        if (LControl* parent = GetParent())
            (void)mOwnHandler->RegisterHandler(&LScrollbar::OnScrollbarKey, RCPtr<LNotificationDistributor>(parent),
                                               u"NID_SIBLING_KEY");
    }
    mKeyMask = static_cast<uint8_t>(mask & 0xFF);
    return (mask < 0 || mask > 255) ? E_INVALIDARG : S_OK;
}

void LScrollbar::LeaveParentSiblingKeys()
{
    if (mOwnHandler) mOwnHandler->UnregisterHandler(RCPtr<LNotificationDistributor>(GetParent()), u"NID_SIBLING_KEY");
    LControl::LeaveParentSiblingKeys();
}

void LScrollbar::JoinParentSiblingKeys()
{
    LControl::JoinParentSiblingKeys();
    if (!mOwnHandler || mKeyMask == 0) return;
    (void)mOwnHandler->RegisterHandler(&LScrollbar::OnScrollbarKey, RCPtr<LNotificationDistributor>(GetParent()),
                                       u"NID_SIBLING_KEY");
}

QVResult LScrollbar::OnScrollbarKey(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    if (!IsEffectivelyVisible(true) || !notification) return 0;
    auto* sibling = dynamic_cast<LSiblingKeyParam*>(notification->GetPayload().Get());
    if (!sibling || !sibling->keyParam) return 0;
    const KeyCode& key = sibling->keyParam->code;
    for (const KeyRow& row : kKeys) {
        // End follows the key-match rule; the others compare the key word.
        KeyCode rowKey;
        rowKey.code = row.code;
        const bool matches = row.step == KeyStep::kToEnd ? KeyCode::Matches(key, rowKey) : row.code == key.code;
        if (!matches || !(mKeyMask & row.bit)) continue;
        if (row.axis != KeyAxis::kEither && (row.axis == KeyAxis::kVertical) != IsVertical()) continue;
        double value = GetValue();
        switch (row.step) {
        case KeyStep::kLineBack: value -= lineStep; break;
        case KeyStep::kLineForward: value += lineStep; break;
        case KeyStep::kPageBack: value -= pageStep; break;
        case KeyStep::kPageForward: value += pageStep; break;
        case KeyStep::kToStart: value = 0.0; break;
        case KeyStep::kToEnd: value = 1.0; break;
        }
        SetValue(value);
        sibling->unhandled = 0;
        return 0;
    }
    return 0;
}

QVResult LScrollbar::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification)
{
    if (!IsInitialized() || !notification) return S_OK;
    // The bar answers its keys whoever offers them: its parent's siblings and
    // its own key entry alike.
    if (mKeyMask != 0 && notification->GetID() == NotificationNameTable::GetNotificationID(u"NID_SIBLING_KEY"))
        return OnScrollbarKey(sender, notification);
    LNotificationHandler<LScrollbar>::Handler handler = nullptr;
    uint32_t flags = 0;
    if (mOwnHandler && Succeeded(mOwnHandler->FindHandler(sender, notification->GetID(), handler, flags)))
        return mOwnHandler->ReceiveNotification(sender, notification);
    return LControl::ReceiveNotification(sender, notification);
}

QVResult LScrollbar::UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                            const char16_t* nameOrId)
{
    ForgetInOwnHandler(mOwnHandler, distributor, nameOrId);
    return LControl::UnregisterNotification(distributor, nameOrId);
}

}  // namespace QV
