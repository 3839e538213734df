#pragma once
// The containers the framework's controls stand on.
#include "LPanel.h"
#include "LScrollView.h"

namespace QV {

using ScrollViewBase = LScrollView;
using PanelBase = LPanel;

}  // namespace QV
