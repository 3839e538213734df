#include <cmath>
#include <cstdlib>

#include "IControlApplication.h"
#include "LControl.h"

namespace QV {
namespace {

bool SameFont(const LFont* a, const LFont* b)
{
    if (a == b) return true;
    if (!a || !b) return false;
    return a->GetFaceName().ToLower() == b->GetFaceName().ToLower() && a->GetSize() == b->GetSize() &&
           a->GetStyle() == b->GetStyle();
}

double ParseNumber(const String& text)
{
    NarrowString narrow(text);
    return std::strtod(narrow.GetChars(), nullptr);
}

// The records of a window's top control: it covers the window's client area
// and follows its size, whatever the skin's own layout says.
void FillWindow(ControlLayout& layout)
{
    for (int axis = 0; axis < 2; ++axis) {
        layout.position[axis] = LayoutRecord::ParentOrigin();
        layout.anchor[axis] = LayoutRecord{};
        layout.size[axis] = LayoutRecord::ParentExtent();
        layout.limit[axis] = LayoutRecord{};
    }
}

}  // namespace

QVResult LControl::SetText(const String& text)
{
    return SetTextInternal(text, true) ? 0 : 1;
}

bool LControl::SetTextInternal(const String& text, bool relayout, bool force)
{
    if (!force && text == mText) return false;
    if (!mParent && mRootWindow) mRootWindow->SetWindowTitle(text);
    mText = text;
    for (size_t i = mLooks.size(); i-- > 0;) {
        if (mLooks[i]) mLooks[i]->SetText(text);
    }
    if (relayout && mHasLayout && mLayout.sizeFromContent) UpdateLayout();
    InvalidateArea();
    return true;
}

double LControl::NormalizedToValue(double t) const
{
    if (mRangeScale == 1) return mRangeMin * std::pow(mRangeMax / mRangeMin, t);
    return mRangeMin + (mRangeMax - mRangeMin) * t;
}

double LControl::ValueToNormalized(double v) const
{
    if (mRangeMax == mRangeMin) return 0.0;
    const double lo = std::min(mRangeMin, mRangeMax), hi = std::max(mRangeMin, mRangeMax);
    v = std::clamp(v, lo, hi);
    if (mRangeScale == 1) return std::log(v / mRangeMin) / std::log(mRangeMax / mRangeMin);
    return (v - mRangeMin) / (mRangeMax - mRangeMin);
}

double LControl::SetValue(double t)
{
    // Not a number has no place in 0..1: the value stays.
    if (std::isnan(t)) return mValue;
    t = t > 1.0 ? 1.0 : (t < 0.0 ? 0.0 : t);
    if (t == mValue) return mValue;
    RCPtr<LControl> self(this);
    mValue = t;
    OnValueChanged();
    Notify(u"NID_VALUE_CHANGE", RCPtr<LRefCountedObject>(new LValueParam(t, NormalizedToValue(t))));
    return mValue;
}

QVResult LControl::SetValueRange(double minimum, double maximum, int32_t scale)
{
    if (scale != 0 && scale != 1) return E_INVALIDARG;
    if (scale == 1 && !(minimum > 0 && maximum > 0)) return E_INVALIDARG;
    mRangeMin = minimum;
    mRangeMax = maximum;
    mRangeScale = scale;
    return S_OK;
}

bool LControl::ReadBoolAttribute(const char16_t* name, bool& value) const
{
    String text;
    if (!mDescriptor || !mDescriptor->GetAttribute(name, text)) return false;
    value = text.Trim().ToLower() == u"true";
    return true;
}

void LControl::ApplyNotFocusableAttribute()
{
    bool flag = false;
    if (ReadBoolAttribute(u"NOT_FOCUSABLE", flag)) {
        SetNotFocusable(flag);
    } else {
        SetNotFocusable(mLayout.tabStop < 0);
    }
}

QVResult LControl::LoadProperties()
{
    if (!mDescriptor || !mDescriptor->HasAttributes()) {
        SetNotFocusable(mLayout.tabStop < 0);
        return S_OK;
    }
    String initial;
    if (mDescriptor->GetAttribute(u"INITIAL_VALUE", initial)) SetValue(ParseNumber(initial));
    ApplyNotFocusableAttribute();
    bool flag = false;
    if (ReadBoolAttribute(u"USE_PARENT_TOOLTIP", flag)) mUseParentToolTip = flag;
    if (ReadBoolAttribute(u"WANTS_TAB", flag)) mWantsTab = flag;
    return S_OK;
}

bool LControl::IsDeferredCreate() const
{
    bool flag = false;
    return ReadBoolAttribute(u"DEFER_CREATE", flag) && flag;
}

QVResult LControl::ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor)
{
    if (!descriptor) return E_INVALIDARG;
    RCPtr<LControl> self(this);
    const bool again = mInitialized;
    const bool wasVisible = mLayout.isVisible;
    const bool wasEnabled = mLayout.isEnabled;
    if (again) SetLayer(1);
    const bool oldClip = mLayout.clipToParent;
    mDescriptor = descriptor;
    mLayout = descriptor->GetLayout();
    mHasLayout = true;
    if (mParent) mParent->mChildren.MarkLayoutChanged();
    // The unclipped count follows the new record below.
    const bool newClip = mLayout.clipToParent;
    mLayout.clipToParent = oldClip;
    const bool windowTop = !mParent && mRootWindow;
    if (windowTop) {
        mLayout.isVisible = true;
        // A new skin must not shrink or move the window's content.
        if (again) FillWindow(mLayout);
    }
    if (again) {
        if (wasVisible != mLayout.isVisible) {
            const bool target = mLayout.isVisible;
            mLayout.isVisible = wasVisible;
            SetVisible(target);
        }
        mLayout.isEnabled = wasEnabled;
        ApplyNotFocusableAttribute();
    }
    mLooks.clear();
    mLookOpacities.clear();
    for (uint32_t i = 0; i < descriptor->GetLookCount(); ++i) AddVisualPart(descriptor->CreateLook(i));
    const ControlTextProperties text = descriptor->GetTextProperties();
    mFontFollowsParent = text.followsParent;
    mSizeIsRelative = text.sizeIsRelative;
    // With no base font the control keeps the font it had.
    (void)SetFontSpec(text.face, text.size, text.style, text.sizeIsRelative);
    if (again) {
        SetTextInternal(mText, false, true);
    } else {
        String label;
        descriptor->GetAttribute(u"LABEL", label);
        SetTextInternal(label, false);
    }
    if (newClip != oldClip) SetLayer(newClip ? 1 : 0);
    if (mParent) mParent->mChildren.MarkChanged();

    std::vector<RCPtr<LControl>> kept = mChildren.Snapshot(ChildControlList::kInsertion);
    mChildren.RemoveAll();
    mFrame = {};
    UpdateLayout();
    if (!again) {
        ShowPart(0, true);
        mConditionsParam->oldConditions = mConditionsParam->newConditions;
        mConditionsParam->newConditions = ComputeConditions();
        mConditionsParam->pressX = mMouse.pressPoint.x;
        mConditionsParam->pressY = mMouse.pressPoint.y;
        return S_OK;
    }
    mLayoutPass = true;
    for (uint32_t i = 0; i < descriptor->GetChildCount(); ++i) {
        RCPtr<IControlDescriptor> entry = descriptor->GetChild(i);
        if (!entry) continue;
        for (auto it = kept.begin(); it != kept.end(); ++it) {
            if ((*it)->GetName() == entry->GetName()) {
                (void)SetParent(*it, entry);  // a kept child that cannot rejoin stays out
                kept.erase(it);
                break;
            }
        }
    }
    for (auto& child : kept) (void)SetParent(child, nullptr);  // without a descriptor it refuses; nothing to undo
    mLayoutPass = false;
    if (mChildren.GetCount() > 0) UpdateLayout();
    UpdateConditions();
    OnInitialized();
    mChildren.MarkChanged();
    UpdateLayout();
    InvalidateArea();
    return S_OK;
}

