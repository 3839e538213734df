#pragma once
// The keybed ("ZiroruVovizu.KeybedEditPanel"): velocity curve, octave -2..2
// and transpose -12..12 in three bytes.
#include "LEditPanel.h"
#include "PartInterfaces.h"

class LKeybedEditPanel : public LEditPanel<LKeybedEditPanel, IKeybed> {
    QV_TYPE_NAME("class LKeybedEditPanel")
public:
    LKeybedEditPanel(QV::LControl* parent, const QV::String& name);
};
