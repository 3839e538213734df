#pragma once
// A control that opens a list or panel below itself.
#include "LControl.h"
#include "OwnHandler.h"

namespace QV {

class LDropDownControl : public LControl {
    QV_TYPE_NAME("class QV::LDropDownControl")
public:
    LDropDownControl(LControl* parent, const String& name);

    virtual bool IsDropDownOpen() const = 0;
    virtual QVResult ShowDropDown(bool show) = 0;

    QV_OWN_HANDLER_OVERRIDES

protected:
    RCPtr<LNotificationHandler<LDropDownControl>> mDropDownHandler;
    // A focus change that closed the list eats the press that caused it,
    // so the same click does not reopen it.
    bool mClosedOnFocus = false;
    bool mIgnoreNextPress = false;
};

}  // namespace QV
