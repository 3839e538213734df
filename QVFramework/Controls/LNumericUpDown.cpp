#include "LNumericUpDown.h"

namespace QV {

LNumericUpDown::LNumericUpDown(LControl* parent, const String& name) : PanelBase(parent, name) {}

LNumericUpDown::~LNumericUpDown() = default;

QV_OWN_HANDLER_DEFINITIONS(LNumericUpDown, PanelBase, mUpDownHandler)

}  // namespace QV
