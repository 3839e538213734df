#include "LListBoxItem.h"

#include <array>

#include "LLabel.h"

namespace QV {

namespace {

using Part = LListBoxItem::Part;

// The looks of one state. Columns: not selected, not selected marked, selected, selected marked.
constexpr std::array<int32_t, 4> Row(int32_t state, int32_t marked)
{
    return {state, marked, state + Part::kSelectedOffset, marked + Part::kSelectedOffset};
}

// The rows of kRowParts.
enum State { kNormalState, kHoverState, kPressedState, kDisabledState };

constexpr std::array<int32_t, 4> kRowParts[4] = {
    Row(Part::kNormal, Part::kNormal + Part::kMarkedOffset), Row(Part::kHover, Part::kHover + Part::kMarkedOffset),
    Row(Part::kPressed, Part::kPressed + Part::kMarkedOffset), Row(Part::kDisabled, Part::kDisabled)};
static_assert(kRowParts[3][3] == 13 && kRowParts[2][3] == 12 && kRowParts[0][1] == 3);

}  // namespace

LListBoxItem::LListBoxItem(LControl* parent, const String& name) : LControl(parent, name) {}

QVResult LListBoxItem::OnInitialized()
{
    SetNotFocusable(true);
    return S_OK;
}

String LListBoxItem::GetToolTipText() const
{
    return ClippedTextToolTip(*this);
}

int32_t LListBoxItem::ChooseVisualPart() const
{
    if (mSeparator) return kSeparator;
    const uint32_t c = GetConditions();
    const bool active = (c & (Condition::kHover | Condition::kActive)) != 0;
    const bool captured = (c & Condition::kCaptured) != 0;
    const bool dragging = (c & Condition::kLeftDragging) != 0;
    State state = kNormalState;
    if (!IsEnabledInTree(true)) {
        state = kDisabledState;
    } else if (captured && dragging && active) {
        state = kPressedState;
    } else if ((active && !captured) || (captured && dragging && !active)) {
        state = kHoverState;
    }
    const int column = (GetValue() >= 0.5 ? 2 : 0) + (mMarked ? 1 : 0);
    return kRowParts[state][column];
}

void LListBoxItem::RefreshLook()
{
    ShowPart(ChooseVisualPart(), true);
    InvalidateArea();
}

void LListBoxItem::SetMarked(bool on)
{
    mMarked = on ? 1 : 0;
    RefreshLook();
}

void LListBoxItem::SetSeparator(bool on)
{
    if ((mSeparator != 0) == on) return;
    mSeparator = on ? 1 : 0;
    if (on) SetText(String());
    RefreshLook();
}

}  // namespace QV
