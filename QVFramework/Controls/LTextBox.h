#pragma once
// A one-line editable text field: caret, selection, filters, clipboard
// commands and a validation step before the focus may leave.
// Indexes are UTF-16 units of the whole text. UI thread only.
#include "ControlBases.h"
#include "OwnHandler.h"

namespace QV {

class LTextBox : public ScrollViewBase {
    QV_TYPE_NAME("class QV::LTextBox")
public:
    static constexpr double kBlinkInterval = 0.5;

    LTextBox(LControl* parent, const String& name);
    ~LTextBox() override;

    // The owning control sets the filter directly (an up-down allows digits).
    void SetCharacterFilter(const String& characters, bool allowList)
    {
        mFilter = characters;
        mFilterIsAllowList = allowList;
    }
    const String& GetLabel() const { return mLabel; }
    int32_t GetCaret() const { return mCaret; }
    int32_t GetSelectionStart() const { return mSelectionStart; }
    int32_t GetSelectionLength() const { return mSelectionLength; }
    int32_t GetAnchor() const { return mAnchor; }
    int32_t GetMaxLength() const { return mMaxLength; }
    bool IsCaretVisible() const { return mCaretVisible; }

protected:
    String mFilter;
    bool mFilterIsAllowList = true;
    String mLabel;
    int32_t mCaret = 0;
    int32_t mSelectionStart = 0;
    int32_t mSelectionLength = 0;
    int32_t mAnchor = 0;
    int32_t mMaxLength = 0;
    // x, y, width (always 1) and height (the font's line height).
    float mCaretRect[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    bool mInScrollOffset = false;
    bool mCaretVisible = true;
    double mNextBlink = 0.0;
};

}  // namespace QV
