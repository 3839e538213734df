#include "LPitchWheelEditPanel.h"

namespace {

const FieldRow kFields[] = {
    {.path = {{.name = u"midiChannel", .messageLine = 27}, {.name = u"comboBox", .messageLine = 29}},
     .kind = FieldKind::kComboBox, .byte = 0, .messageLine = 30},
    {.path = {{.name = u"minMax", .messageLine = 33},
              {.name = u"min", .messageLine = 35},
              {.name = u"numericUpDown", .messageLine = 37}},
     .kind = FieldKind::kNumericUpDown, .byte = 1, .messageLine = 38},
    {.path = {{.name = u"minMax", .messageLine = 33},
              {.name = u"max", .messageLine = 40},
              {.name = u"numericUpDown", .messageLine = 42}},
     .kind = FieldKind::kNumericUpDown, .byte = 2, .messageLine = 43},
};
const PanelTable kTable{"LPitchWheelEditPanel", "UI\\PitchWheelEditPanel", 3, kFields, {}};

}  // namespace

LPitchWheelEditPanel::LPitchWheelEditPanel(QV::LControl* parent, const QV::String& name)
    : LEditPanel(parent, name, kTable)
{}
