#include "LGlobalEditPanel.h"

namespace {

const FieldRow kFields[] = {
    {.path = {{.name = u"midiChannel", .messageLine = 27}, {.name = u"comboBox", .messageLine = 29}},
     .kind = FieldKind::kComboBox, .byte = 0, .offset = 1.0, .messageLine = 30},
};
const PanelTable kTable{"LGlobalEditPanel", "UI\\GlobalEditPanel", 1, kFields, {}};

}  // namespace

LGlobalEditPanel::LGlobalEditPanel(QV::LControl* parent, const QV::String& name) : LEditPanel(parent, name, kTable) {}

bool LGlobalEditPanel::AcceptsBytes(const uint8_t* bytes) const
{
    return bytes[0] >= 1 && bytes[0] <= 16;
}
