#include "LLabel.h"

namespace QV {

LLabel::LLabel(LControl* parent, const String& name) : LControl(parent, name) {}

QVResult LLabel::OnInitialized()
{
    SetNotFocusable(true);
    return S_OK;
}

String LLabel::GetToolTipText() const
{
    return ClippedTextToolTip(*this);
}

String ClippedTextToolTip(const LControl& control)
{
    return control.IsTextClipped() ? control.GetText() : control.LControl::GetToolTipText();
}

}  // namespace QV
