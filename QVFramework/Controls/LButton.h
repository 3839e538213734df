#pragma once
// Push, toggle and radio button in one class; its value (0 or 1) is its
// checked state. Can repeat while held and be clicked with a short flash.
// UI thread only; times come from the application's elapsed-time clock.
#include "LControl.h"
#include "OwnHandler.h"

namespace QV {

class LButton : public LControl {
    QV_TYPE_NAME("class QV::LButton")
public:
    static constexpr double kRepeatInterval = 0.1;
    static constexpr double kInitialRepeatDelay = 0.3;
    static constexpr double kFlashDuration = 0.15;

    // Look indices: a state, plus kFocusedOffset when focused (not when
    // disabled) and kCheckedOffset when checked.
    enum Part : int32_t { kNormal = 0, kHover = 1, kPressed = 2, kFocusedOffset = 3, kDisabled = 6, kCheckedOffset = 7 };

    LButton(LControl* parent, const String& name);
    ~LButton() override;

    void OnValueChanged() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    void SetEnabled(bool enabled) override;
    void OnLeftClick(const RCPtr<LMouseButtonParam>& param) override;
    [[nodiscard]] QVResult OnKeyDown(const RCPtr<LKeyParam>& key) override;
    void OnTimer() override;
    [[nodiscard]] QVResult Initialize() override;

    virtual QVResult SetAutoValueSet(bool on);
    virtual QVResult SetIsRadio(bool on);
    // Whether the button is checked afterwards.
    virtual bool SetChecked(bool checked);
    virtual QVResult ChooseVisualPart();
    void SimulateClick();

    bool IsChecked() const { return GetValue() >= 0.5; }
    bool IsAutoValueSet() const { return mAutoValueSet; }
    bool IsRadio() const { return mIsRadio; }
    bool IsRepeating() const { return mRepeating; }
    bool IsFlashActive() const { return mFlashActive; }
    // Set by the owning control on its step buttons.
    void SetAutoRepeat(bool on) { mAutoRepeat = on; }
    bool IsAutoRepeat() const { return mAutoRepeat; }
    // Set by the owning control on a thumb: pressed stays pressed off the button.
    void SetKeepPressedLook(bool on) { mKeepPressedLook = on; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    [[nodiscard]] QVResult OnSimulateClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LButton>> mButtonHandler;
    bool mAutoValueSet = false;
    bool mIsRadio = false;
    bool mAutoRepeat = false;
    bool mRepeating = false;
    double mRepeatInterval = kRepeatInterval;
    double mInitialRepeatDelay = kInitialRepeatDelay;
    double mLastRepeatTime = 0.0;
    double mTimeToRepeat = 0.0;
    double mFlashDuration = kFlashDuration;
    double mFlashStart = 0.0;
    bool mFlashActive = false;
    bool mKeepPressedLook = false;

private:
    void ClickNow();
    void SendAutoRepeat();
};

}  // namespace QV
