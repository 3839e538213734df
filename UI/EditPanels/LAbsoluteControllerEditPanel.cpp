#include "LAbsoluteControllerEditPanel.h"

using namespace QV;

namespace {

enum Field { kMinimum, kMaximum, kCC, kChannel, kType };
constexpr int32_t kTypeCC = 0;

const FieldRow kFields[] = {
    {.path = {{.name = u"minMax", .messageLine = 31},
              {.name = u"min", .messageLine = 33},
              {.name = u"numericUpDown", .messageLine = 35}},
     .kind = FieldKind::kNumericUpDown, .byte = 3, .messageLine = 36},
    {.path = {{.name = u"minMax", .messageLine = 31},
              {.name = u"max", .messageLine = 38},
              {.name = u"numericUpDown", .messageLine = 40}},
     .kind = FieldKind::kNumericUpDown, .byte = 4, .messageLine = 41},
    {.path = {{.name = u"cc", .messageLine = 43},
              {.name = u"ccSelector", .messageLine = 45},
              {.name = u"numericUpDown", .messageLine = 47}},
     .kind = FieldKind::kNumericUpDown, .byte = 2, .messageLine = 48},
    {.path = {{.name = u"midiChannel", .messageLine = 50}, {.name = u"comboBox", .messageLine = 52}},
     .kind = FieldKind::kComboBox, .byte = 0, .messageLine = 53},
    {.path = {{.name = u"type", .messageLine = 55}, {.name = u"comboBox", .messageLine = 57}},
     .kind = FieldKind::kComboBox, .byte = 1, .messageLine = 58},
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
