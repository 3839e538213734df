#include "LNumericUpDown.h"

namespace QV {

LNumericUpDown::LNumericUpDown(LControl* parent, const String& name) : LPanel(parent, name) {}

LNumericUpDown::~LNumericUpDown() = default;

QV_OWN_HANDLER_DEFINITIONS(LNumericUpDown, LPanel, mUpDownHandler)

}  // namespace QV
