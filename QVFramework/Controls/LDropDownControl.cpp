#include "LDropDownControl.h"

namespace QV {

LDropDownControl::LDropDownControl(LControl* parent, const String& name) : LControl(parent, name) {}

QVResult LDropDownControl::Initialize()
{
    const QVResult r = LControl::Initialize();
    mDropDownHandler = new LNotificationHandler<LDropDownControl>(this);
    (void)mDropDownHandler->RegisterHandler(&LDropDownControl::OnOwnMouseDown, RCPtr<LNotificationDistributor>(this),
                                            u"NID_MOUSE_DOWN");
    return r;
}

QVResult LDropDownControl::OnOwnMouseDown(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    if (mClosedOnFocus) mIgnoreNextPress = true;
    return S_OK;
}

QVResult LDropDownControl::SetFocus(bool first)
{
    const QVResult r = LControl::SetFocus(first);
    if (IsDropDownOpen()) {
        (void)ShowDropDown(false);  // closing fails only when there is nothing to close
        mClosedOnFocus = true;
    } else {
        mClosedOnFocus = false;
    }
    return r;
}

bool LDropDownControl::KillFocus()
{
    (void)ShowDropDown(false);  // closing fails only when there is nothing to close
    return LControl::KillFocus();
}

void LDropDownControl::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    if (!conditions) return;
    const bool pressNow = (conditions->newConditions & Condition::kLeftPressed) != 0;
    const bool pressBefore = (conditions->oldConditions & Condition::kLeftPressed) != 0;
    if (!pressNow || pressBefore) return;
    if (mIgnoreNextPress) {
        mIgnoreNextPress = false;
        return;
    }
    (void)ShowDropDown(true);  // a list that cannot open leaves the control as it was
}

QV_OWN_HANDLER_DEFINITIONS(LDropDownControl, LControl, mDropDownHandler)

}  // namespace QV
