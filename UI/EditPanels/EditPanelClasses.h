#pragma once
// The skin classes of the edit panels, their widgets and grouping panels.
#include "LControlFactory.h"

// Registers every class with the factory; the first failed result, else 0.
[[nodiscard]] QV::QVResult RegisterEditPanelControls(QV::LControlFactory& factory);
