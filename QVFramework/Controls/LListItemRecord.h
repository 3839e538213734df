#pragma once
// One entry of a list box.
#include <cstdint>

#include "StringT.h"

namespace QV {

struct LListItemRecord {
    String text;
    // Selected when >= 0.5.
    double value = 0.0;
    // Switches the row to its alternate looks.
    uint8_t marked = 0;
    uint8_t separator = 0;
    // No row, skipped by counting, navigation and scrolling.
    uint8_t hidden = 0;

    bool IsSelected() const { return value >= 0.5; }
    virtual ~LListItemRecord() = default;
};

}  // namespace QV
