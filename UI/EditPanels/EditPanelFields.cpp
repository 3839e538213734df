#include "EditPanelFields.h"

#include <cmath>
#include <string>

#include "EditPanelSupport.h"
#include "Exception.h"
#include "LButton.h"
#include "LComboBox.h"
#include "LNoteSelector.h"
#include "LNumericUpDown.h"
#include "LTextBox.h"

using namespace QV;

namespace {

bool HasExpectedClass(const LControl& control, FieldKind kind)
{
    switch (kind) {
    case FieldKind::kComboBox: return dynamic_cast<const LComboBox*>(&control) != nullptr;
    case FieldKind::kNumericUpDown: return dynamic_cast<const LNumericUpDown*>(&control) != nullptr;
    case FieldKind::kNoteSelector: return dynamic_cast<const LNoteSelector*>(&control) != nullptr;
    case FieldKind::kNumberBox: return dynamic_cast<const LNumberBoxTextSelector*>(&control) != nullptr;
    case FieldKind::kButton: return dynamic_cast<const LButton*>(&control) != nullptr;
    }
    return false;
}

const char16_t* NotificationOf(FieldKind kind)
{
    return kind == FieldKind::kComboBox ? u"NID_SELECTION_CHANGE" : u"NID_VALUE_CHANGE";
}

// The text box that typing goes into: the up-down's own, or the one of the
// up-down inside a selector.
RCPtr<LTextBox> TextBoxOf(LControl& control)
{
    RCPtr<LControl> upDown(&control);
    if (!dynamic_cast<LNumericUpDown*>(&control)) upDown = control.FindChildControl(u"numericUpDown");
    return upDown ? RCPtr<LTextBox>::DynamicCast(upDown->FindChildControl(u"textBox")) : nullptr;
}

// A list the combo did not fill takes the texts "ITEM.nn" of the combo's
// table, and the combo its first choice, before anyone listens.
void FillItemsFromStrings(LComboBox& combo)
{
    RCPtr<LListBox> list = combo.GetListBox();
    if (!list || list->GetItemCount() > 0) return;
    std::vector<String> texts;
    for (int32_t index = 0;; ++index) {
        String text = ControlString(combo, ItemId(index).GetChars());
        if (text.IsEmpty()) break;
        texts.push_back(std::move(text));
    }
    (void)list->AppendItemsWithText(texts);  // the panel shows whatever the list took
    if (combo.GetSelectedIndex() < 0 && combo.GetInitialSelectedIndex() < list->GetItemCount())
        combo.SetSelectedIndex(combo.GetInitialSelectedIndex());
}

}  // namespace

void EditPanelFields::ThrowMissing(const ChildStep& step) const
{
    std::string text(kNullPointer);
    text += step.spacedCannot ? "Can not find child " : "Cannot find child ";
    text += step.shownName ? std::string(step.shownName) : String(step.name).ToUtf8();
    throw Exception<std::runtime_error>(FormatExceptionMessage(
        kRuntimeError, text, std::string(mTable.className) + "::Initialize", mTable.sourcePath, step.messageLine));
}

void EditPanelFields::ThrowFailedSubscription(QVResult result, int32_t line) const
{
    ThrowFailedResult(result, std::string(mTable.className) + "::Initialize", mTable.sourcePath, line);
}

RCPtr<LControl> EditPanelFields::FindPath(LControl& parent, std::span<const ChildStep> steps) const
{
    RCPtr<LControl> at(&parent);
    for (const ChildStep& step : steps) {
        at = at->FindChildControl(step.name);
        if (!at) ThrowMissing(step);
    }
    return at;
}

