#include "LAbsoluteControllerEditPanel.h"

using namespace QV;

namespace {

enum Field { kMinimum, kMaximum, kCC, kChannel, kType };
constexpr int32_t kTypeCC = 0;

const FieldRow kFields[] = {
    {{{u"minMax", 31}, {u"min", 33}, {u"numericUpDown", 35}}, FieldKind::kNumericUpDown, 3, 0.0, 0, 127, 36},
    {{{u"minMax", 31}, {u"max", 38}, {u"numericUpDown", 40}}, FieldKind::kNumericUpDown, 4, 0.0, 0, 127, 41},
    {{{u"cc", 43}, {u"ccSelector", 45}, {u"numericUpDown", 47}}, FieldKind::kNumericUpDown, 2, 0.0, 0, 127, 48},
    {{{u"midiChannel", 50}, {u"comboBox", 52}}, FieldKind::kComboBox, 0, 0.0, 0, 0, 53},
    {{{u"type", 55}, {u"comboBox", 57}}, FieldKind::kComboBox, 1, 0.0, 0, 0, 58},
};
const int32_t kApplyOrder[] = {kChannel, kMinimum, kMaximum, kCC, kType};
const PanelTable kTable{"LAbsoluteControllerEditPanel", "UI\\AbsoluteControllerEditPanel", 5, kFields, kApplyOrder};

}  // namespace

LAbsoluteControllerEditPanel::LAbsoluteControllerEditPanel(LControl* parent, const String& name)
    : LEditPanel(parent, name, kTable)
{}

QVResult LAbsoluteControllerEditPanel::AfterApply()
{
    ShowCCByType();
    return S_OK;
}

void LAbsoluteControllerEditPanel::BeforeSend(LNotificationDistributor* sender)
{
    // A type chosen here shows or hides the CC number at once: the keyboard does not echo it.
    if (sender == static_cast<LNotificationDistributor*>(Field(kType))) ShowCCByType();
}

void LAbsoluteControllerEditPanel::ShowCCByType()
{
    if (RCPtr<LControl> cc = FindChildControl(u"cc")) {
        cc->SetVisible(EditPanelFields::ValueOf(*Field(kType), FieldKind::kComboBox) == kTypeCC);
    }
}
