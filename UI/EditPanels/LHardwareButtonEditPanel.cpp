#include "LHardwareButtonEditPanel.h"

using namespace QV;

namespace {

using enum HardwareButtonType;

constexpr uint32_t kProgramTypes = TypeBits({kProgram, kProgramLatch, kProgramIncDec});
constexpr uint32_t kCCTypes = TypeBits({kCCAbsolute, kCCLatch, kCCIncDec});
constexpr uint32_t kChannelTypes = TypeBits({kOctave}) | kProgramTypes | kCCTypes;

const FieldRow kFields[] = {
    {.path = {{.name = u"midiChannel", .messageLine = 30}, {.name = u"comboBox", .messageLine = 31}},
     .kind = FieldKind::kComboBox, .byte = 0, .messageLine = 32, .visibleTypes = kChannelTypes},
    {.path = {{.name = u"mmcDeviceId", .messageLine = 34}, {.name = u"numericUpDown", .messageLine = 35}},
     .kind = FieldKind::kNumericUpDown, .byte = 0, .messageLine = 36, .visibleTypes = TypeBits({kMMC})},
    {.path = {{.name = u"program", .messageLine = 38}, {.name = u"numericUpDown", .messageLine = 39}},
     .kind = FieldKind::kNumericUpDown, .byte = 1, .messageLine = 40, .visibleTypes = kProgramTypes},
    {.path = {{.name = u"programMax", .messageLine = 42}, {.name = u"numericUpDown", .messageLine = 43}},
     .kind = FieldKind::kNumericUpDown, .byte = 2, .messageLine = 44, .visibleTypes = TypeBits({kProgramIncDec})},
    {.path = {{.name = u"bankMsb", .messageLine = 46}, {.name = u"numericUpDown", .messageLine = 47}},
     .kind = FieldKind::kNumericUpDown, .byte = 3, .messageLine = 48, .visibleTypes = kProgramTypes},
    {.path = {{.name = u"bankLsb", .messageLine = 50}, {.name = u"numericUpDown", .messageLine = 51}},
     .kind = FieldKind::kNumericUpDown, .byte = 4, .messageLine = 52, .visibleTypes = kProgramTypes},
    {.path = {{.name = u"cc", .messageLine = 54},
              {.name = u"ccSelector", .messageLine = 55},
              {.name = u"numericUpDown", .messageLine = 56}},
     .kind = FieldKind::kNumericUpDown, .byte = 5, .messageLine = 57, .visibleTypes = kCCTypes},
    {.path = {{.name = u"minMax", .messageLine = 59},
              {.name = u"min", .messageLine = 60},
              {.name = u"numericUpDown", .messageLine = 61}},
     .kind = FieldKind::kNumericUpDown, .byte = 6, .messageLine = 62, .visibleTypes = kCCTypes},
    {.path = {{.name = u"minMax", .messageLine = 59},
              {.name = u"max", .messageLine = 64},
              {.name = u"numericUpDown", .messageLine = 65}},
     .kind = FieldKind::kNumericUpDown, .byte = 7, .messageLine = 66, .visibleTypes = kCCTypes},
};
const PanelTable kTable{"LHardwareButtonEditPanel", "UI\\HardwareButtonEditPanel", 8, kFields, {}};

}  // namespace

LHardwareButtonEditPanel::LHardwareButtonEditPanel(LControl* parent, const String& name)
    : LEditPanel(parent, name, kTable)
{}

void LHardwareButtonEditPanel::SetButtonType(int32_t type, int32_t buttonIndex)
{
    mButtonType = type;
    Fields().ShowForType(*this, type);
    if (RCPtr<LControl> title = FindChildControl(u"controlNameLabel")) {
        title->SetText(ControlString(*title, ItemId(type * 2 + buttonIndex).GetChars()));
    }
}