void EditPanelFields::FindAll(LControl& panel, const Subscribe& subscribe)
{
    mControls.clear();
    for (const FieldRow& field : mTable.fields) {
        RCPtr<LControl> control = FindPath(panel, field.path);
        if (!HasExpectedClass(*control, field.kind)) ThrowMissing(field.path.back());
        if (field.kind == FieldKind::kComboBox) FillItemsFromStrings(static_cast<LComboBox&>(*control));
        const QVResult subscribed = subscribe(*control, NotificationOf(field.kind));
        if (Failed(subscribed)) ThrowFailedSubscription(subscribed, field.messageLine);
        if (field.kind != FieldKind::kComboBox && field.kind != FieldKind::kButton) {
            (void)control->SetValueRange(field.minimum, field.maximum, 0);  // a linear range is always valid
            if (RCPtr<LTextBox> text = TextBoxOf(*control)) text->SetMaxLength(3);
        }
        if (field.kind == FieldKind::kNoteSelector) {
            static_cast<LNoteSelector&>(*control).SetNoteOffset(field.noteOffset);
        }
        mControls.push_back(control);
    }
}

int32_t EditPanelFields::ValueOf(const LControl& control, FieldKind kind)
{
    if (kind == FieldKind::kComboBox) return static_cast<const LComboBox&>(control).GetSelectedIndex();
    if (kind == FieldKind::kButton) return static_cast<int32_t>(std::lround(control.GetValue()));
    // A whole number goes through a float and back; rounding keeps 52 at 52.
    return static_cast<int32_t>(std::lround(control.NormalizedToValue(control.GetValue())));
}

void EditPanelFields::SetValueOf(LControl& control, FieldKind kind, int32_t value)
{
    if (kind == FieldKind::kComboBox) {
        static_cast<LComboBox&>(control).SetSelectedIndex(value);
    } else if (kind == FieldKind::kButton) {
        control.SetValue(value);
    } else {
        control.SetValue(control.ValueToNormalized(value));
    }
}

bool EditPanelFields::OwnsByte(size_t index, int32_t type) const
{
    const FieldRow& field = mTable.fields[index];
    if (field.visibleTypes == 0 || type < 0) return true;
    return (field.visibleTypes >> type) & 1u;
}

bool EditPanelFields::YieldsByte(size_t index, int32_t type) const
{
    if (OwnsByte(index, type)) return false;
    for (size_t other = 0; other < mTable.fields.size(); ++other) {
        if (other != index && mTable.fields[other].byte == mTable.fields[index].byte && OwnsByte(other, type))
            return true;
    }
    return false;
}

std::vector<uint8_t> EditPanelFields::Read(int32_t type) const
{
    std::vector<uint8_t> bytes(mTable.blobLength, 0);
    for (size_t i = 0; i < mControls.size(); ++i) {
        if (YieldsByte(i, type)) continue;
        const FieldRow& field = mTable.fields[i];
        const long value = std::lround(ValueOf(*mControls[i], field.kind) + field.offset);
        bytes[static_cast<size_t>(field.byte)] = static_cast<uint8_t>(value & 0xFF);
    }
    return bytes;
}

void EditPanelFields::Write(const uint8_t* bytes, int32_t type)
{
    auto write = [&](size_t i) {
        const FieldRow& field = mTable.fields[i];
        if (YieldsByte(i, type)) return;
        const auto signedByte = static_cast<int8_t>(bytes[field.byte]);
        SetValueOf(*mControls[i], field.kind, static_cast<int32_t>(std::lround(signedByte - field.offset)));
    };
    if (mTable.applyOrder.empty()) {
        for (size_t i = 0; i < mControls.size(); ++i) write(i);
    } else {
        for (int32_t i : mTable.applyOrder) write(static_cast<size_t>(i));
    }
}

void EditPanelFields::ShowForType(LControl& panel, int32_t type) const
{
    for (const FieldRow& field : mTable.fields) {
        if (field.visibleTypes == 0) continue;
        if (RCPtr<LControl> group = panel.FindChildControl(field.path.front().name)) {
            group->SetVisible(type >= 0 && ((field.visibleTypes >> type) & 1u));
        }
    }
}
