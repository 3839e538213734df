// Drawing the text box: the caret and its blink, the looks per state, the
// text's geometry and scrolling the caret into view.
#include <algorithm>
#include <cmath>

#include "GeometryRounding.h"
#include "IControlApplication.h"
#include "IControlRenderer.h"
#include "LTextBox.h"
#include "MeasurementRendererSource.h"

namespace QV {

namespace {

double Clamp23(double v)
{
    return std::clamp(v, -8388608.0, 8388608.0);
}

}  // namespace

QVResult LTextBox::SetScrollOffset(const DoublePoint& offset)
{
    if (mInScrollOffset) return S_OK;
    mInScrollOffset = true;
    const QVResult result = LScrollView::SetScrollOffset(offset);
    if (IsInertialScrollRunning(0)) {
        const double x = GetScrollOffset().x;
        if (x <= 0.0 || x >= ScrollLimit()) StopInertialScroll(0);
    }
    RCPtr<IRootWindow> root = GetRootWindow();
    if (root && (GetConditions() & Condition::kLeftDragging)) {
        int32_t x = 0, y = 0;
        root->GetCursorPosition(x, y);
        const DoublePoint at = DoublePoint{double(x), double(y)} - GetPositionInRoot();
        ExtendSelectionTo(HitTestCharacter(ClampToTextArea(at)));
    } else {
        UpdatePartStates();
    }
    ReportCaret();
    mInScrollOffset = false;
    return result;
}

// ---- conditions, blink, caret ----

void LTextBox::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (!param) return;
    const uint32_t was = param->oldConditions, now = param->newConditions;
    const auto set = [&](uint32_t bit) { return (now & bit) && !(was & bit); };
    const auto cleared = [&](uint32_t bit) { return !(now & bit) && (was & bit); };
    if (set(Condition::kHasFocus)) {
        ReportCaret();
        RestartBlink();
        (void)SubscribeIdle();   // without idle ticks the caret just stays shown
    } else if (cleared(Condition::kHasFocus)) {
        if (RCPtr<IRootWindow> root = GetRootWindow()) root->SetCaret(false, this, CaretInRoot());
        UnsubscribeIdle();
        mCaretVisible = false;
        SetScrollOffset({0.0, 0.0});
        InvalidateArea();
    } else {
        if (set(Condition::kActive)) {
            if (IControlApplication* app = GetControlApplication()) SetCursor(app->GetCursorHandle(u"UI_CURSOR_IBEAM"));
        }
        if (cleared(Condition::kLeftDragging)) {
            StopInertialScroll(0);
            StopInertialScroll(1);
        }
    }
    const uint32_t watched = Condition::kActive | Condition::kHasFocus | Condition::kEnabled;
    if (((was ^ now) & watched) || cleared(Condition::kLeftDragging)) UpdatePartStates();
}

// A moved or newly focused caret shows at once for a whole shown time.
void LTextBox::RestartBlink()
{
    mCaretVisible = true;
    mNextBlink = Now() + kShownTime;
    InvalidateArea();
}

void LTextBox::OnTimer()
{
    const double now = Now();
    if (now < mNextBlink) return;
    mCaretVisible = !mCaretVisible;
    mNextBlink = now + (mCaretVisible ? kShownTime : kHiddenTime);
    InvalidateArea();
}

