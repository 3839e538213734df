#pragma once
// A panel's value as data: which child control holds each byte of its blob,
// how the control is found (with the line its error names), its range and
// its offset. One table per panel class.
#include <cstdint>
#include <span>
#include <vector>

// One name on the way from the panel to a control.
struct ChildStep {
    const char16_t* name;
    int32_t messageLine;              // the line its error names when it is missing
    bool spacedCannot = false;        // "Can not find child" (the spelling of a few messages)
    const char* shownName = nullptr;  // the name in the message, when not the step's own
};

enum class FieldKind {
    kComboBox,       // byte = selected index
    kNumericUpDown,  // byte = value + offset, rounded
    kNoteSelector,   // the same, through the selector
    kNumberBox,      // the same, through the number-box selector
    kButton,         // byte = normalised value (0 or 1)
};

// Written with designated initialisers; a member left out keeps its default.
struct FieldRow {
    std::vector<ChildStep> path;
    FieldKind kind;
    int32_t byte;
    double offset = 0.0;  // byte = value + offset
    // The range of an up-down or a note field; combo boxes and buttons have none.
    double minimum = 0.0;
    double maximum = 127.0;
    int32_t messageLine = 0;  // the line the error of a refused subscription names
    // Bit t set: the field's group is shown for type t. 0: always shown.
    // Of the fields that share a byte, the one shown for the type owns it.
    uint32_t visibleTypes = 0;
    int32_t noteOffset = 0;
};

struct PanelTable {
    const char* className;   // "LZoneEditPanel"
    const char* sourcePath;  // "UI\\ZoneEditPanel"
    uint32_t blobLength;
    std::span<const FieldRow> fields;
    // Field indexes in the order a value down sets them; empty: table order.
    std::span<const int32_t> applyOrder;
};

// Bits for FieldRow::visibleTypes, from a panel's type enum (EditPanelTypes.h).
template <typename Type>
constexpr uint32_t TypeBits(std::initializer_list<Type> types)
{
    uint32_t bits = 0;
    for (Type t : types) bits |= 1u << static_cast<int32_t>(t);
    return bits;
}
