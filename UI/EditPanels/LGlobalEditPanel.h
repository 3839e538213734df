#pragma once
// The keyboard's global MIDI channel ("ZiroruVovizu.GlobalChannel"): one
// byte, the channel 1..16, shown as the selection index + 1.
#include "LEditPanel.h"
#include "PartInterfaces.h"

class LGlobalEditPanel : public LEditPanel<LGlobalEditPanel, IGlobalChannel> {
    QV_TYPE_NAME("class LGlobalEditPanel")
public:
    LGlobalEditPanel(QV::LControl* parent, const QV::String& name);

protected:
    // A channel outside 1..16 has no item: refused, the selection stays.
    bool AcceptsBytes(const uint8_t* bytes) const override;
};
