#include "LScrollView.h"

#include <algorithm>
#include <cmath>

#include "GeometryRounding.h"
#include "OwnHandler.h"

namespace QV {
namespace {

constexpr double kSameExtent = 2.220446049250313e-15;

}  // namespace

LScrollView::LScrollView(LControl* parent, const String& name) : LControl(parent, name) {}

QVResult LScrollView::Initialize()
{
    const QVResult result = LControl::Initialize();
    if (Failed(result)) return result;
    mViewHandler = new LNotificationHandler<LScrollView>(this);
    FindScrollbars();
    SetUpScrollbars();
    return S_OK;
}

void LScrollView::FindScrollbars()
{
    mCorner = FindChildControl(u"corner");
    mBars[0] = RCPtr<LScrollbar>(dynamic_cast<LScrollbar*>(FindChildControl(u"hBar").Get()));
    mBars[1] = RCPtr<LScrollbar>(dynamic_cast<LScrollbar*>(FindChildControl(u"vBar").Get()));
}

QVResult LScrollView::ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor)
{
    if (!IsInitialized()) return LControl::ApplyDescriptor(descriptor);
    RCPtr<LControl> self(this);
    const int32_t flags = mAutoExtent;
    mAutoExtent = 0;
    const QVResult result = LControl::ApplyDescriptor(descriptor);
    if (Succeeded(result)) {
        // A bar the new descriptor left out is no longer a child to drive.
        FindScrollbars();
        SetUpScrollbars();
    }
    mAutoExtent = flags;
    if (Failed(result)) return result;
    UpdateAutoClientExtent();
    LayoutScrollbars();
    EndBoundsChange();
    return result;
}

void LScrollView::UpdateScrollState()
{
    LayoutScrollbars();
    const DoubleRect content = GetContentRect();
    const DoublePoint origin = GetPartRect(-1).Origin();
    InvalidateRect({origin.x, origin.y, content.width, content.height}, GetLayout().clipToParent);
}

DoubleRect LScrollView::GetContentRect() const
{
    const DoubleRect frame = GetPartRect(-1);
    bool any = false;
    double right = 0.0, bottom = 0.0;
    const ChildControlList& children = GetChildren();
    for (uint32_t i = children.GetCount(); i-- > 0;) {
        const LControl* child = children.GetAt(i, ChildControlList::kInsertion);
        const ControlLayout& layout = child->GetLayout();
        if (child->HasLayout() && (layout.xIsDocked || layout.yIsDocked)) continue;
        const LongRect r = child->GetFrame().Round();
        right = any ? std::max(right, double(r.x) + r.width) : double(r.x) + r.width;
        bottom = any ? std::max(bottom, double(r.y) + r.height) : double(r.y) + r.height;
        any = true;
    }
    const DoublePoint offset = GetScrollOffset();
    double width = frame.width;
    double height = frame.height;
    if (any) {
        width = std::min(width, right);
        height = std::min(height, bottom);
    }
    return {std::max(offset.x, 0.0), std::max(offset.y, 0.0), std::max(width, 1.0), std::max(height, 1.0)};
}

void LScrollView::SetUpScrollbars()
{
    mBarThickness[1] = mCorner ? mCorner->GetLayout().size[0].offset : 0.0;
    mBarThickness[0] = mCorner ? mCorner->GetLayout().size[1].offset : 0.0;
    for (int axis = 0; axis < 2; ++axis) {
        LScrollbar* bar = mBars[axis].Get();
        if (!bar) continue;
        if (!IsInitialized())
            (void)mViewHandler->RegisterHandler(&LScrollView::OnScrollbarValueChange,
                                                RCPtr<LNotificationDistributor>(bar), u"NID_VALUE_CHANGE");
        if (mBarThickness[axis] == 0.0)
            mBarThickness[axis] = axis == 0 ? bar->GetFrame().height : bar->GetFrame().width;
    }
    LayoutScrollbars();
}