QVResult LControl::SetFontSpec(const String& face, float size, int32_t style, bool relative)
{
    RCPtr<LFont> base;
    if (mFontFollowsParent && mParent) {
        base = mParent->mFont;
    }
    if (!base) {
        if (IControlApplication* app = GetControlApplication()) base = app->GetDefaultFont();
    }
    if (!base) return E_FAIL;
    const bool inheritFace = face.IsEmpty();
    const bool inheritSize = size <= 0 || relative;
    const bool inheritStyle = style == -1;
    const float factor = (relative && size > 0) ? size : 1.0f;
    const String resolvedFace = inheritFace ? base->GetFaceName() : face;
    const float resolvedSize = inheritSize ? base->GetSize() * factor : size;
    const int32_t resolvedStyle = inheritStyle ? base->GetStyle() : style;
    RCPtr<LFont> font;
    if (resolvedFace == base->GetFaceName() && resolvedSize == base->GetSize() && resolvedStyle == base->GetStyle()) {
        font = base;
    } else {
        font = LFont::GetFont(resolvedFace, resolvedSize, resolvedStyle);
    }
    const QVResult set = SetFont(font);
    if (Failed(set)) return set;
    mInheritFace = inheritFace;
    mInheritSize = inheritSize;
    mInheritStyle = inheritStyle;
    mSizeFactor = factor;
    return S_OK;
}

QVResult LControl::SetFont(const RCPtr<LFont>& font)
{
    if (!font) return E_INVALIDARG;
    for (size_t i = mLooks.size(); i-- > 0;) {
        if (mLooks[i]) mLooks[i]->SetFont(font);
    }
    if (SameFont(font.Get(), mFont.Get())) return kNothingToDo;
    RCPtr<LControl> self(this);
    mFont = font;
    mInheritFace = mInheritSize = mInheritStyle = false;
    for (const RCPtr<LControl>& child : mChildren.Snapshot(ChildControlList::kInsertion)) child->UpdateInheritedFont();
    if (mHasLayout) UpdateLayout();
    InvalidateArea();
    return S_OK;
}

void LControl::UpdateInheritedFont()
{
    if (!mFontFollowsParent || !(mInheritFace || mInheritSize || mInheritStyle) || !mFont) return;
    const String face = mInheritFace ? String() : mFont->GetFaceName();
    const float size = mInheritSize ? (mSizeIsRelative ? mSizeFactor : 0.0f) : mFont->GetSize();
    const int32_t style = mInheritStyle ? -1 : mFont->GetStyle();
    (void)SetFontSpec(face, size, style, mInheritSize && mSizeIsRelative);  // on failure the old font stays in use
}

bool LControl::IsTextClipped() const
{
    const int32_t shown = GetFirstVisiblePartIndex();
    if (shown < 0) return false;
    const RCPtr<ILook>& look = mLooks[static_cast<size_t>(shown)];
    const double width = std::clamp(mFrame.width, -8388608.0, 8388608.0);
    const double area = look->GetTextAreaWidth(width);
    double textWidth = 0.0;
    if (!look->GetTextWidth(textWidth)) return !mText.IsEmpty();
    return textWidth > area;
}

}  // namespace QV
