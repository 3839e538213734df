#pragma once
// The layout record a control copies from its skin descriptor. The layout
// solver reads the per-axis records; the control reads the flags.
#include <cstdint>

#include "StringT.h"

namespace QV {

namespace LayoutKind {
inline constexpr int32_t kParent = 0;
inline constexpr int32_t kClient = 1;
inline constexpr int32_t kSelf = 2;
inline constexpr int32_t kSibling = 3;
}  // namespace LayoutKind

struct LayoutRecord {
    // Which frame the record refers to (parent, client, self, a named sibling).
    int32_t kind = 0;
    String name;
    float factor = 0.0f;
    double offset = 0.0;

    // The position and size of a control that covers its parent and follows its size.
    static LayoutRecord ParentOrigin() { return {LayoutKind::kParent, {}, 0.0f, 0.0}; }
    static LayoutRecord ParentExtent() { return {LayoutKind::kParent, {}, 1.0f, 0.0}; }

    bool operator==(const LayoutRecord& other) const
    {
        return kind == other.kind && name == other.name && factor == other.factor && offset == other.offset;
    }
};

struct ControlLayout {
    bool clipToParent = true;
    int32_t zOrder = 0;
    int32_t tabStop = 0;
    bool isVisible = true;
    bool isEnabled = true;
    bool xIsDocked = false;
    bool yIsDocked = false;
    // The size of an axis follows the content (a text relayout re-runs the layout).
    bool sizeFromContent = false;
    LayoutRecord position[2];
    LayoutRecord anchor[2];
    LayoutRecord size[2];
    // The maximum: "Self" (an absolute size, 0 for none) or a named child or "Children".
    LayoutRecord limit[2];
    // The minimum, with the same references as the maximum.
    LayoutRecord minimum[2];
    // 0 clip, 1 expand, 2 wrap (x only).
    int32_t textOverflow[2] = {0, 0};

    bool IsDocked(int axis) const { return axis == 0 ? xIsDocked : yIsDocked; }
    int DockedAxes() const { return (xIsDocked ? 1 : 0) + (yIsDocked ? 1 : 0); }
};

}  // namespace QV
