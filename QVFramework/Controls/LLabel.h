#pragma once
// A line of text that never takes the focus; its tool tip shows the whole
// text when the text does not fit.
#include "LControl.h"

namespace QV {

class LLabel : public LControl {
    QV_TYPE_NAME("class QV::LLabel")
public:
    LLabel(LControl* parent, const String& name);

    QVResult OnInitialized() override;
    String GetToolTipText() const override;
};

// The label's rule, shared with the list rows that draw like labels.
String ClippedTextToolTip(const LControl& control);

}  // namespace QV
