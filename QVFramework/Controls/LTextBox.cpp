// The text box's text, caret and selection, and the edits that change them;
// drawing, keys and the mouse, and edit commands are in the other LTextBox*.cpp files.
#include "LTextBox.h"

#include <algorithm>
#include <cmath>

#include "LLabel.h"
#include "TextClasses.h"

namespace QV {

RCPtr<LTextValidationParams> LTextValidationParams::Create(const String& text)
{
    return RCPtr<LTextValidationParams>(new LTextValidationParams(text));
}

LTextBox::LTextBox(LControl* parent, const String& name) : LScrollView(parent, name) {}

LTextBox::~LTextBox() = default;

QVResult LTextBox::Initialize()
{
    const QVResult result = LScrollView::Initialize();
    if (result < 0) return result;
    // The text moves with the caret's scrolling; without this a long text
    // would stand still while caret, selection and clicks moved.
    SetLabelScrolls(true);
    UpdateTextExtent();
    UpdateCaretRect();
    return result;
}

// ---- text ----

QVResult LTextBox::SetText(const String& text)
{
    return SetTextInternal(text, true);
}

QVResult LTextBox::SetTextInternal(const String& text, bool resetCaret)
{
    if (text == GetText()) return kNothingToDo;
    LControl::SetTextInternal(text, true);
    UpdateTextExtent();
    const bool hadSelection = mSelectionLength > 0;
    mSelectionStart = mSelectionLength = 0;
    // Callers move the caret after the change; until then it stays inside the text.
    mCaret = std::min(mCaret, GetTextLength());
    mAnchor = std::min(mAnchor, GetTextLength());
    if (resetCaret) SetCaretPosition(0, true);
    if (!mLabel.IsEmpty()) {
        if (RCPtr<ILook> part = GetVisualPart(kLabelText)) part->SetText(mLabel);
    }
    if (hadSelection || !mLabel.IsEmpty()) UpdatePartStates();
    UpdateCaretRect();
    Notify(u"NID_TEXTBOX_TEXT_CHANGE");
    return S_OK;
}

void LTextBox::SetMaxLength(int32_t length)
{
    mMaxLength = length;
    if (length > 0 && GetTextLength() > length) {
        SetTextInternal(GetText().Left(length), false);
        SetCaretPosition(GetTextLength(), true);
    }
}

bool LTextBox::AcceptsCharacter(char16_t c) const
{
    if (c == u'\t' || !IsPrintableCharacter(c)) return false;
    if (mFilter.IsEmpty()) return true;
    const bool listed = mFilter.View().find(c) != std::u16string_view::npos;
    return listed == mFilterIsAllowList;
}

// ---- caret and selection ----

QVResult LTextBox::SetCaretPosition(int32_t index, bool force)
{
    if (index < 0 || index > GetTextLength()) return E_INVALIDARG;
    if (index == mCaret && !force) {
        if (mSelectionLength == 0) mAnchor = mCaret;
        return kNothingToDo;
    }
    const bool unchanged = index == mCaret;
    mCaret = index;
    if (mSelectionLength == 0) mAnchor = mCaret;
    UpdateCaretRect();
    RestartBlink();
    return unchanged ? 1 : S_OK;
}

void LTextBox::ClearSelection()
{
    const bool had = mSelectionLength > 0;
    mSelectionStart = mSelectionLength = mAnchor = 0;
    if (had) UpdatePartStates();
}

void LTextBox::SelectRange(int32_t first, int32_t last)
{
    if (first == -1) {
        ClearSelection();
        return;
    }
    if (first < -1) return;
    const int32_t oldStart = mSelectionStart, oldLength = mSelectionLength;
    const int32_t length = GetTextLength();
    if (first == 0 && last == -1) {
        mSelectionStart = 0;
        mSelectionLength = length;
    } else {
        if (first >= length || last < 0 || last >= length) return;
        mSelectionStart = std::min(first, last);
        mSelectionLength = std::abs(last - first) + 1;
    }
    mAnchor = mSelectionStart;
    if (oldStart != mSelectionStart || oldLength != mSelectionLength) UpdatePartStates();
}

void LTextBox::SetSelection(int32_t start, int32_t count, int32_t anchor)
{
    if (count > 0) {
        SelectRange(start, start + count - 1);
    } else if (mSelectionStart != start || mSelectionLength != 0) {
        mSelectionStart = start;
        mSelectionLength = 0;
        UpdatePartStates();
    }
    mAnchor = anchor;
}

void LTextBox::ExtendSelectionTo(int32_t index)
{
    const int32_t anchor = mAnchor;
    SetSelection(std::min(anchor, index), std::abs(index - anchor), anchor);
    SetCaretPosition(index, false);
}

// ---- editing ----

QVResult LTextBox::InsertCharacter(char16_t c)
{
    return InsertText(String(c));
}

// Typed and pasted text alike: the selection goes, then what fits goes in.
QVResult LTextBox::InsertText(const String& text)
{
    std::u16string copy(GetText().View());
    if (mSelectionLength > 0) {
        copy.erase(static_cast<size_t>(mSelectionStart), static_cast<size_t>(mSelectionLength));
        const int32_t start = mSelectionStart;
        mSelectionStart = mSelectionLength = 0;
        mCaret = std::min(mCaret, static_cast<int32_t>(copy.size()));
        SetCaretPosition(std::min(start, static_cast<int32_t>(copy.size())), false);
        mAnchor = mCaret;
    }
    const int32_t caret = mCaret;
    std::u16string add(text.View());
    if (mMaxLength > 0) {
        const size_t room = copy.size() >= static_cast<size_t>(mMaxLength) ? 0 : mMaxLength - copy.size();
        if (add.size() > room) add.clear();
    }
    copy.insert(static_cast<size_t>(caret), add);
    const QVResult result = SetTextInternal(String(copy.c_str()), false);
    if (result == S_OK) SetCaretPosition(caret + static_cast<int32_t>(add.size()), true);
    return result;
}

QVResult LTextBox::DeleteText(int32_t start, int32_t count)
{
    const int32_t length = GetTextLength();
    if (start < 0 || count <= 0 || start >= length) return kNothingToDo;
    std::u16string copy(GetText().View());
    copy.erase(static_cast<size_t>(start), static_cast<size_t>(std::min(count, length - start)));
    const QVResult result = SetTextInternal(String(copy.c_str()), false);
    if (result == S_OK) SetCaretPosition(start, true);
    return result;
}

QVResult LTextBox::DeleteSelection()
{
    if (mSelectionLength <= 0) return kNothingToDo;
    return DeleteText(mSelectionStart, mSelectionLength);
}

QVResult LTextBox::ReplaceSelection(const String& text)
{
    if (mSelectionLength <= 0) return E_FAIL;
    if (mMaxLength > 0 && GetTextLength() - mSelectionLength + text.GetLength() > mMaxLength) return E_FAIL;
    std::u16string copy(GetText().View());
    const int32_t start = mSelectionStart;
    copy.replace(static_cast<size_t>(start), static_cast<size_t>(mSelectionLength), text.View());
    const QVResult result = SetTextInternal(String(copy.c_str()), false);
    // A refused change leaves the text, caret and selection as they were.
    if (Failed(result)) return result;
    SetCaretPosition(start + text.GetLength(), true);
    ClearSelection();
    mAnchor = mCaret;
    return result;
}

RCPtr<LTextValidationParams> LTextBox::Validate()
{
    RCPtr<LTextValidationParams> params = LTextValidationParams::Create(GetText());
    Notify(u"NID_TEXTBOX_VALIDATING", params);
    if (params->accepted && params->text != GetText()) SetTextInternal(params->text, false);
    if (params->accepted) Notify(u"NID_TEXTBOX_VALIDATED", params);
    return params;
}

bool LTextBox::AllowsFocusChange()
{
    return Validate()->accepted;
}

QVResult LTextBox::SetFocus(bool first)
{
    if (HasFocus()) Validate();
    return LScrollView::SetFocus(first);
}

QVResult LTextBox::ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor)
{
    const String text = GetText();
    const QVResult result = LScrollView::ApplyDescriptor(descriptor);
    String label;
    if (descriptor && descriptor->GetAttribute(u"LABEL", label)) {
        SetText(text);
        mLabel = label;
        if (!label.IsEmpty()) {
            if (RCPtr<ILook> part = OwnLook(kLabelText)) part->SetText(label);
        }
        UpdatePartStates();
    }
    return result;
}

String LTextBox::GetToolTipText() const
{
    return ClippedTextToolTip(*this);
}

}  // namespace QV
