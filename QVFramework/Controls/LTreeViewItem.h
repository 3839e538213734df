#pragma once
// One row of a tree view; for now a plain list row.
#include "LListBoxItem.h"

namespace QV {

class LTreeViewItem : public LListBoxItem {
    QV_TYPE_NAME("class QV::LTreeViewItem")
public:
    LTreeViewItem(LControl* parent, const String& name);
    ~LTreeViewItem() override;
};

}  // namespace QV
