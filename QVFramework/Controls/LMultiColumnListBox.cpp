#include "LMultiColumnListBox.h"

namespace QV {

LMultiColumnListBox::LMultiColumnListBox(LControl* parent, const String& name) : LListBox(parent, name) {}

LMultiColumnListBox::~LMultiColumnListBox() = default;

}  // namespace QV
