#include "LScrollbar.h"

#include <algorithm>
#include <cmath>

#include "GeometryRounding.h"
#include "IControlApplication.h"

namespace QV {
namespace {

struct KeyRow {
    uint32_t code;
    uint8_t bit;
    int orientation;  // 1 vertical, 0 horizontal, -1 either
    int action;       // -1/+1 line, -2/+2 page, 0 start, 3 end
};

constexpr KeyRow kKeys[] = {
    {0x20260000, 0x01, 1, -1}, {0x20280000, 0x02, 1, +1}, {0x20250000, 0x04, 0, -1}, {0x20270000, 0x08, 0, +1},
    {0x20210000, 0x10, 1, -2}, {0x20220000, 0x20, 1, +2}, {0x20240000, 0x40, -1, 0}, {0x20230000, 0x80, -1, 3},
};

double RoundHalf(double v)
{
    return std::trunc(v < 0 ? v - 0.5 : v + 0.5);
}

}  // namespace

LScrollbar::LScrollbar(LControl* parent, const String& name) : LControl(parent, name)
{
    LControl::SetValueRange(0.0, 100.0, 0);
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
        // Registration fails only for a null sender or name; both are set here.
        (void)mOwnHandler->RegisterHandler(&LScrollbar::OnChannelLeftDragChange, channel,
                                           u"NID_LEFT_DRAG_CONDITION_CHANGE");
        (void)mOwnHandler->RegisterHandler(&LScrollbar::OnChannelHoverChange, channel, u"NID_HOVER_CONDITION_CHANGE");
        mThumb = mChannel->FindChildControl(u"thumb");
    }
    if (mThumb) {
        // Registration fails only for a null sender or name; both are set here.
        (void)mOwnHandler->RegisterHandler(&LScrollbar::OnThumbLeftDragChange,
                                           RCPtr<LNotificationDistributor>(mThumb.Get()),
                                           u"NID_LEFT_DRAG_CONDITION_CHANGE");
    }
    RCPtr<LControl> dec = FindChildControl(u"dec");
    RCPtr<LControl> inc = FindChildControl(u"inc");
    if (dec && inc) {
        const DoubleRect& a = dec->GetFrame();
        const DoubleRect& b = inc->GetFrame();
        mVertical = (b.x - a.x) > (b.y - a.y) ? 0 : 1;
    }
    EndBoundsChange();
    SetKeyMask(255);
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
    LayoutRecord position = mThumb->GetLayout().position[Axis()];
    position.offset = p;
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
    if (mPendingDragValue >= 0.0 && mPendingDragValue <= 1.0) ApplyValue(mPendingDragValue);
    mPendingDragValue = -1.0;
}

double LScrollbar::Now() const
{
    IControlApplication* app = GetControlApplication();
    return app ? app->GetElapsedTime() : 0.0;
}

int32_t LScrollbar::HitTestChannel(double along) const
{
    const double tp = mThumb ? ThumbPosition() : 0.0;
    if (mChannelStart <= along && along <= tp) return 1;
    if (tp + mThumbLength <= along && along <= mChannelEnd) return 2;
    return 0;
}

void LScrollbar::PageTowardSide()
{
    SetValue(GetValue() + (mPagingSide == 1 ? -pageStep : pageStep));
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
        const DoubleRect part = mChannel->GetPartRect(-1);
        const double along = Axis() ? std::round(p->pressY) - part.y : std::round(p->pressX) - part.x;
        mPagingSide = HitTestChannel(along);
        if (mPagingSide != 0) {
            PageTowardSide();
            mLastPagingTime = Now();
            mPagingCountdown = mPagingFirstDelay;
            SubscribeIdle();
        }
    } else if (cleared(Condition::kCaptured) && mPagingSide != 0) {
        mPagingSide = 0;
        UnsubscribeIdle();
    }
    return 1;
}

QVResult LScrollbar::OnChannelHoverChange(const RCPtr<LNotificationDistributor>&,
                                          const RCPtr<LNotification>& notification)
{
    auto* p = notification ? dynamic_cast<LConditionsParam*>(notification->GetPayload().Get()) : nullptr;
    // Time spent outside the channel does not count toward the next step.
    if (p && (p->newConditions & Condition::kActive) && !(p->oldConditions & Condition::kActive))
        mLastPagingTime = Now();
    return 1;
}

void LScrollbar::OnTimer()
{
    if (mPagingSide == 0 || !IsPointerOnPagingSide()) return;
    const double now = Now();
    mPagingCountdown -= now - mLastPagingTime;
    mLastPagingTime = now;
    if (mPagingCountdown > 0) return;
    mPagingCountdown = mPagingRepeat;
    PageTowardSide();
}

QVResult LScrollbar::OnThumbLeftDragChange(const RCPtr<LNotificationDistributor>&,
                                           const RCPtr<LNotification>& notification)
{
    auto* p = notification ? dynamic_cast<LConditionsParam*>(notification->GetPayload().Get()) : nullptr;
    if (!p) return 1;
    const bool now = (p->newConditions & Condition::kLeftDragging) != 0;
    if (now != ((p->oldConditions & Condition::kLeftDragging) != 0)) SetDragging(now);
    return 1;
}

QVResult LScrollbar::SetKeyMask(int32_t mask)
{
    if (mask != 0 && mKeyMask == 0 && mOwnHandler) {
        if (LControl* parent = GetParent())
            // Registration fails only for a null sender or name; both are set here.
            (void)mOwnHandler->RegisterHandler(&LScrollbar::OnScrollbarKey, RCPtr<LNotificationDistributor>(parent),
                                               u"NID_SIBLING_KEY");
    }
    mKeyMask = static_cast<uint8_t>(mask & 0xFF);
    return (mask < 0 || mask > 255) ? E_INVALIDARG : S_OK;
}

QVResult LScrollbar::OnScrollbarKey(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    if (!IsEffectivelyVisible(true) || !notification) return 0;
    auto* sibling = dynamic_cast<LSiblingKeyParam*>(notification->GetPayload().Get());
    if (!sibling || !sibling->keyParam) return 0;
    const uint32_t code = sibling->keyParam->code.flags;
    for (const KeyRow& row : kKeys) {
        if (row.code != code || !(mKeyMask & row.bit)) continue;
        if (row.orientation >= 0 && row.orientation != mVertical) continue;
        double value = GetValue();
        switch (row.action) {
        case -1: value -= lineStep; break;
        case 1: value += lineStep; break;
        case -2: value -= pageStep; break;
        case 2: value += pageStep; break;
        case 0: value = 0.0; break;
        default: value = 1.0; break;
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
    LNotificationHandler<LScrollbar>::Handler handler = nullptr;
    uint32_t flags = 0;
    if (mOwnHandler && Succeeded(mOwnHandler->FindHandler(sender, notification->GetID(), handler, flags)))
        return mOwnHandler->ReceiveNotification(sender, notification);
    return LControl::ReceiveNotification(sender, notification);
}

}  // namespace QV
