#include "LPitchWheelEditPanel.h"

namespace {

const FieldRow kFields[] = {
    {{{u"midiChannel", 27}, {u"comboBox", 29}}, FieldKind::kComboBox, 0, 0.0, 0, 0, 30},
    {{{u"minMax", 33}, {u"min", 35}, {u"numericUpDown", 37}}, FieldKind::kNumericUpDown, 1, 0.0, 0, 127, 38},
    {{{u"minMax", 33}, {u"max", 40}, {u"numericUpDown", 42}}, FieldKind::kNumericUpDown, 2, 0.0, 0, 127, 43},
};
const PanelTable kTable{"LPitchWheelEditPanel", "UI\\PitchWheelEditPanel", 3, kFields, {}};

}  // namespace

LPitchWheelEditPanel::LPitchWheelEditPanel(QV::LControl* parent, const QV::String& name)
    : LEditPanel(parent, name, kTable)
{}