uint32_t LTextBox::GetCaretColor() const
{
    const DoublePoint top{std::round(mCaretRect[0] - GetScrollOffset().x), std::round(mCaretRect[1])};
    const uint32_t c = GetColorAtPoint(top, GetFirstVisiblePartIndex());
    const uint32_t mean = (((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)) / 3;
    return mean < 129 ? 0xFFFFFFFFu : 0xFF000000u;
}

QVResult LTextBox::DrawCaret(IControlRenderer& renderer)
{
    if (!HasFocus() || !mCaretVisible) return S_OK;
    const double x = Clamp23(mCaretRect[0] - GetScrollOffset().x);
    const double y = Clamp23(mCaretRect[1] - GetScrollOffset().y);
    renderer.DrawLine({x, y}, {x, y + mCaretRect[3]}, GetCaretColor(), 1.0f);
    return S_OK;
}

// ---- measuring ----

double LTextBox::MeasureWidth(const String& text) const
{
    if (text.IsEmpty()) return 0.0;
    RCPtr<LMeasurementRenderer> renderer = GetMeasurementRenderer();
    if (!renderer) return 0.0;
    return renderer->MeasureText(text, GetFont()).width;
}

double LTextBox::LineHeight() const
{
    RCPtr<LFont> font = GetFont();
    return font ? font->GetLineHeight() : 0.0;
}

bool LTextBox::GetTextGeometry(DoubleRect& area, DoublePoint& firstLine, DoublePoint& size) const
{
    area = {};
    firstLine = size = {};
    RCPtr<ILook> look = GetVisualPart(0);
    if (look && look->GetTextLayoutGeometry(area, firstLine, size)) return true;
    area = {};
    firstLine = size = {};
    return false;
}

DoubleRect LTextBox::GetTextArea() const
{
    DoubleRect area;
    DoublePoint line, size;
    (void)GetTextGeometry(area, line, size);  // a zero area without a text layout
    return area;
}

DoublePoint LTextBox::GetLineStart() const
{
    DoubleRect area;
    DoublePoint line, size;
    (void)GetTextGeometry(area, line, size);  // the origin without a text layout
    return {area.x + line.x, area.y + line.y};
}

void LTextBox::UpdateTextExtent()
{
    DoubleRect area;
    DoublePoint line, size;
    if (!GetTextGeometry(area, line, size)) return;
    constexpr double kLimit = 4503599627370496.0;  // 2^52
    SetClientExtent(std::clamp(size.x, -kLimit, kLimit), std::clamp(size.y, -kLimit, kLimit));
}

double LTextBox::ScrollLimit() const
{
    const double text = GetClientExtent().x, area = GetTextArea().width;
    return text > area ? text - area + 3.0 : 0.0;
}

DoublePoint LTextBox::ClampToTextArea(const DoublePoint& point) const
{
    const DoubleRect area = GetTextArea();
    return {std::clamp(point.x, area.x, area.x + std::max(0.0, area.width)),
            std::clamp(point.y, area.y, area.y + std::max(0.0, area.height))};
}

LongPoint LTextBox::CaretInRoot() const
{
    const DoublePoint at = GetPositionInRoot() + DoublePoint{mCaretRect[0], mCaretRect[1]} - GetScrollOffset();
    return {SaturateToLong(RoundHalfAwayFromZero(at.x)), SaturateToLong(RoundHalfAwayFromZero(at.y))};
}

void LTextBox::ReportCaret()
{
    if (!HasFocus()) return;
    if (RCPtr<IRootWindow> root = GetRootWindow()) root->SetCaret(true, this, CaretInRoot());
}

void LTextBox::UpdateCaretRect()
{
    const DoublePoint start = GetLineStart();
    mCaretRect[0] = static_cast<float>(start.x + MeasureWidth(GetText().Left(mCaret)) - 1.0);
    mCaretRect[1] = static_cast<float>(start.y);
    mCaretRect[2] = 1.0f;
    mCaretRect[3] = static_cast<float>(LineHeight());
    KeepCaretVisible();
    ReportCaret();
}

// Scrolls sideways just enough that the caret stays inside the text area.
void LTextBox::KeepCaretVisible()
{
    const DoubleRect area = GetTextArea();
    if (!(area.width > 0)) return;
    const double caret = mCaretRect[0] + 1.0;
    DoublePoint offset = GetScrollOffset();
    if (caret - offset.x > area.x + area.width) offset.x = caret - area.x - area.width;
    if (caret - offset.x < area.x) offset.x = std::max(0.0, caret - area.x);
    if (offset.x != GetScrollOffset().x) SetScrollOffset(offset);
}

DoubleRect LTextBox::GetCharacterRect(int32_t index) const
{
    if (index < 0 || index > GetTextLength()) return {};
    const DoublePoint start = GetLineStart();
    const double left = MeasureWidth(GetText().Left(index));
    const double width = index < GetTextLength() ? MeasureWidth(GetText().Mid(index, 1)) : 0.0;
    return {start.x + left, start.y, Clamp23(width), Clamp23(LineHeight())};
}

DoubleRect LTextBox::GetRangeRect(int32_t first, int32_t last) const
{
    const int32_t length = GetTextLength();
    if (first < 0 || last < 0 || first > length || last > length) return {};
    if (first == last) return GetCharacterRect(first);
    const DoubleRect a = GetCharacterRect(std::min(first, last));
    const DoubleRect b = GetCharacterRect(std::max(first, last));
    return {a.x, a.y, b.x + b.width - a.x, std::max(a.height, b.height)};
}

int32_t LTextBox::HitTestCharacter(const DoublePoint& point) const
{
    const double x = ClampToTextArea(point).x + GetScrollOffset().x;
    int32_t low = 0, high = GetTextLength() - 1;
    while (low <= high) {
        const int32_t mid = (low + high) / 2;
        const DoubleRect r = GetCharacterRect(mid);
        if (x >= r.x + r.width) {
            low = mid + 1;
        } else if (x < r.x) {
            high = mid - 1;
        } else {
            return x >= r.x + r.width / 2 ? mid + 1 : mid;
        }
    }
    return low >= GetTextLength() ? GetTextLength() : 0;
}

RCPtr<ILook> LTextBox::OwnLook(int32_t index) const
{
    return GetVisualPartIndex(index) == index ? GetVisualPart(index) : RCPtr<ILook>();
}

bool LTextBox::ShowLabel()
{
    RCPtr<ILook> label = OwnLook(kLabelText);
    double labelWidth = 0.0;
    if (!label || !OwnLook(kLabelBackground) || !label->GetTextWidth(labelWidth)) return false;
    const DoubleRect area = GetTextArea();
    RectRegion region;
    region.AddRect(DoubleRect{RoundHalfAwayFromZero(area.x), RoundHalfAwayFromZero(area.y), labelWidth,
                              RoundHalfAwayFromZero(area.height)});
    (void)SetPartRegion(kLabelText, region);  // both looks checked above
    (void)ResetPartRegion(kLabelBackground, kLabelText);
    ShowPart(kLabelBackground, true);
    SetPartOpacity(kLabelText, 1.0f, false);
    return true;
}

bool LTextBox::ShowSelection(int32_t state, int32_t selection)
{
    if (!OwnLook(state) || !OwnLook(selection)) return false;
    const DoublePoint offset = GetScrollOffset();
    DoubleRect range = GetRangeRect(mSelectionStart, mSelectionStart + mSelectionLength - 1);
    range.x -= offset.x;
    range.y -= offset.y;
    constexpr double kMinExtent = 1.0 / 8388608.0;
    // An empty region would let the highlight paint the whole box, so a
    // selection scrolled out of view shows no highlight at all.
    if (!range.Intersect(GetTextArea()) || range.width <= kMinExtent || range.height <= kMinExtent) return false;
    RectRegion region;
    region.AddRect(range);
    if (region.IsEmpty()) return false;
    (void)SetPartRegion(selection, region);  // both looks checked above
    (void)ResetPartRegion(state, selection);
    ShowPart(state, true);
    SetPartOpacity(selection, 1.0f, false);
    return true;
}

void LTextBox::UpdatePartStates()
{
    if (!IsEnabledInTree(true)) {
        ClearAllPartRegions();
        ShowPart(kDisabled, true);
        return;
    }
    const uint32_t conditions = GetConditions();
    const bool hot = (conditions & (Condition::kActive | Condition::kLeftDragging)) != 0;
    const bool focused = HasFocus();
    if (!focused && GetText().IsEmpty() && !mLabel.IsEmpty() && ShowLabel()) return;
    const int32_t state = (hot ? kHot : kNormal) + (focused ? kFocused : 0);
    if (mSelectionLength > 0 && focused && ShowSelection(state, kSelection + (hot ? 1 : 0))) return;
    ClearAllPartRegions();
    ShowPart(state, true);
}

}  // namespace QV
