#pragma once
// A row of a popup menu: the entry's label, with its hot-key text beside it
// in the row's "hotKey" child when the skin gives one.
#include "LCheckedListBoxItem.h"

namespace QV {

class LMenuListBoxItem : public LCheckedListBoxItem {
    QV_TYPE_NAME("class QV::LMenuListBoxItem")
public:
    LMenuListBoxItem(LControl* parent, const String& name);
    ~LMenuListBoxItem() override;

    void SetHotKeyText(const String& text);
    const String& GetHotKeyText() const { return mHotKeyText; }

private:
    String mHotKeyText;
};

}  // namespace QV
