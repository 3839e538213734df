#pragma once
// The lists and the text box stand on the scroll view, the up-down on the
// panel. Until those containers land, both names stand for the plain control,
// so the rest of the class tree can already be built against them.
#include "LControl.h"

namespace QV {

using ScrollViewBase = LControl;
using PanelBase = LControl;

}  // namespace QV
