#include "LMenuListBoxItem.h"

namespace QV {

LMenuListBoxItem::LMenuListBoxItem(LControl* parent, const String& name) : LCheckedListBoxItem(parent, name) {}

LMenuListBoxItem::~LMenuListBoxItem() = default;

}  // namespace QV
