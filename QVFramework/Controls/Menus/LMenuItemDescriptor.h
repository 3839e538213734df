#pragma once
// One menu entry: a label, a help text and the notification it stands for;
// a separator, or the opener of the submenu whose entries it holds.
#include "LMenuDescriptor.h"

namespace QV {

class LMenuItemDescriptor : public LMenuDescriptor {
    QV_TYPE_NAME("class QV::LMenuItemDescriptor")
public:
    LMenuItemDescriptor(const String& text, const String& key, bool enabled, bool checked, bool separator);

    String ToString() const override { return mText; }
    RCPtr<LMenuItemDescriptor> Clone() const;

    const String& GetText() const { return mText; }
    void SetText(const String& text) { mText = text; }
    const String& GetSecondText() const { return mSecondText; }
    void SetSecondText(const String& text) { mSecondText = text; }
    const String& GetHelpText() const { return mHelpText; }
    void SetHelpText(const String& text) { mHelpText = text; }
    const String& GetKey() const { return mKey; }
    bool IsEnabled() const { return mEnabled != 0; }
    void SetEnabled(bool on) { mEnabled = on ? 1 : 0; }
    bool IsChecked() const { return mChecked != 0; }
    void SetChecked(bool on) { mChecked = on ? 1 : 0; }
    bool IsSeparator() const { return mSeparator != 0; }

private:
    String mText;
    String mSecondText;
    String mHelpText;
    String mKey;
    uint8_t mEnabled;
    uint8_t mChecked;
    uint8_t mSeparator;
};

RCPtr<LMenuItemDescriptor> CreateMenuItemDescriptor(const String& text, const String& key, bool enabled, bool checked);
RCPtr<LMenuItemDescriptor> CreateSeparatorDescriptor();

}  // namespace QV
