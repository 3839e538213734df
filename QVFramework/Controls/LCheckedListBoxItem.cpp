#include "LCheckedListBoxItem.h"

namespace QV {

LCheckedListBoxItem::LCheckedListBoxItem(LControl* parent, const String& name) : LListBoxItem(parent, name) {}

LCheckedListBoxItem::~LCheckedListBoxItem() = default;

}  // namespace QV
