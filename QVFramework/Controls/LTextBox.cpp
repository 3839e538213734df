#include "LTextBox.h"

namespace QV {

LTextBox::LTextBox(LControl* parent, const String& name) : ScrollViewBase(parent, name) {}

LTextBox::~LTextBox() = default;

}  // namespace QV
