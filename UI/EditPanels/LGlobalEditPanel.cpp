#include "LGlobalEditPanel.h"

namespace {

const FieldRow kFields[] = {
    {{{u"midiChannel", 27}, {u"comboBox", 29}}, FieldKind::kComboBox, 0, 1.0, 0, 0, 30},
};
const PanelTable kTable{"LGlobalEditPanel", "UI\\GlobalEditPanel", 1, kFields, {}};

}  // namespace

LGlobalEditPanel::LGlobalEditPanel(QV::LControl* parent, const QV::String& name) : LEditPanel(parent, name, kTable) {}

bool LGlobalEditPanel::AcceptsBytes(const uint8_t* bytes) const
{
    return bytes[0] >= 1 && bytes[0] <= 16;
}
