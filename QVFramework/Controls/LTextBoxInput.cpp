// Keys (a table of named steps), word moves, and the mouse placing the caret
// and selecting.
#include <algorithm>

#include "KeyCode.h"
#include "LTextBox.h"
#include "TextClasses.h"

namespace QV {

namespace {

constexpr uint32_t kCtrl = KeyCode::kCtrl;
constexpr uint32_t kShift = KeyCode::kShift;
constexpr uint32_t kAlt = KeyCode::kAlt;
constexpr uint32_t kCmd = KeyCode::kCommand;
constexpr uint32_t kNoKey = KeyCode::kNoKey;

// HandleMoveKey's answer for a key that is none of the editing keys.
constexpr QVResult kNotAnEditingKey = 2;

constexpr uint32_t Key(uint32_t vk, uint32_t modifiers = 0)
{
    return KeyCode::Pressed(vk, modifiers);
}

}  // namespace

// ---- keys ----

QVResult LTextBox::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    if (!key) return kNotHandled;
    const uint32_t flags = key->code.code;
    const uint32_t vk = key->code.GetVirtualKey();
    if (vk == 0 && !(flags & kNoKey)) {
        const char16_t c = key->code.GetCharacter();
        if (!IsPrintableCharacter(c) || c == u'\t') return kNotHandled;
        if (!AcceptsCharacter(c)) return 0;
        (void)InsertCharacter(c);  // a refused edit leaves the text as it was; the key is used
        return S_OK;
    }
    const QVResult moved = HandleMoveKey(flags);
    if (moved != kNotAnEditingKey) return moved;
    if (!(flags & KeyCode::kKeyDown) || (flags & kNoKey)) return S_OK;
    const bool typing = vk == Keys::kSpace || (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z');
    if (typing) return (flags & (kCtrl | kAlt | kCmd)) ? kNotHandled : 0;
    return kNotHandled;
}

// kNotAnEditingKey when the key is none of the editing keys.
QVResult LTextBox::HandleMoveKey(uint32_t flags)
{
    const int32_t length = GetTextLength();
    switch (flags) {
    case Key(Keys::kLeft): MoveCaretTo(std::max(mCaret - 1, 0)); return S_OK;
    case Key(Keys::kRight): MoveCaretTo(std::min(mCaret + 1, length)); return S_OK;
    case Key(Keys::kLeft, kCtrl): MoveCaretTo(FindPreviousWordStart()); return S_OK;
    case Key(Keys::kRight, kCtrl): MoveCaretTo(FindNextWordStart()); return S_OK;
    case Key(Keys::kHome): MoveCaretTo(0); return S_OK;
    case Key(Keys::kEnd): MoveCaretTo(length); return S_OK;
    case Key(Keys::kLeft, kShift): SelectCharacterBefore(); return S_OK;
    case Key(Keys::kRight, kShift): SelectCharacterAfter(); return S_OK;
    case Key(Keys::kLeft, kCtrl | kShift): ExtendSelectionTo(FindPreviousWordStart()); return S_OK;
    case Key(Keys::kRight, kCtrl | kShift): ExtendSelectionTo(FindNextWordStart()); return S_OK;
    case Key(Keys::kHome, kShift): SelectToStart(); return S_OK;
    case Key(Keys::kEnd, kShift): SelectToEnd(); return S_OK;
    case Key(Keys::kBack):
    case Key(Keys::kDelete, kShift): DeleteSelectionOr(mCaret - 1, 1); return S_OK;
    case Key(Keys::kDelete): DeleteSelectionOr(mCaret, 1); return S_OK;
    case Key(Keys::kDelete, kCtrl): DeleteSelectionOr(mCaret, length - mCaret); return S_OK;
    case Key(Keys::kReturn): return Validate()->accepted ? kNotHandled : 0;
    // One line has nowhere to go up or down; the keys go on to the parent.
    case Key(Keys::kUp):
    case Key(Keys::kDown):
    case Key(Keys::kUp, kShift):
    case Key(Keys::kDown, kShift):
    case Key(Keys::kUp, kCtrl):
    case Key(Keys::kDown, kCtrl):
    case Key(Keys::kUp, kCtrl | kShift):
    case Key(Keys::kDown, kCtrl | kShift): return kNotHandled;
    default: return kNotAnEditingKey;
    }
}

// Arrows, Home and End without Shift drop the selection.
void LTextBox::MoveCaretTo(int32_t index)
{
    ClearSelection();
    SetCaretPosition(index, false);
}

// Shift+Left: the caret takes the character before it into the selection, or
// gives it back when the selection runs from the anchor to the caret.
void LTextBox::SelectCharacterBefore()
{
    if (mCaret == 0) return;
    if (mSelectionLength > 0) {
        if (mAnchor < mCaret) {
            --mSelectionLength;
        } else {
            --mSelectionStart;
            ++mSelectionLength;
        }
        UpdatePartStates();
    } else {
        SetSelection(mCaret - 1, 1, mCaret);
    }
    SetCaretPosition(mCaret - 1, false);
}

// Shift+Right: the mirror of SelectCharacterBefore.
void LTextBox::SelectCharacterAfter()
{
    if (mCaret == GetTextLength()) return;
    if (mSelectionLength > 0) {
        if (mCaret < mAnchor) {
            ++mSelectionStart;
            --mSelectionLength;
        } else {
            ++mSelectionLength;
        }
        UpdatePartStates();
    } else {
        SetSelection(mCaret, 1, mCaret);
    }
    SetCaretPosition(mCaret + 1, false);
}

// Shift+Home and Shift+End select from the anchor to that end of the text.
void LTextBox::SelectToStart()
{
    if (mCaret == 0) return;
    SetSelection(0, mAnchor, mAnchor);
    SetCaretPosition(0, false);
}

void LTextBox::SelectToEnd()
{
    const int32_t length = GetTextLength();
    if (mCaret == length) return;
    SetSelection(mAnchor, length - mAnchor, mAnchor);
    SetCaretPosition(length, false);
}

// The deleting keys take the selection when there is one, else their own
// range; DeleteText ignores a range outside the text. A refused edit leaves the
// text as it was; the key is used all the same.
void LTextBox::DeleteSelectionOr(int32_t start, int32_t count)
{
    if (mSelectionLength > 0) {
        DeleteSelection();
    } else {
        DeleteText(start, count);
    }
}

// ---- words ----

int32_t LTextBox::FindNextWordStart() const
{
    const std::u16string_view text = GetText().View();
    const int32_t length = static_cast<int32_t>(text.size());
    int32_t i = mCaret;
    while (i < length && IsSpaceCharacter(text[static_cast<size_t>(i)])) ++i;
    while (i < length && !IsSpaceCharacter(text[static_cast<size_t>(i)])) ++i;
    while (i < length && IsSpaceCharacter(text[static_cast<size_t>(i)])) ++i;
    return i;
}

int32_t LTextBox::FindPreviousWordStart() const
{
    if (mCaret <= 0) return 0;
    const std::u16string_view text = GetText().View();
    int32_t i = std::min(mCaret, static_cast<int32_t>(text.size())) - 1;
    while (i > 0 && IsSpaceCharacter(text[static_cast<size_t>(i)])) --i;
    while (i > 0 && !IsSpaceCharacter(text[static_cast<size_t>(i)])) --i;
    return IsSpaceCharacter(text[static_cast<size_t>(i)]) ? i + 1 : i;
}

// ---- mouse ----

void LTextBox::OnLeftMouseDown(const RCPtr<LMouseButtonParam>& param)
{
    if (!param) return;
    const LongPoint at = param->GetPoint();
    const int32_t index = HitTestCharacter({double(at.x), double(at.y)});
    if (param->GetModifiers() & LPointWithModifiersParam::kShift) {
        ExtendSelectionTo(index);
        return;
    }
    ClearSelection();
    SetCaretPosition(index, false);
    mAnchor = index;
}

void LTextBox::OnMouseMove(const RCPtr<LPointWithModifiersParam>& param)
{
    if (!param || !(GetConditions() & Condition::kLeftDragging)) return;
    const LongPoint at = param->GetPoint();
    ExtendSelectionTo(HitTestCharacter(ClampToTextArea({double(at.x), double(at.y)})));
}

void LTextBox::OnLeftClick(const RCPtr<LMouseButtonParam>& param)
{
    if (!param || !(param->IsDoubleClick() || (param->GetModifiers() & LPointWithModifiersParam::kCtrl))) return;
    ClearSelection();
    SetCaretPosition(FindPreviousWordStart(), false);
    mAnchor = mCaret;
    const std::u16string_view text = GetText().View();
    int32_t end = FindNextWordStart();
    while (end > mCaret && IsSpaceCharacter(text[static_cast<size_t>(end - 1)])) --end;
    ExtendSelectionTo(end);
}

}  // namespace QV
