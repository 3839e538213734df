#pragma once
// The base of every control with a part that drops down over the window
// (combo box, checked combo box, combo slider, combo menu). It decides when
// the part opens and closes on presses and focus changes; what drops down
// and where belongs to the subclass. A press while open closes the part and
// leaves it closed. UI thread only.
#include "LControl.h"
#include "OwnHandler.h"

namespace QV {

class LDropDownControl : public LControl {
    QV_TYPE_NAME("class QV::LDropDownControl")
public:
    LDropDownControl(LControl* parent, const String& name);

    virtual bool IsDropDownOpen() const = 0;
    [[nodiscard]] virtual QVResult ShowDropDown(bool show) = 0;

    QVResult SetFocus(bool first) override;
    bool KillFocus() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    [[nodiscard]] QVResult Initialize() override;

    QV_OWN_HANDLER_OVERRIDES

protected:
    [[nodiscard]] QVResult OnOwnMouseDown(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LDropDownControl>> mDropDownHandler;
    // A focus change that closed the list eats the press that caused it,
    // so the same click does not reopen it.
    bool mClosedOnFocus = false;
    bool mIgnoreNextPress = false;
};

}  // namespace QV
