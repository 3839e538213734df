#include "LMenuListBoxItem.h"

namespace QV {

LMenuListBoxItem::LMenuListBoxItem(LControl* parent, const String& name) : LCheckedListBoxItem(parent, name) {}

LMenuListBoxItem::~LMenuListBoxItem() = default;

void LMenuListBoxItem::SetHotKeyText(const String& text)
{
    mHotKeyText = text;
    if (RCPtr<LControl> shown = FindChildControl(u"hotKey")) shown->SetText(text);
}

}  // namespace QV
