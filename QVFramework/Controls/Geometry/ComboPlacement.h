#pragma once
// Where a combo box drops its list: below or above itself, and how tall.
// Signed 64-bit throughout, so a window smaller than the combo never turns
// a negative space into a huge one.
#include <cstdint>

namespace QV {

struct ComboPlacementInput {
    int64_t comboTop = 0;  // in root-window coordinates
    int64_t comboHeight = 0;
    int64_t rootHeight = 0;
    int64_t contentHeight = 0;    // row height x item count
    double currentMaximum = 0.0;  // the list's Y maximum now
    double skinMaximum = 0.0;     // the Y maximum its skin gives
};

struct ComboPlacement {
    bool below = true;
    double maximumHeight = 0.0;  // 0: no limit
    double height = 0.0;
};

ComboPlacement PlaceComboList(const ComboPlacementInput& in);

}  // namespace QV
