#include "LKeybedEditPanel.h"

namespace {

enum Field { kOctave, kTranspose, kVelocityCurve };

const FieldRow kFields[] = {
    {.path = {{.name = u"octave", .messageLine = 31},
              {.name = u"numericUpDown", .messageLine = 33, .spacedCannot = true}},
     .kind = FieldKind::kNumericUpDown, .byte = 1, .offset = 2.0, .minimum = -2, .maximum = 2, .messageLine = 34},
    {.path = {{.name = u"transpose", .messageLine = 39},
              {.name = u"numericUpDown", .messageLine = 41, .spacedCannot = true}},
     .kind = FieldKind::kNumericUpDown, .byte = 2, .offset = 12.0, .minimum = -12, .maximum = 12, .messageLine = 42},
    {.path = {{.name = u"velocityCurve", .messageLine = 47},
              {.name = u"comboBox", .messageLine = 49, .spacedCannot = true}},
     .kind = FieldKind::kComboBox, .byte = 0, .messageLine = 50},
};
const int32_t kApplyOrder[] = {kVelocityCurve, kOctave, kTranspose};
const PanelTable kTable{"LKeybedEditPanel", "UI\\KeybedPanel", 3, kFields, kApplyOrder};

}  // namespace

LKeybedEditPanel::LKeybedEditPanel(QV::LControl* parent, const QV::String& name) : LEditPanel(parent, name, kTable) {}
