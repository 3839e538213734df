#include "LMenuItemDescriptor.h"

namespace QV {

LMenuItemDescriptor::LMenuItemDescriptor(const String& text, const String& key, bool enabled, bool checked,
                                         bool separator)
    : mText(text), mKey(key), mEnabled(enabled ? 1 : 0), mChecked(checked ? 1 : 0), mSeparator(separator ? 1 : 0)
{}

RCPtr<LMenuItemDescriptor> LMenuItemDescriptor::Clone() const
{
    RCPtr<LMenuItemDescriptor> copy(new LMenuItemDescriptor(mText, mKey, mEnabled, mChecked, mSeparator));
    copy->mHelpText = mHelpText;
    copy->mSecondText = mSecondText;
    CloneItemsInto(*copy);
    return copy;
}

RCPtr<LMenuItemDescriptor> CreateMenuItemDescriptor(const String& text, const String& key, bool enabled, bool checked)
{
    return RCPtr<LMenuItemDescriptor>(new LMenuItemDescriptor(text, key, enabled, checked, false));
}

RCPtr<LMenuItemDescriptor> CreateSeparatorDescriptor()
{
    return RCPtr<LMenuItemDescriptor>(new LMenuItemDescriptor(String(), String(), true, false, true));
}

}  // namespace QV
