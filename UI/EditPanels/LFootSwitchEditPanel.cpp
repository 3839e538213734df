#include "LFootSwitchEditPanel.h"

using namespace QV;

namespace {

constexpr int32_t kTypeField = 0;
constexpr uint32_t kNoteTypes = TypeBits({0, 1});
constexpr uint32_t kProgramTypes = TypeBits({2, 3, 4, 5});
constexpr uint32_t kCCTypes = TypeBits({6, 7, 8, 9});
constexpr uint32_t kMMCTypes = TypeBits({LFootSwitchEditPanel::kTypeMMC});

const FieldRow kFields[] = {
    {{{u"type", 28}, {u"comboBox", 29}}, FieldKind::kComboBox, 1, 0.0, 0, 0, 30},
    {{{u"midiChannel", 32}, {u"comboBox", 33}},
     FieldKind::kComboBox,
     0,
     0.0,
     0,
     0,
     34,
     kNoteTypes | kProgramTypes | kCCTypes},
    {{{u"mmcDeviceId", 36}, {u"numericUpDown", 37}}, FieldKind::kNumericUpDown, 0, 0.0, 0, 127, 38, kMMCTypes},
    {{{u"note", 40}, {u"noteSelector", 41}}, FieldKind::kNoteSelector, 2, 0.0, 0, 127, 42, kNoteTypes},
    {{{u"velocityOn", 44}, {u"numericUpDown", 45}}, FieldKind::kNumericUpDown, 3, 0.0, 0, 127, 46, kNoteTypes},
    {{{u"velocityOff", 48}, {u"numericUpDown", 49}}, FieldKind::kNumericUpDown, 4, 0.0, 0, 127, 50, kNoteTypes},
    {{{u"program", 52}, {u"numericUpDown", 53}}, FieldKind::kNumericUpDown, 5, 0.0, 0, 127, 54, kProgramTypes},
    {{{u"programMax", 56}, {u"numericUpDown", 57}}, FieldKind::kNumericUpDown, 6, 0.0, 0, 127, 58, TypeBits({4, 5})},
    {{{u"bankMsb", 60}, {u"numericUpDown", 61}}, FieldKind::kNumericUpDown, 7, 0.0, 0, 127, 62, kProgramTypes},
    {{{u"bankLsb", 64}, {u"numericUpDown", 65}}, FieldKind::kNumericUpDown, 8, 0.0, 0, 127, 66, kProgramTypes},
    {{{u"cc", 68}, {u"ccSelector", 69}, {u"numericUpDown", 70}},
     FieldKind::kNumericUpDown,
     9,
     0.0,
     0,
     127,
     71,
     kCCTypes},
    {{{u"minMax", 73}, {u"min", 74}, {u"numericUpDown", 75}}, FieldKind::kNumericUpDown, 10, 0.0, 0, 127, 76, kCCTypes},
    {{{u"minMax", 73}, {u"max", 78}, {u"numericUpDown", 79}}, FieldKind::kNumericUpDown, 11, 0.0, 0, 127, 80, kCCTypes},
    {{{u"mmcCommand", 82}, {u"comboBox", 83}}, FieldKind::kComboBox, 12, 0.0, 0, 0, 84, kMMCTypes},
};
const PanelTable kTable{"LFootSwitchEditPanel", "UI\\FootSwitchEditPanel", 13, kFields, {}};

}  // namespace

LFootSwitchEditPanel::LFootSwitchEditPanel(LControl* parent, const String& name) : LEditPanel(parent, name, kTable) {}

void LFootSwitchEditPanel::InitializeParts()
{
    Fields().ShowForType(*this, CurrentType());
}

bool LFootSwitchEditPanel::AcceptsBytes(const uint8_t* bytes) const
{
    return bytes[1] < kTypeCount;
}

int32_t LFootSwitchEditPanel::CurrentType() const
{
    return EditPanelFields::ValueOf(*Field(kTypeField), FieldKind::kComboBox);
}

void LFootSwitchEditPanel::ApplyBytes(const uint8_t* bytes)
{
    // The type first: it decides where byte 0 goes.
    EditPanelFields::SetValueOf(*Field(kTypeField), FieldKind::kComboBox, bytes[1]);
    Fields().Write(bytes, bytes[1]);
}

QVResult LFootSwitchEditPanel::AfterApply()
{
    Fields().ShowForType(*this, CurrentType());
    return S_OK;
}

void LFootSwitchEditPanel::BeforeSend(LNotificationDistributor* sender)
{
    if (sender == static_cast<LNotificationDistributor*>(Field(kTypeField))) Fields().ShowForType(*this, CurrentType());
}
