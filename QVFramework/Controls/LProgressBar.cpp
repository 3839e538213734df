#include "LProgressBar.h"

namespace QV {

LProgressBar::LProgressBar(LControl* parent, const String& name) : LControl(parent, name) {}

LProgressBar::~LProgressBar() = default;

}  // namespace QV
