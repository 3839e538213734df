#include "LTreeViewItem.h"

namespace QV {

LTreeViewItem::LTreeViewItem(LControl* parent, const String& name) : LListBoxItem(parent, name) {}

LTreeViewItem::~LTreeViewItem() = default;

}  // namespace QV
