#include "LLook.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "ControlRenderer.h"
#include "Exception.h"
#include "IControlApplication.h"

namespace QV {
namespace {

constexpr double kTiny = 0x1p-52;

LRenderer* RendererOf(IControlRenderer& renderer)
{
    // Any control renderer over a real renderer will do: the window's own
    // adapter as much as the looks' one.
    return renderer.GetTargetRenderer();
}

DoubleRect ToDouble(const LongRect& r)
{
    return {double(r.x), double(r.y), double(r.width), double(r.height)};
}

FloatPoint SizeOf(const LongRect& r)
{
    return {float(r.width), float(r.height)};
}

// One edge pair of a docked part: near and far offsets, each maybe absent.
void PlaceSpan(bool hasNear, int32_t nearOffset, bool hasFar, int32_t farOffset, int32_t extent, int32_t own,
               int32_t& start, int32_t& end)
{
    end = hasFar ? extent + farOffset : extent;
    start = hasNear ? nearOffset : end - own;
    if (!hasFar) end = start + own;
    if (!hasNear && !hasFar) {
        start = (extent - own) / 2;
        end = start + own;
    }
}

[[noreturn]] void TextFillMissing(const char* text, int line)
{
    throw Exception<std::domain_error>(
        FormatExceptionMessage(kDomainError, text, "QV::LLook::DrawLabelText", "ControlBase\\Look", line));
}

}  // namespace

RCPtr<LLook> LLook::Create(const RCPtr<LLookDescriptor>& descriptor, bool wordWrap)
{
    if (!descriptor || !descriptor->clientPart) return nullptr;
    RCPtr<LLook> look(new LLook());
    (void)look->SetDescriptor(descriptor, wordWrap);  // descriptor and client part checked above
    return look;
}

DoubleRect LLook::GetTextRect(const LLookDescriptor& d, double width, double height)
{
    if (!d.hasTextProperties) return {};
    // Single precision throughout, so the layout and the drawing agree on
    // the same pixel edges.
    const auto w = static_cast<float>(width), h = static_cast<float>(height);
    const float x = static_cast<float>(d.textLeftOffset) + d.textLeftFactor * w;
    const float y = static_cast<float>(d.textTopOffset) + d.textTopFactor * h;
    const float right = static_cast<float>(d.textRightOffset) + d.textRightFactor * w;
    const float bottom = static_cast<float>(d.textBottomOffset) + d.textBottomFactor * h;
    return {x, y, right - x, bottom - y};
}

QVResult LLook::SetDescriptor(const RCPtr<LLookDescriptor>& descriptor, bool wordWrap)
{
    if (!descriptor || !descriptor->clientPart) return E_INVALIDARG;
    mDescriptor = descriptor;
    mTextForeground = LVisualPart::FromDescriptor(descriptor->textForegroundPart.Get());
    if (descriptor->hasTextProperties) {
        if (!mText) {
            IControlApplication* app = GetControlApplication();
            mText = RCPtr<LFontText>(new LFontText(String(), app ? app->GetDefaultFont() : nullptr));
        }
        mText->SetWordWrap(wordWrap);
        mText->SetAlignment(descriptor->horizontalAlignment, descriptor->verticalAlignment);
    } else {
        mText = nullptr;
    }
    mClientPart = LVisualPart::FromDescriptor(descriptor->clientPart->part.Get());
    const size_t count = descriptor->nonClientParts.size();
    mPartRects.assign(count, LongRect{});
    mPartVisuals.assign(count, nullptr);
    mLayoutChanged = true;
    mSized = false;
    Resize(mWidth, mHeight);
    return S_OK;
}

QVResult LLook::Resize(int32_t width, int32_t height)
{
    if (mSized && width == mWidth && height == mHeight) return kNothingToDo;
    mSized = true;
    mWidth = width;
    mHeight = height;
    const LDockedPart& client = *mDescriptor->clientPart;
    mClientRect.x = std::clamp(client.left, 0, std::max(width, 0));
    mClientRect.y = std::clamp(client.top, 0, std::max(height, 0));
    mClientRect.width = std::clamp(width + client.right - mClientRect.x, 0, std::max(width - mClientRect.x, 0));
    mClientRect.height = std::clamp(height + client.bottom - mClientRect.y, 0, std::max(height - mClientRect.y, 0));

    for (size_t i = 0; i < mDescriptor->nonClientParts.size(); ++i) {
        const LDockedPart& part = *mDescriptor->nonClientParts[i];
        mPartVisuals[i] = LVisualPart::FromDescriptor(part.part.Get());
        const int32_t ownWidth =
            part.hasFixedWidth ? part.fixedWidth : (mPartVisuals[i] ? mPartVisuals[i]->GetWidth() : 0);
        const int32_t ownHeight =
            part.hasFixedHeight ? part.fixedHeight : (mPartVisuals[i] ? mPartVisuals[i]->GetHeight() : 0);
        int32_t l, r, t, b;
        PlaceSpan(part.edgeMask & LDockedPart::kLeft, part.left, part.edgeMask & LDockedPart::kRight, part.right, width,
                  ownWidth, l, r);
        PlaceSpan(part.edgeMask & LDockedPart::kTop, part.top, part.edgeMask & LDockedPart::kBottom, part.bottom,
                  height, ownHeight, t, b);
        mPartRects[i] = {l, t, r - l, b - t};
    }

    if (mText) {
        const DoubleRect area = GetTextRect(*mDescriptor, width, height);
        const float boxWidth = static_cast<float>(std::round(area.width));
        const float boxHeight = static_cast<float>(std::round(area.height));
        mText->SetBoxSize(boxWidth, boxHeight);
        mTextSize = {static_cast<int32_t>(boxWidth), static_cast<int32_t>(boxHeight)};
        mTextOrigin = {static_cast<int32_t>(area.x), static_cast<int32_t>(area.y)};
    }
    mPreviousClientRect = mClientRect;
    mLayoutChanged = true;
    return S_OK;
}

DirtyRects LLook::LimitToRegion(const DirtyRects& region, const DoublePoint& origin) const
{
    if (mRegion.IsEmpty()) return region;
    const int32_t dx = SaturateToLong(RoundHalfAwayFromZero(origin.x));
    const int32_t dy = SaturateToLong(RoundHalfAwayFromZero(origin.y));
    DirtyRects limited;
    for (const RegionRect& own : mRegion) {
        const LongRect moved{own.left + dx, own.top + dy, own.right - own.left, own.bottom - own.top};
        for (LongRect meet : region) {
            if (meet.Intersect(moved)) limited.push_back(meet);
        }
    }
    return limited;
}

template <class Draw>
void LLook::ForEachTarget(LRenderer& renderer, const DirtyRects& region, const LongRect& target, const LongRect& pushed,
                          Draw draw) const
{
    LRenderContextInfo* context = renderer.GetCurrentContext();
    if (!context) return;
    const DoublePoint origin = context->GetState().origin;
    const DoubleRect clip = context->GetState().clip;
    for (const LongRect& dirty : LimitToRegion(region, origin)) {
        DoubleRect meet{dirty.x - origin.x, dirty.y - origin.y, double(dirty.width), double(dirty.height)};
        if (!meet.Intersect(ToDouble(target)) || !(meet.width > kTiny && meet.height > kTiny)) continue;
        const bool inClip = meet.x < clip.x + clip.width && meet.x + meet.width > clip.x &&
                            meet.y < clip.y + clip.height && meet.y + meet.height > clip.y;
        if (!inClip) continue;
        renderer.PushClipRect(ToDouble(pushed), meet, nullptr, true);
        draw();
        renderer.RestoreState();
    }
}

void LLook::DrawBackground(IControlRenderer& controlRenderer, const DirtyRects& region)
{
    LRenderer* renderer = RendererOf(controlRenderer);
    if (!renderer) return;
    for (size_t i = 0; i < mPartRects.size(); ++i) {
        if (!mPartVisuals[i]) continue;
        // Painting is best effort: a part that fails leaves the others to paint.
        ForEachTarget(*renderer, region, mPartRects[i], mPartRects[i],
                      [&] { (void)mPartVisuals[i]->Draw(*renderer, SizeOf(mPartRects[i])); });
    }
}

void LLook::DrawForeground(IControlRenderer& controlRenderer, const DirtyRects& region)
{
    LRenderer* renderer = RendererOf(controlRenderer);
    if (!renderer) return;
    ForEachTarget(*renderer, region, mClientRect, mClientRect, [&] {
        // Painting is best effort: a part that fails leaves the other to paint.
        if (mClientPart && !(mOverlay && mOverlayReplacesClient)) {
            (void)mClientPart->Draw(*renderer, SizeOf(mClientRect));
        }
        if (mOverlay) (void)mOverlay->Draw(*renderer, SizeOf(mClientRect));
    });
}

void LLook::DrawLabelText(IControlRenderer& controlRenderer, const DirtyRects& region, const DoublePoint& offset)
{
    LRenderer* renderer = RendererOf(controlRenderer);
    if (!renderer || !mText) return;
    const LongRect textRect{mTextOrigin.x, mTextOrigin.y, mTextSize.x, mTextSize.y};
    ForEachTarget(*renderer, region, textRect, LongRect{0, 0, mWidth, mHeight}, [&] {
        // Without a part to take the colour from there is no text colour.
        if (!mTextForeground) return;
        if (mTextForeground->GetBitmap())
            TextFillMissing("Bitmap fill for text foreground part not yet implemented.", 293);
        const RCPtr<LColorizer>& colorizer = mTextForeground->GetColorizer();
        if (colorizer && colorizer->GetMode() != LColorizer::kSolid)
            TextFillMissing("Gradient fill for text foreground part not yet implemented.", 302);
        if (!colorizer) return;
        renderer->PushClipRect(ToDouble(textRect), ToDouble(textRect), nullptr, true);
        DrawText(*renderer, offset);
        renderer->RestoreState();
    });
}

void LLook::DrawText(LRenderer& renderer, const DoublePoint& offset) const
{
    const LColor colour = LColor::FromARGB(mTextForeground->GetColorAtPoint(0, 0));
    const int32_t count = mText->GetLineCount();
    for (int32_t i = 0; i < count; ++i) {
        const RectT<float>& line = mText->GetLine(i);
        const LongPoint at{SaturateToLong(ClampToDoubleRange(line.x) - offset.x),
                           SaturateToLong(ClampToDoubleRange(line.y) - offset.y)};
        renderer.DrawText(mText->GetLineText(i), ConstRCPtr<LFont>(mText->GetFont()), at, colour);
    }
}

DoubleRect LLook::GetClientRect() const
{
    return ToDouble(mClientRect);
}

uint32_t LLook::GetColorAtPoint(const DoublePoint& point) const
{
    uint32_t colour = LVisualPart::kNoColor;
    const auto ask = [&](const RCPtr<LVisualPart>& part, const LongRect& rect) {
        if (!part) return false;
        colour = part->GetColorAtPoint(float(point.x - rect.x), float(point.y - rect.y), float(rect.width),
                                       float(rect.height));
        return colour > LVisualPart::kNoColor;
    };
    for (size_t i = 0; i < mPartRects.size(); ++i) {
        if (ask(mPartVisuals[i], mPartRects[i])) return colour;
    }
    if (ask(mOverlay, mClientRect)) return colour;
    ask(mClientPart, mClientRect);
    return colour;
}

void LLook::SetText(const String& text)
{
    if (mText && !(mText->GetText() == text)) mText->SetText(text);
}

void LLook::SetFont(const RCPtr<LFont>& font)
{
    if (mText && mText->GetFont() != font) mText->SetFont(font);
}

bool LLook::GetTextWidth(double& width) const
{
    if (!mText) return false;
    width = mText->GetMaxLineWidth();
    return true;
}

double LLook::GetTextAreaWidth(double controlWidth) const
{
    return GetTextRect(*mDescriptor, controlWidth, mHeight).width;
}

bool LLook::GetTextLayoutGeometry(DoubleRect& area, DoublePoint& firstLine, DoublePoint& size) const
{
    if (!mText) return false;
    area = {double(mTextOrigin.x), double(mTextOrigin.y), double(mTextSize.x), double(mTextSize.y)};
    (void)mText->GetLineCount();  // lays the lines out when needed
    const RectT<float>& line = mText->GetLine(0);
    firstLine = {line.x, line.y};
    const PointT<int32_t> bounds = mText->GetBounds();
    size = {double(bounds.x), double(bounds.y)};
    return true;
}

QVResult LLook::SetOverlayPart(const RCPtr<LRefCountedObject>& bitmap, int32_t resizeType, bool replacesClient)
{
    RCPtr<LBitmap> image(dynamic_cast<LBitmap*>(bitmap.Get()));
    if (image) {
        mOverlay = LVisualPart::Create(String(), image, resizeType, nullptr, 1.0f, nullptr);
        mOverlayReplacesClient = replacesClient;
        return S_OK;
    }
    if (!mOverlay) return kNothingToDo;
    mOverlay = nullptr;
    return S_OK;
}

std::vector<RCPtr<LBitmap>> LLook::GetPartBitmaps() const
{
    std::vector<RCPtr<LBitmap>> bitmaps;
    if (mClientPart && mClientPart->GetBitmap()) bitmaps.push_back(mClientPart->GetBitmap());
    for (const RCPtr<LVisualPart>& part : mPartVisuals) {
        if (part && part->GetBitmap()) bitmaps.push_back(part->GetBitmap());
    }
    return bitmaps;
}

void LLook::SetTextForegroundPart(const RCPtr<LRefCountedObject>& part)
{
    mTextForeground = RCPtr<LVisualPart>(dynamic_cast<LVisualPart*>(part.Get()));
}

void LLook::SetLayoutWordWrap(bool wrap)
{
    if (mText) mText->SetWordWrap(wrap);
}

double LLook::GetLayoutMaxLineWidth()
{
    return mText ? mText->GetMaxLineWidth() : 0.0;
}

double LLook::GetLayoutTextHeight()
{
    return mText ? mText->GetBounds().y : 0.0;
}

DoubleRect LLook::GetLayoutTextRect(double width, double height) const
{
    return GetTextRect(*mDescriptor, width, height);
}

double LLook::GetLayoutTextFactorSpan(int axis) const
{
    return axis == 0 ? mDescriptor->textRightFactor - mDescriptor->textLeftFactor
                     : mDescriptor->textBottomFactor - mDescriptor->textTopFactor;
}

}  // namespace QV
