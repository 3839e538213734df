#pragma once
// What a control asks of one of its looks; the looks themselves come later.
#include <cstdint>
#include <vector>

#include "DirtyRects.h"
#include "LBitmap.h"
#include "LFont.h"
#include "RectRegion.h"
#include "RectT.h"
#include "StringT.h"

namespace QV {

class IControlRenderer;

class ILook : public virtual LRefCountedObject {
public:
    virtual void DrawBackground(IControlRenderer& renderer, const DirtyRects& region) = 0;
    virtual void DrawForeground(IControlRenderer& renderer, const DirtyRects& region) = 0;
    virtual void DrawLabelText(IControlRenderer& renderer, const DirtyRects& region, const DoublePoint& offset) = 0;
    // The inner area that children are placed in.
    virtual DoubleRect GetClientRect() const = 0;
    // ARGB; alpha 0 where the look is transparent.
    virtual uint32_t GetColorAtPoint(const DoublePoint& point) const = 0;
    virtual void SetSize(int32_t width, int32_t height) = 0;
    virtual void SetText(const String& text) = 0;
    virtual void SetFont(const RCPtr<LFont>& font) = 0;
    // Width of the laid-out label text; false when the look has no text layout.
    virtual bool GetTextWidth(double& width) const = 0;
    // The text area's width for a control width.
    virtual double GetTextAreaWidth(double controlWidth) const = 0;
    // Where the label text lies: the text area, the first laid-out line's
    // top-left inside it and the size of all laid-out lines; false when the
    // look has no text layout.
    virtual bool GetTextLayoutGeometry(DoubleRect&, DoublePoint&, DoublePoint&) const { return false; }
    // 0 when the overlay changed, 1 when it did not.
    [[nodiscard]] virtual QVResult SetOverlayPart(const RCPtr<LRefCountedObject>& bitmap, int32_t resizeType,
                                    bool replacesClient) = 0;
    virtual void SetTextForegroundPart(const RCPtr<LRefCountedObject>& part) = 0;
    // The look's pending update area in the control's coordinates; when not
    // empty, drawing keeps inside it. Looks that draw nothing ignore it.
    virtual void SetRegion(const RectRegion&) {}
    // A copy of what SetRegion kept; empty for looks that ignore it.
    virtual void GetRegion(RectRegion& out) const { out.Clear(); }
    // The images of the look's parts that have one: the client part's first,
    // then the others in skin order. Lists take their item icons from them.
    virtual std::vector<RCPtr<LBitmap>> GetPartBitmaps() const { return {}; }
};

}  // namespace QV
