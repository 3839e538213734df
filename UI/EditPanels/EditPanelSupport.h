#pragma once
// Helpers the edit panels share.
#include <cstdint>
#include <vector>

#include "LControl.h"

// What every edit panel answers whatever its part: the blob its controls give now.
class IEditPanelValue {
public:
    virtual std::vector<uint8_t> ReadBytes() const = 0;

protected:
    ~IEditPanelValue() = default;
};

// Gives every label inside the panel that has no text yet the "LABEL" string
// of its own table, unless it is a format. Selectors name their own labels
// and are left alone.
void ShowLabelStrings(QV::LControl& panel);
// The control's own table's string, or empty.
QV::String ControlString(const QV::LControl& control, const char16_t* id);
// "ITEM.nn" for an index.
QV::String ItemId(int32_t index);
