#include "LNoteSelector.h"

#include <cmath>

using namespace QV;

LNoteSelector::LNoteSelector(LControl* parent, const String& name) : LNumberBoxTextSelector(parent, name) {}

void LNoteSelector::SetNoteOffset(int32_t offset)
{
    mNoteOffset = offset;
    UpdateText(GetNumber());
}

void LNoteSelector::UpdateText(int32_t number)
{
    const int32_t position = number - static_cast<int32_t>(std::lround(GetMinimum())) + mNoteOffset;
    if (position < 0) return;
    // The answers only say whether the texts changed.
    if (RCPtr<LControl> label = FindChildControl(u"noteNameLabel")) {
        label->SetText(ItemText(label, position % 12));
    }
    if (RCPtr<LControl> label = FindChildControl(u"octaveNameLabel")) {
        label->SetText(ItemText(label, position / 12));
    }
}
