#pragma once
// The base of every control with a part that drops down over the window
// (combo box, checked combo box, combo slider, combo menu). It decides when
// the part opens and closes on presses and focus changes; what drops down
// and where belongs to the subclass. A press while open closes the part and
// leaves it closed: taking the focus closes it, and the press that follows
// is then ignored. UI thread only.
#include "LControl.h"

namespace QV {

class LDropDownControl : public LControl {
    QV_TYPE_NAME("class QV::LDropDownControl")
public:
    LDropDownControl(LControl* parent, const String& name);

    virtual bool IsDropDownOpen() const = 0;
    virtual QVResult ShowDropDown(bool open) = 0;

    QVResult SetFocus(bool first) override;
    bool KillFocus() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    QVResult Initialize() override;

    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                    const char16_t* nameOrId) override;

private:
    QVResult OnOwnMouseDown(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LDropDownControl>> mDropDownHandler;
    bool mClosedByFocus = false;
    bool mIgnoreNextPress = false;
};

}  // namespace QV
