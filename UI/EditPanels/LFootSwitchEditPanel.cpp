#include "LFootSwitchEditPanel.h"

using namespace QV;

namespace {

using enum FootSwitchType;

constexpr int32_t kTypeField = 0;
constexpr uint32_t kNoteTypes = TypeBits({kNote, kNoteLatch});
constexpr uint32_t kProgramStepTypes = TypeBits({kProgramInc, kProgramDec});
constexpr uint32_t kProgramTypes = TypeBits({kProgram, kProgramLatch}) | kProgramStepTypes;
constexpr uint32_t kCCTypes = TypeBits({kCCAbsolute, kCCLatch, kCCInc, kCCDec});
constexpr uint32_t kMMCTypes = TypeBits({kMMC});

const FieldRow kFields[] = {
    {.path = {{.name = u"type", .messageLine = 28}, {.name = u"comboBox", .messageLine = 29}},
     .kind = FieldKind::kComboBox, .byte = 1, .messageLine = 30},
    {.path = {{.name = u"midiChannel", .messageLine = 32}, {.name = u"comboBox", .messageLine = 33}},
     .kind = FieldKind::kComboBox, .byte = 0, .messageLine = 34, .visibleTypes = kNoteTypes | kProgramTypes | kCCTypes},
    {.path = {{.name = u"mmcDeviceId", .messageLine = 36}, {.name = u"numericUpDown", .messageLine = 37}},
     .kind = FieldKind::kNumericUpDown, .byte = 0, .messageLine = 38, .visibleTypes = kMMCTypes},
    {.path = {{.name = u"note", .messageLine = 40}, {.name = u"noteSelector", .messageLine = 41}},
     .kind = FieldKind::kNoteSelector, .byte = 2, .messageLine = 42, .visibleTypes = kNoteTypes},
    {.path = {{.name = u"velocityOn", .messageLine = 44}, {.name = u"numericUpDown", .messageLine = 45}},
     .kind = FieldKind::kNumericUpDown, .byte = 3, .messageLine = 46, .visibleTypes = kNoteTypes},
    {.path = {{.name = u"velocityOff", .messageLine = 48}, {.name = u"numericUpDown", .messageLine = 49}},
     .kind = FieldKind::kNumericUpDown, .byte = 4, .messageLine = 50, .visibleTypes = kNoteTypes},
    {.path = {{.name = u"program", .messageLine = 52}, {.name = u"numericUpDown", .messageLine = 53}},
     .kind = FieldKind::kNumericUpDown, .byte = 5, .messageLine = 54, .visibleTypes = kProgramTypes},
    {.path = {{.name = u"programMax", .messageLine = 56}, {.name = u"numericUpDown", .messageLine = 57}},
     .kind = FieldKind::kNumericUpDown, .byte = 6, .messageLine = 58, .visibleTypes = kProgramStepTypes},
    {.path = {{.name = u"bankMsb", .messageLine = 60}, {.name = u"numericUpDown", .messageLine = 61}},
     .kind = FieldKind::kNumericUpDown, .byte = 7, .messageLine = 62, .visibleTypes = kProgramTypes},
    {.path = {{.name = u"bankLsb", .messageLine = 64}, {.name = u"numericUpDown", .messageLine = 65}},
     .kind = FieldKind::kNumericUpDown, .byte = 8, .messageLine = 66, .visibleTypes = kProgramTypes},
    {.path = {{.name = u"cc", .messageLine = 68},
              {.name = u"ccSelector", .messageLine = 69},
              {.name = u"numericUpDown", .messageLine = 70}},
     .kind = FieldKind::kNumericUpDown, .byte = 9, .messageLine = 71, .visibleTypes = kCCTypes},
    {.path = {{.name = u"minMax", .messageLine = 73},
              {.name = u"min", .messageLine = 74},
              {.name = u"numericUpDown", .messageLine = 75}},
     .kind = FieldKind::kNumericUpDown, .byte = 10, .messageLine = 76, .visibleTypes = kCCTypes},
    {.path = {{.name = u"minMax", .messageLine = 73},
              {.name = u"max", .messageLine = 78},
              {.name = u"numericUpDown", .messageLine = 79}},
     .kind = FieldKind::kNumericUpDown, .byte = 11, .messageLine = 80, .visibleTypes = kCCTypes},
    {.path = {{.name = u"mmcCommand", .messageLine = 82}, {.name = u"comboBox", .messageLine = 83}},
     .kind = FieldKind::kComboBox, .byte = 12, .messageLine = 84, .visibleTypes = kMMCTypes},
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
    return bytes[1] < kFootSwitchTypeCount;
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