QVResult LScrollView::LoadProperties()
{
    const QVResult result = LControl::LoadProperties();
    RCPtr<IControlDescriptor> descriptor = GetDescriptor();
    if (!descriptor || !descriptor->HasAttributes()) return result;
    int32_t flags = 0;
    String text;
    if (descriptor->GetAttribute(u"AUTO_CLIENT_EXTENT_X", text) && text.ToLower().Trim() == u"true")
        flags |= kAutoWidth;
    if (descriptor->GetAttribute(u"AUTO_CLIENT_EXTENT_Y", text) && text.ToLower().Trim() == u"true")
        flags |= kAutoHeight;
    mAutoExtent = flags;
    mAutoMargin[0] = mAutoMargin[1] = 0;
    UpdateAutoClientExtent();
    return result;
}

QVResult LScrollView::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>& notification)
{
    if (!IsInitialized() || !notification) return S_OK;
    LNotificationHandler<LScrollView>::Handler handler = nullptr;
    uint32_t flags = 0;
    if (mViewHandler && Succeeded(mViewHandler->FindHandler(sender, notification->GetID(), handler, flags)))
        return mViewHandler->ReceiveNotification(sender, notification);
    return LControl::ReceiveNotification(sender, notification);
}

QVResult LScrollView::UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                             const char16_t* nameOrId)
{
    ForgetInOwnHandler(mViewHandler, distributor, nameOrId);
    return LControl::UnregisterNotification(distributor, nameOrId);
}

QVResult LScrollView::SetClientExtent(double x, double y)
{
    if (std::fabs(x - mExtent.x) < kSameExtent && std::fabs(y - mExtent.y) < kSameExtent) return kNothingToDo;
    mExtent = {x, y};
    UpdateScrollState();
    Notify(u"NID_CLIENT_EXTENT_CHANGE");
    return S_OK;
}

QVResult LScrollView::SetAutoClientExtent(int32_t flags, int32_t marginX, int32_t marginY)
{
    mAutoExtent = flags;
    mAutoMargin[0] = marginX;
    mAutoMargin[1] = marginY;
    UpdateAutoClientExtent();
    return S_OK;
}

QVResult LScrollView::UpdateAutoClientExtent()
{
    if (mAutoExtent == 0) return kNothingToDo;
    const DoublePoint children = GetChildrenExtent();
    const double c = children.x + mAutoMargin[0];
    const double d = children.y + mAutoMargin[1];
    return SetClientExtent(mAutoExtent & kAutoWidth ? c : mExtent.x, mAutoExtent & kAutoHeight ? d : mExtent.y);
}

DoublePoint LScrollView::GetChildrenExtent() const
{
    DoublePoint extent;
    const ChildControlList& children = GetChildren();
    for (uint32_t i = children.GetCount(); i-- > 0;) {
        const LControl* child = children.GetAt(i, ChildControlList::kInsertion);
        const LongRect r = child->GetFrame().Round();
        if (!child->GetLayout().xIsDocked) extent.x = std::max(extent.x, double(r.x) + r.width);
        if (!child->GetLayout().yIsDocked) extent.y = std::max(extent.y, double(r.y) + r.height);
    }
    return extent;
}

DoublePoint LScrollView::GetContentExtent() const
{
    if (mCorner) return {mCorner->GetFrame().width, mCorner->GetFrame().height};
    return {mBars[1] ? mBars[1]->GetFrame().width : 0.0, mBars[0] ? mBars[0]->GetFrame().height : 0.0};
}

void LScrollView::SetItemScrolling(bool on, int32_t itemSize)
{
    mItemScrolling = on && itemSize > 0;
    mItemSize = itemSize;
    LayoutScrollbars();
}

double LScrollView::Thickness(int axis) const
{
    if (mCorner) return axis == 0 ? mCorner->GetFrame().height : mCorner->GetFrame().width;
    if (!mBars[axis]) return 0.0;
    return axis == 0 ? mBars[0]->GetFrame().height : mBars[1]->GetFrame().width;
}

