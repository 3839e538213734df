#pragma once
// Turns a control's layout record into its frame: position and size against
// reference frames, then the minimum, then the maximum. Pure computation over
// what the caller hands in; it changes nothing but the position and size.
#include <cstdint>
#include <string_view>
#include <vector>

#include "ControlLayout.h"
#include "RectT.h"

namespace QV {

class LControl;

// One axis of a reference frame.
struct LayoutSpan {
    double origin = 0.0;
    double size = 0.0;
};

struct LayoutSibling {
    DoubleRect frame;
    bool docked[2] = {false, false};
};

// Looks a sibling up by name (from the last child); false when there is none.
class ILayoutSiblings {
public:
    virtual bool FindSibling(const String& name, LayoutSibling& sibling) const = 0;

protected:
    ~ILayoutSiblings() = default;
};

// The frames a control's position and size refer to.
struct LayoutReferences {
    LayoutSpan parent[2];
    LayoutSpan client[2];
    DoublePoint parentScroll;
    const ILayoutSiblings* siblings = nullptr;
};

// The shown look's label text, as far as the minimum step needs it.
class ILayoutText {
public:
    // Whether the look has text properties at all.
    virtual bool HasLayoutText() const = 0;
    virtual void SetLayoutWordWrap(bool wrap) = 0;
    // Widest line split at line breaks, in whole pixels.
    virtual double GetLayoutMaxLineWidth() = 0;
    // Height of the text laid out at the text area's current width.
    virtual double GetLayoutTextHeight() = 0;
    // The text area for a control of that size.
    virtual DoubleRect GetLayoutTextRect(double width, double height) const = 0;
    // The text area's right minus left (x) or bottom minus top (y) factor.
    virtual double GetLayoutTextFactorSpan(int axis) const = 0;

protected:
    ~ILayoutText() = default;
};

struct LayoutChild {
    std::u16string_view name;  // the child's own name, alive while the solver runs
    DoubleRect frame;
    bool docked[2] = {false, false};
    bool clipToParent = true;
};

// What the minimum and maximum steps read of the control itself.
struct LayoutContent {
    std::vector<LayoutChild> children;  // insertion order
    // Finds a child by name in place of the children's names, which are then
    // left empty: a large control's children are looked at without their names.
    const ILayoutSiblings* named = nullptr;
    DoublePoint scrollOffset;
    DoublePoint clientOffset;  // the shown look's client rectangle origin
    bool hasLook = false;
    DoublePoint clientSize;   // the shown look's client rectangle size
    DoublePoint currentSize;  // the control's frame size the look is laid out for
    ILayoutText* text = nullptr;
};

class LLayout {
public:
    [[nodiscard]] static QVResult ResolvePosition(const ControlLayout* layout, const LayoutReferences& references, DoubleRect& frame);
    // 1 changed, 0 not, E_FAIL for an anchor the relative minimum cannot use.
    [[nodiscard]] static QVResult ResolveSizeFromContent(const ControlLayout& layout, const LayoutContent& content,
                                           DoublePoint& position, DoublePoint& size);
    // 1 changed, 0 not.
    static QVResult ResolveSize(const ControlLayout& layout, const LayoutContent& content, DoublePoint& position,
                                DoublePoint& size);

    // The three steps for a control in its tree; the reference is the frame
    // of a top control (work area or window client area).
    [[nodiscard]] static QVResult ResolveControl(LControl& control, const DoubleRect& reference, DoubleRect& frame);
};

}  // namespace QV
