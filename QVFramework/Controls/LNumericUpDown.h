#pragma once
// A number field ("Framework.NumericUpDown") with a step button above and
// one below. Children: "textBox", "buttonUp", "buttonDown". The buttons
// repeat while held; Up/Down keys and the wheel step too; typed text counts
// once validated (Enter or focus loss). Whole numbers only, within the range.
#include "LButton.h"
#include "LPanel.h"
#include "LTextBox.h"
#include "OwnHandler.h"

namespace QV {

class LNumericUpDown : public LPanel {
    QV_TYPE_NAME("class QV::LNumericUpDown")
public:
    LNumericUpDown(LControl* parent, const String& name);
    ~LNumericUpDown() override;

    [[nodiscard]] QVResult SetText(const String& text) override;
    void OnValueChanged() override;
    [[nodiscard]] QVResult SetValueRange(double minimum, double maximum, int32_t scale) override;
    void HandleKey(const RCPtr<LKeyParam>& key) override;
    [[nodiscard]] QVResult OnMouseWheel(const RCPtr<LMouseWheelParam>& param) override;
    [[nodiscard]] QVResult Initialize() override;
    QVResult OnInitialized() override;

    // The value in range units.
    double GetNumber() const { return NormalizedToValue(GetValue()); }
    void SetNumber(double number);
    double GetStep() const { return mStep; }
    int32_t GetDecimals() const { return mDecimals; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    RCPtr<LNotificationHandler<LNumericUpDown>> mUpDownHandler;
    RCPtr<LTextBox> mTextBox;
    RCPtr<LButton> mButtonUp;
    RCPtr<LButton> mButtonDown;
    int32_t mReserved = 0;
    double mStep = 1.0;
    int32_t mDecimals = 0;

private:
    [[nodiscard]] QVResult OnStep(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnValidated(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    void ShowNumber();

    double mMinimum = 0.0;
    double mMaximum = 1.0;
};

}  // namespace QV