DoubleRect LScrollView::GetClientRect() const
{
    DoubleRect r = LControl::GetClientRect();
    if (ShowsBar(1)) r.width = std::max(r.width - Thickness(1), 0.0);
    if (ShowsBar(0)) r.height = std::max(r.height - Thickness(0), 0.0);
    return r;
}

void LScrollView::LayoutScrollbars()
{
    if (mUpdating) return;
    mUpdating = true;
    RCPtr<LControl> self(this);
    const bool shown[2] = {ShowsBar(0), ShowsBar(1)};
    const DoubleRect before = GetClientRect();
    const double w = before.width + (shown[1] ? Thickness(1) : 0.0);
    const double h = before.height + (shown[0] ? Thickness(0) : 0.0);
    UpdateAutoClientExtent();
    bool needV = mExtent.y > h;
    const bool needH = mExtent.x > w - (needV ? mBarThickness[1] : 0.0);
    if (needH && !needV) needV = mExtent.y > h - mBarThickness[0];
    SetScrollbarVisible(1, needV);
    SetScrollbarVisible(0, needH);
    UpdateScrollbars();
    for (int axis : {1, 0}) {
        if (ShowsBar(axis) != shown[axis]) OnScrollbarVisibilityChanged(axis);
    }
    if (!(GetClientRect() == before)) OnClientRectChanged();
    UpdateAutoClientExtent();
    mUpdating = false;
}

void LScrollView::SetScrollbarVisible(int axis, bool visible)
{
    if (!mBars[axis] || ShowsBar(axis) == visible) return;
    LControl* target = mCorner ? mCorner.Get() : mBars[axis].Get();
    const int sizeAxis = 1 - axis;
    LayoutRecord size{LayoutKind::kSelf, String(), 0.0f, visible ? mBarThickness[axis] : 0.0};
    target->SetLayoutSize(sizeAxis, size, target->GetLayout().limit[sizeAxis]);
}

void LScrollView::UpdateScrollbars()
{
    const DoubleRect client = GetClientRect();
    for (int axis = 0; axis < 2; ++axis) {
        LScrollbar* bar = mBars[axis].Get();
        if (!bar || !bar->GetParent()) continue;
        const double c = axis == 0 ? client.width : client.height;
        const double d = axis == 0 ? mExtent.x : mExtent.y;
        if (axis == 1 && mItemScrolling) {
            const int32_t e = static_cast<int32_t>(d / mItemSize);
            const int32_t f = static_cast<int32_t>(c / mItemSize);
            bar->lineStep = f < e ? 1.0 / (e - f) : 1.0;
            bar->pageStep = std::min(f * bar->lineStep, 1.0);
            bar->thumbFraction = f < e ? double(f) / e : 1.0;
            bar->UpdateThumb();
            (void)bar->SetValueRange(0.0, std::max(e - f, 0), 0);  // a linear range is always valid
            continue;
        }
        bar->thumbFraction = c < d ? c / d : 1.0;
        bar->pageStep = c < d ? std::clamp(c / (d - c), 0.0, 1.0) : 1.0;
        bar->lineStep = bar->pageStep / 10.0;
        bar->UpdateThumb();
        (void)bar->SetValueRange(0.0, std::max(d - c, 0.0), 0);  // a linear range is always valid
        const double offset = std::max(std::round((d - c) * bar->GetValue()), 0.0);
        DoublePoint scroll = GetScrollOffset();
        double& current = axis == 0 ? scroll.x : scroll.y;
        if (offset != current) {
            current = offset;
            SetScrollOffset(scroll);
        }
    }
}

QVResult LScrollView::OnScrollbarValueChange(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    for (int axis = 0; axis < 2; ++axis) {
        LScrollbar* bar = mBars[axis].Get();
        if (!bar || sender.Get() != static_cast<LNotificationDistributor*>(bar)) continue;
        const double v = bar->NormalizedToValue(bar->GetValue());
        const bool items = axis == 1 && mItemScrolling;
        const double place = items ? static_cast<double>(static_cast<int32_t>(v) * mItemSize) : std::round(v);
        DoublePoint scroll = GetScrollOffset();
        (axis == 0 ? scroll.x : scroll.y) = place;
        SetScrollOffset(scroll);
    }
    return 1;
}

