#pragma once
// A row of a checked list box: its "checkBox" child shows the item's check
// flag, and an icon is drawn beside the text when the list shows icons.
#include "LListBoxItem.h"

namespace QV {

class LCheckedListBoxItem : public LListBoxItem {
    QV_TYPE_NAME("class QV::LCheckedListBoxItem")
public:
    LCheckedListBoxItem(LControl* parent, const String& name);
    ~LCheckedListBoxItem() override;
};

}  // namespace QV
