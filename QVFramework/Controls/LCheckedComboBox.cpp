#include "LCheckedComboBox.h"

namespace QV {

LCheckedComboBox::LCheckedComboBox(LControl* parent, const String& name) : LComboBox(parent, name) {}

LCheckedComboBox::~LCheckedComboBox() = default;

}  // namespace QV