LScrollbar* LScrollView::UsableBar(bool preferHorizontal) const
{
    const auto counts = [](const LScrollbar* bar) {
        return bar && bar->IsEffectivelyVisible(false) && bar->GetFrame().width > 0 && bar->GetFrame().height > 0;
    };
    const bool h = counts(mBars[0].Get());
    const bool v = counts(mBars[1].Get());
    if (h && v) return preferHorizontal ? mBars[0].Get() : mBars[1].Get();
    if (h) return mBars[0].Get();
    if (v) return mBars[1].Get();
    return nullptr;
}

QVResult LScrollView::OnMouseWheel(const RCPtr<LMouseWheelParam>& param)
{
    LScrollbar* bar = UsableBar(param && (param->GetModifiers() & LMouseWheelParam::kAlt));
    if (!bar || !param) return kNotHandled;
    double step = (param->GetModifiers() & LMouseWheelParam::kShift) ? bar->pageStep : bar->lineStep;
    if (param->GetDirection() != LMouseWheelParam::kDown) step = -step;
    bar->SetValue(bar->GetValue() + step);
    return S_OK;
}

QVResult LScrollView::OnScrollKey(const RCPtr<LMouseWheelParam>& param)
{
    LScrollbar* bar = UsableBar(true);
    if (!bar || !param) return kNotHandled;
    double step = (param->GetModifiers() & LMouseWheelParam::kShift) ? bar->pageStep : bar->lineStep;
    // Right moves forward, as down does on the wheel: the sideways tilt arrives
    // right as positive, so the bar's value grows.
    if (param->GetDirection() == LMouseWheelParam::kLeft) step = -step;
    bar->SetValue(bar->GetValue() + step);
    return S_OK;
}

bool LScrollView::OnChildChanged(LControl* child)
{
    if (!mUpdating && !mOffsetChangePending && !mBoundsChangePending && child) {
        UpdateAutoClientExtent();
        if (child->IsDockedBoth() && mAutoExtent == 0) LayoutScrollbars();
    }
    return LControl::OnChildChanged(child);
}

void LScrollView::OnChildRemoved(LControl* child, uint32_t formerIndex)
{
    if (GetRootWindow()) UpdateAutoClientExtent();
    LControl::OnChildRemoved(child, formerIndex);
}

void LScrollView::BeginBoundsChange()
{
    mBoundsChangePending = true;
    LControl::BeginBoundsChange();
}

void LScrollView::EndBoundsChange()
{
    LControl::EndBoundsChange();
    mBoundsChangePending = false;
    UpdateAutoClientExtent();
    LayoutScrollbars();
}

QVResult LScrollView::SetScrollOffset(const DoublePoint& offset)
{
    mOffsetChangePending = true;
    const QVResult result = LControl::SetScrollOffset(offset);
    mOffsetChangePending = false;
    return result;
}

DoubleRect LScrollView::GetScrollRange(LControl*)
{
    const DoubleRect client = GetClientRect();
    const double x = mExtent.x > 0 ? std::max(mExtent.x - client.width, 0.0) : kMaxExactDouble;
    const double y = mExtent.y > 0 ? std::max(mExtent.y - client.height, 0.0) : kMaxExactDouble;
    return {0.0, 0.0, x, y};
}

DoublePoint LScrollView::GetMaximumSize() const
{
    const DoublePoint children = GetChildrenExtent();
    const ControlLayout& layout = GetLayout();
    const auto axisMax = [&](int axis) {
        return layout.limit[axis].kind == LayoutKind::kSibling ? (axis == 0 ? children.x : children.y)
                                                               : layout.limit[axis].offset;
    };
    return {axisMax(0), axisMax(1)};
}

}  // namespace QV
