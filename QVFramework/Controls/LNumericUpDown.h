#pragma once
// A number field with a step button above and one below.
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
};

}  // namespace QV
