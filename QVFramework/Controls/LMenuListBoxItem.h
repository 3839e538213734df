#pragma once
// A row of a popup menu: the entry's label with its hot-key text beside it.
#include "LCheckedListBoxItem.h"

namespace QV {

class LMenuListBoxItem : public LCheckedListBoxItem {
    QV_TYPE_NAME("class QV::LMenuListBoxItem")
public:
    LMenuListBoxItem(LControl* parent, const String& name);
    ~LMenuListBoxItem() override;
};

}  // namespace QV
