#include "LSplitter.h"

#include "SplitterLimits.h"

namespace QV {

LSplitterBase::LSplitterBase(LControl* parent, const String& name, int32_t orientation)
    : LControl(parent, name), mOrientation(orientation)
{}

void LSplitterBase::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    if (!conditions) return;
    const uint32_t held = Condition::kLeftPressed | Condition::kLeftDragging;
    if ((conditions->newConditions & held) && !(conditions->oldConditions & held)) {
        const int axis = Axis();
        mPressOffset = (axis == 0 ? conditions->pressX - GetFrame().x : conditions->pressY - GetFrame().y);
        SetDragMode(DragMode::kMove, axis == 0 ? DragAxis::kX : DragAxis::kY);
    }
}

void LSplitterBase::GetMoveLimits(DoubleRect& limits)
{
    LControl* parent = GetParent();
    if (!parent) return;
    const auto siblings = parent->GetChildren().Snapshot(ChildControlList::kInsertion);
    size_t self = siblings.size();
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].Get() == this) self = i;
    }
    if (self == 0 || self + 1 >= siblings.size()) return;
    const int axis = Axis();
    const auto start = [axis](const LControl& c) { return axis == 0 ? c.GetFrame().x : c.GetFrame().y; };
    const auto extent = [axis](const LControl& c) { return axis == 0 ? c.GetFrame().width : c.GetFrame().height; };
    const LControl& before = *siblings[self - 1];
    const LControl& after = *siblings[self + 1];
    SplitterSpan span;
    span.beforeStart = start(before);
    span.beforeMinimum = before.GetLayout().size[axis].offset;
    span.afterEnd = start(after) + extent(after);
    span.afterMinimum = after.GetLayout().size[axis].offset;
    span.position = start(*this);
    span.thickness = extent(*this);
    span.pressOffset = mPressOffset;
    limits = SplitterMoveLimits(axis, limits, span);
}

}  // namespace QV
