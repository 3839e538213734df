#include "LDropDownControl.h"

namespace QV {

LDropDownControl::LDropDownControl(LControl* parent, const String& name) : LControl(parent, name) {}

QV_OWN_HANDLER_DEFINITIONS(LDropDownControl, LControl, mDropDownHandler)

}  // namespace QV
