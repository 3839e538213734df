#include "LKeybedEditPanel.h"

namespace {

const FieldRow kFields[] = {
    {{{u"octave", 31}, {u"numericUpDown", 33, true}}, FieldKind::kNumericUpDown, 1, 2.0, -2, 2, 34},
    {{{u"transpose", 39}, {u"numericUpDown", 41, true}}, FieldKind::kNumericUpDown, 2, 12.0, -12, 12, 42},
    {{{u"velocityCurve", 47}, {u"comboBox", 49, true}}, FieldKind::kComboBox, 0, 0.0, 0, 0, 50},
};
const int32_t kApplyOrder[] = {2, 0, 1};
const PanelTable kTable{"LKeybedEditPanel", "UI\\KeybedPanel", 3, kFields, kApplyOrder};

}  // namespace

LKeybedEditPanel::LKeybedEditPanel(QV::LControl* parent, const QV::String& name) : LEditPanel(parent, name, kTable) {}
