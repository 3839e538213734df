#include "LHardwareButtonEditPanel.h"

using namespace QV;

namespace {

constexpr uint32_t kChannelTypes = TypeBits({0, 1, 2, 3, 4, 5, 6});
constexpr uint32_t kProgramTypes = TypeBits({1, 2, 3});
constexpr uint32_t kCCTypes = TypeBits({4, 5, 6});

const FieldRow kFields[] = {
    {{{u"midiChannel", 30}, {u"comboBox", 31}}, FieldKind::kComboBox, 0, 0.0, 0, 0, 32, kChannelTypes},
    {{{u"mmcDeviceId", 34}, {u"numericUpDown", 35}},
     FieldKind::kNumericUpDown,
     0,
     0.0,
     0,
     127,
     36,
     TypeBits({LHardwareButtonEditPanel::kTypeMMC})},
    {{{u"program", 38}, {u"numericUpDown", 39}}, FieldKind::kNumericUpDown, 1, 0.0, 0, 127, 40, kProgramTypes},
    {{{u"programMax", 42}, {u"numericUpDown", 43}}, FieldKind::kNumericUpDown, 2, 0.0, 0, 127, 44, TypeBits({3})},
    {{{u"bankMsb", 46}, {u"numericUpDown", 47}}, FieldKind::kNumericUpDown, 3, 0.0, 0, 127, 48, kProgramTypes},
    {{{u"bankLsb", 50}, {u"numericUpDown", 51}}, FieldKind::kNumericUpDown, 4, 0.0, 0, 127, 52, kProgramTypes},
    {{{u"cc", 54}, {u"ccSelector", 55}, {u"numericUpDown", 56}},
     FieldKind::kNumericUpDown,
     5,
     0.0,
     0,
     127,
     57,
     kCCTypes},
    {{{u"minMax", 59}, {u"min", 60}, {u"numericUpDown", 61}}, FieldKind::kNumericUpDown, 6, 0.0, 0, 127, 62, kCCTypes},
    {{{u"minMax", 59}, {u"max", 64}, {u"numericUpDown", 65}}, FieldKind::kNumericUpDown, 7, 0.0, 0, 127, 66, kCCTypes},
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
        // The answer only says whether the text changed.
        (void)title->SetText(ControlString(*title, ItemId(type * 2 + buttonIndex).GetChars()));
    }
}
