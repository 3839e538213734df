#pragma once
// The drawable state of one look of a control: the client part filling the
// inner area, the non-client parts placed by offsets around it, and the label
// text, all sized to the control. Drawing policy only; the control decides
// which look shows.
#include <cstdint>
#include <vector>

#include "ILook.h"
#include "LFontText.h"
#include "LLayout.h"
#include "LLookDescriptor.h"
#include "LVisualPart.h"

namespace QV {

class LRenderer;

class LLook : public ILook, public ILayoutText {
    QV_TYPE_NAME("class QV::LLook")
public:
    // Null for a descriptor without a client part.
    static RCPtr<LLook> Create(const RCPtr<LLookDescriptor>& descriptor, bool wordWrap);
    // The text area of the descriptor's text properties for a look of that size.
    static DoubleRect GetTextRect(const LLookDescriptor& descriptor, double width, double height);

    [[nodiscard]] QVResult SetDescriptor(const RCPtr<LLookDescriptor>& descriptor, bool wordWrap);
    // 1 when the size is unchanged.
    QVResult Resize(int32_t width, int32_t height);

    void DrawBackground(IControlRenderer& renderer, const DirtyRects& region) override;
    void DrawForeground(IControlRenderer& renderer, const DirtyRects& region) override;
    void DrawLabelText(IControlRenderer& renderer, const DirtyRects& region, const DoublePoint& offset) override;
    DoubleRect GetClientRect() const override;
    uint32_t GetColorAtPoint(const DoublePoint& point) const override;
    void SetSize(int32_t width, int32_t height) override { Resize(width, height); }
    void SetText(const String& text) override;
    void SetFont(const RCPtr<LFont>& font) override;
    bool GetTextWidth(double& width) const override;
    double GetTextAreaWidth(double controlWidth) const override;
    bool GetTextLayoutGeometry(DoubleRect& area, DoublePoint& firstLine, DoublePoint& size) const override;
    [[nodiscard]] QVResult SetOverlayPart(const RCPtr<LRefCountedObject>& bitmap, int32_t resizeType, bool replacesClient) override;
    void SetTextForegroundPart(const RCPtr<LRefCountedObject>& part) override;

    void SetLayoutWordWrap(bool wrap) override;
    double GetLayoutMaxLineWidth() override;
    double GetLayoutTextHeight() override;
    bool HasLayoutText() const override { return mText != nullptr; }
    DoubleRect GetLayoutTextRect(double width, double height) const override;
    double GetLayoutTextFactorSpan(int axis) const override;

    void SetRegion(const RectRegion& region) override { mRegion = region; }
    void GetRegion(RectRegion& out) const override { out = mRegion; }
    std::vector<RCPtr<LBitmap>> GetPartBitmaps() const override;

    const LongRect& GetPartRect(size_t index) const { return mPartRects[index]; }
    const RCPtr<LFontText>& GetTextLayout() const { return mText; }
    LongPoint GetTextOrigin() const { return mTextOrigin; }
    bool HasLayoutChanged() const { return mLayoutChanged; }

private:
    DirtyRects LimitToRegion(const DirtyRects& region, const DoublePoint& origin) const;
    template <class Draw>
    void ForEachTarget(LRenderer& renderer, const DirtyRects& region, const LongRect& target, const LongRect& pushed,
                       Draw draw) const;
    void DrawText(LRenderer& renderer, const DoublePoint& offset) const;

    RCPtr<LLookDescriptor> mDescriptor;
    RCPtr<LVisualPart> mTextForeground;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    bool mSized = false;
    LongRect mClientRect;
    std::vector<LongRect> mPartRects;
    std::vector<RCPtr<LVisualPart>> mPartVisuals;
    RCPtr<LVisualPart> mClientPart;
    RCPtr<LVisualPart> mOverlay;
    bool mOverlayReplacesClient = false;
    bool mLayoutChanged = true;
    LongRect mPreviousClientRect;
    RCPtr<LFontText> mText;
    LongPoint mTextOrigin;
    LongPoint mTextSize;
    RectRegion mRegion;
};

}  // namespace QV
