#include "LNumericUpDown.h"

#include <algorithm>
#include <cmath>

#include "KeyCode.h"
#include "UpDownText.h"

namespace QV {

LNumericUpDown::LNumericUpDown(LControl* parent, const String& name) : LPanel(parent, name) {}

LNumericUpDown::~LNumericUpDown() = default;

QV_OWN_HANDLER_DEFINITIONS(LNumericUpDown, LPanel, mUpDownHandler)

QVResult LNumericUpDown::Initialize()
{
    const QVResult r = LPanel::Initialize();
    mUpDownHandler = new LNotificationHandler<LNumericUpDown>(this);
    mTextBox = RCPtr<LTextBox>::DynamicCast(FindChildControl(u"textBox"));
    mButtonUp = RCPtr<LButton>::DynamicCast(FindChildControl(u"buttonUp"));
    mButtonDown = RCPtr<LButton>::DynamicCast(FindChildControl(u"buttonDown"));
    for (const RCPtr<LButton>& button : {mButtonUp, mButtonDown}) {
        if (!button) continue;
        button->SetAutoRepeat(true);
        (void)mUpDownHandler->RegisterHandler(&LNumericUpDown::OnStep, RCPtr<LNotificationDistributor>(button.Get()),
                                              u"NID_BUTTON_AUTOREPEAT");
    }
    if (mTextBox) {
        mTextBox->SetCharacterFilter(UpDownAllowedCharacters(mMinimum), true);
        (void)mUpDownHandler->RegisterHandler(
            &LNumericUpDown::OnValidated, RCPtr<LNotificationDistributor>(mTextBox.Get()), u"NID_TEXTBOX_VALIDATED");
    }
    return r;
}

QVResult LNumericUpDown::OnInitialized()
{
    const QVResult r = LPanel::OnInitialized();
    ShowNumber();
    return r;
}

QVResult LNumericUpDown::SetValueRange(double minimum, double maximum, int32_t scale)
{
    mMinimum = std::min(minimum, maximum);
    mMaximum = std::max(minimum, maximum);
    const QVResult r = LPanel::SetValueRange(minimum, maximum, scale);
    if (mTextBox) mTextBox->SetCharacterFilter(UpDownAllowedCharacters(mMinimum), true);
    ShowNumber();
    return r;
}

void LNumericUpDown::SetNumber(double number)
{
    SetValue(ValueToNormalized(std::clamp(number, mMinimum, mMaximum)));
}

QVResult LNumericUpDown::SetText(const String& text)
{
    const std::optional<double> number = ParseUpDownText(text, mMinimum, mMaximum);
    if (!number) {
        // Refused text gives way to the value that stands.
        ShowNumber();
        return E_INVALIDARG;
    }
    SetNumber(*number);
    ShowNumber();
    return S_OK;
}

void LNumericUpDown::OnValueChanged()
{
    LPanel::OnValueChanged();
    ShowNumber();
}

void LNumericUpDown::ShowNumber()
{
    if (mTextBox) mTextBox->SetText(FormatUpDownValue(std::round(GetNumber()), mDecimals));
}

QVResult LNumericUpDown::OnStep(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    const double step = sender.Get() == static_cast<LNotificationDistributor*>(mButtonUp.Get()) ? mStep : -mStep;
    SetNumber(std::round(GetNumber()) + step);
    return S_OK;
}

QVResult LNumericUpDown::OnValidated(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    if (mTextBox) (void)SetText(mTextBox->GetText());  // refused text gives way to the value that stands
    return S_OK;
}

void LNumericUpDown::HandleKey(const RCPtr<LKeyParam>& key)
{
    const uint32_t flags = key ? key->code.code : 0;
    if (flags == KeyCode::Pressed(Keys::kUp) || flags == KeyCode::Pressed(Keys::kDown)) {
        SetNumber(std::round(GetNumber()) + (flags == KeyCode::Pressed(Keys::kUp) ? mStep : -mStep));
        return;
    }
    LPanel::HandleKey(key);
}

QVResult LNumericUpDown::OnMouseWheel(const RCPtr<LMouseWheelParam>& param)
{
    if (!param) return kNotHandled;
    SetNumber(std::round(GetNumber()) + (param->IsUpOrRight() ? mStep : -mStep));
    return S_OK;
}

}  // namespace QV
