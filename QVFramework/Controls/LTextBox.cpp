#include "LTextBox.h"

#include <algorithm>
#include <cmath>

#include "GeometryRounding.h"
#include "IControlApplication.h"
#include "IControlRenderer.h"
#include "KeyCode.h"
#include "LClipboard.h"
#include "LLabel.h"
#include "LMenuItemDescriptor.h"
#include "LNotificationQueue.h"
#include "LPopupMenu.h"
#include "MeasurementRendererSource.h"
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

LClipboard* Clipboard()
{
    IControlApplication* app = GetControlApplication();
    return app ? app->GetClipboard() : nullptr;
}

String ClipboardText()
{
    LClipboard* clipboard = Clipboard();
    if (!clipboard) return String();
    RCPtr<LRefCountedObject> value = clipboard->GetText();
    auto* text = dynamic_cast<LStringValue*>(value.Get());
    return text ? text->GetText() : String();
}

// What a paste inserts: the clipboard's text without the line breaks that
// end it, as a copied line usually brings one along.
String PasteText()
{
    const String text = ClipboardText();
    std::u16string_view view = text.View();
    while (!view.empty() && (view.back() == u'\n' || view.back() == u'\r')) view.remove_suffix(1);
    return view.size() == text.View().size() ? text : String(std::u16string(view).c_str());
}

// The edit menu in its order: label string ID, request, command.
struct EditEntry {
    const char16_t* label;
    const char16_t* request;
    int32_t command;
};
constexpr EditEntry kEditEntries[] = {{u"EDIT_CUT", u"NID_EDIT_CUT_REQ", LClipboard::kCut},
                                      {u"EDIT_COPY", u"NID_EDIT_COPY_REQ", LClipboard::kCopy},
                                      {u"EDIT_PASTE", u"NID_EDIT_PASTE_REQ", LClipboard::kPaste},
                                      {u"EDIT_DELETE", u"NID_EDIT_DELETE_REQ", LClipboard::kDelete}};

// What a menu entry's state query answers for a command that cannot run now.
constexpr QVResult kCommandUnavailable = E_INVALIDARG;

double Clamp23(double v)
{
    return std::clamp(v, -8388608.0, 8388608.0);
}

}  // namespace

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
    if (text == GetText()) return 1;
    LControl::SetTextInternal(text, true);
    UpdateTextExtent();
    const bool hadSelection = mSelectionLength > 0;
    mSelectionStart = mSelectionLength = 0;
    // Callers move the caret after the change; until then it stays inside the text.
    mCaret = std::min(mCaret, GetTextLength());
    mAnchor = std::min(mAnchor, GetTextLength());
    if (resetCaret) (void)SetCaretPosition(0, true);  // 0 is always a valid index
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
        (void)SetTextInternal(GetText().Left(length), false);  // cannot fail; the text is shorter
        (void)SetCaretPosition(GetTextLength(), true);         // the end is always a valid index
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
        return 1;
    }
    const bool unchanged = index == mCaret;
    mCaret = index;
    if (mSelectionLength == 0) mAnchor = mCaret;
    UpdateCaretRect();
    mCaretVisible = true;
    mNextBlink = Now() + kShownTime;
    (void)InvalidateArea();  // a redraw request; nothing to undo
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
    (void)SetCaretPosition(index, false);  // the index is inside the text; only says whether it moved
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
        // The index is inside the text; only says whether it moved.
        (void)SetCaretPosition(std::min(start, static_cast<int32_t>(copy.size())), false);
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
    // The index is inside the text; only says whether it moved.
    if (result == S_OK) (void)SetCaretPosition(caret + static_cast<int32_t>(add.size()), true);
    return result;
}

QVResult LTextBox::DeleteText(int32_t start, int32_t count)
{
    const int32_t length = GetTextLength();
    if (start < 0 || count <= 0 || start >= length) return 1;
    std::u16string copy(GetText().View());
    copy.erase(static_cast<size_t>(start), static_cast<size_t>(std::min(count, length - start)));
    const QVResult result = SetTextInternal(String(copy.c_str()), false);
    // The index is inside the text; only says whether it moved.
    if (result == S_OK) (void)SetCaretPosition(start, true);
    return result;
}

QVResult LTextBox::DeleteSelection()
{
    if (mSelectionLength <= 0) return 1;
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
    (void)SetCaretPosition(start + text.GetLength(), true);  // inside the new text; only says whether it moved
    ClearSelection();
    mAnchor = mCaret;
    return result;
}

RCPtr<LTextValidationParams> LTextBox::Validate()
{
    RCPtr<LTextValidationParams> params = LTextValidationParams::Create(GetText());
    Notify(u"NID_TEXTBOX_VALIDATING", params);
    // Replacing the text cannot fail; 1 would only mean it was unchanged.
    if (params->accepted && params->text != GetText()) (void)SetTextInternal(params->text, false);
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

// ---- edit commands ----

bool LTextBox::CanPerformEdit(int32_t command) const
{
    if (command >= LClipboard::kDelete && command <= LClipboard::kCopy) return mSelectionLength > 0;
    if (command != LClipboard::kPaste) return false;
    const String text = PasteText();
    if (text.IsEmpty()) return false;
    for (char16_t c : text.View()) {
        if (!AcceptsCharacter(c)) return false;
    }
    return mMaxLength <= 0 || GetTextLength() - mSelectionLength + text.GetLength() <= mMaxLength;
}

QVResult LTextBox::PerformEdit(int32_t command)
{
    switch (command) {
    case LClipboard::kCopy:
    case LClipboard::kCut: {
        if (mSelectionLength <= 0) return E_FAIL;
        LClipboard* clipboard = Clipboard();
        if (!clipboard) return E_FAIL;
        const QVResult written = clipboard->SetText(
            RCPtr<LRefCountedObject>(new LStringValue(GetText().Mid(mSelectionStart, mSelectionLength))));
        // A cut the clipboard refused keeps its text.
        if (Failed(written)) return written;
        if (command == LClipboard::kCut) {
            // The copy stands; a cut whose delete failed reports it.
            const QVResult deleted = DeleteSelection();
            if (Failed(deleted)) return deleted;
        }
        return S_OK;
    }
    case LClipboard::kDelete:
        if (mSelectionLength <= 0) return E_FAIL;
        return Failed(DeleteSelection()) ? E_FAIL : S_OK;
    case LClipboard::kPaste: {
        const String text = PasteText();
        if (text.IsEmpty()) return E_FAIL;
        // Pasted text passes the same checks as typed text.
        for (char16_t c : text.View()) {
            if (!AcceptsCharacter(c)) return E_FAIL;
        }
        if (mSelectionLength > 0) return ReplaceSelection(text);
        if (mMaxLength > 0 && GetTextLength() + text.GetLength() > mMaxLength) return E_FAIL;
        return InsertText(text) == S_OK ? S_OK : E_FAIL;
    }
    default: return E_FAIL;
    }
}

// ---- edit menu ----

RCPtr<LMenuDescriptor> LTextBox::CreateEditMenu()
{
    IControlApplication* app = GetControlApplication();
    if (!app) return nullptr;
    const RCPtr<IControlStringTable> strings = app->GetApplicationStrings();
    // The four labels ship with the framework's strings in every language;
    // the application's table may override them.
    const RCPtr<IControlStringTable> framework = app->GetFrameworkStrings();
    if (!strings && !framework) return nullptr;
    const auto find = [](const RCPtr<IControlStringTable>& table, const char16_t* id, String& text) {
        return table && table->GetString(id, text);
    };
    RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
    for (const EditEntry& entry : kEditEntries) {
        String label;
        if (!find(strings, entry.label, label) && !find(framework, entry.label, label)) label = entry.label;
        // Appending to a new menu cannot fail.
        (void)menu->InsertItem(menu->GetItemCount(), label, entry.request, true, false);
    }
    return menu;
}

int32_t LTextBox::EditCommandOf(const String& request)
{
    for (const EditEntry& entry : kEditEntries) {
        if (request == entry.request) return entry.command;
    }
    return -1;
}

void LTextBox::ConnectNotifications()
{
    if (RCPtr<LMenuDescriptor> menu = CreateEditMenu()) SetContextMenu(RCPtr<LRefCountedObject>(menu.Get()));
    LScrollView::ConnectNotifications();
}

QVResult LTextBox::QueryCommandState(const RCPtr<LNotification>& command)
{
    const int32_t edit = command ? EditCommandOf(String(command->GetID())) : -1;
    if (edit < 0) return 1;
    LClipboard* clipboard = Clipboard();
    return clipboard && clipboard->CanPerformEditCommand(edit) ? S_OK : kCommandUnavailable;
}

// Entries that cannot run now are shown disabled; the popup takes them from
// the menu it is given.
QVResult LTextBox::ShowContextMenu(const RCPtr<LRefCountedObject>& menu)
{
    if (auto* descriptor = dynamic_cast<LMenuDescriptor*>(menu.Get())) {
        for (uint32_t i = 0; i < descriptor->GetItemCount(); ++i) {
            const RCPtr<LMenuItemDescriptor> entry = descriptor->GetItem(i);
            if (entry->IsSeparator() || entry->GetKey().IsEmpty()) continue;
            const QVResult state = QueryCommandState(LNotification::Create(entry->GetKey().GetChars()));
            if (state != 1) entry->SetEnabled(state == S_OK);
        }
    }
    return LScrollView::ShowContextMenu(menu);
}

// The chosen entry posts its request to the application's center, where the
// clipboard bridge runs it on the focused box, as the shortcut keys do.
void LTextBox::OnPrepareContextMenu(LControl* popup)
{
    auto* menu = dynamic_cast<LPopupMenu*>(popup);
    IControlApplication* app = GetControlApplication();
    if (!menu || !app || menu->HasNotificationTarget()) return;
    RCPtr<LNotificationDistributor> center = app->GetDefaultNotificationCenter();
    if (auto* queue = dynamic_cast<LNotificationQueue*>(center.Get())) {
        (void)menu->SetNotificationTarget(RCPtr<LNotificationQueue>(queue));
    }
}

// ---- keys ----

bool LTextBox::Shift(uint32_t flags) const
{
    return (flags & kShift) != 0;
}

QVResult LTextBox::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    if (!key) return kNotHandled;
    const uint32_t flags = key->code.code;
    const uint32_t vk = (flags >> 16) & 0xFF;
    if (vk == 0 && !(flags & kNoKey)) {
        const char16_t c = static_cast<char16_t>(flags & 0xFFFF);
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
    case Key(Keys::kLeft):
        ClearSelection();
        // The index is inside the text; only says whether it moved.
        if (mCaret > 0) (void)SetCaretPosition(mCaret - 1, false);
        return S_OK;
    case Key(Keys::kRight):
        ClearSelection();
        // The index is inside the text; only says whether it moved.
        if (mCaret < length) (void)SetCaretPosition(mCaret + 1, false);
        return S_OK;
    case Key(Keys::kUp):
    case Key(Keys::kDown):
    case Key(Keys::kUp, kShift):
    case Key(Keys::kDown, kShift):
    case Key(Keys::kUp, kCtrl):
    case Key(Keys::kDown, kCtrl):
    case Key(Keys::kUp, kCtrl | kShift):
    case Key(Keys::kDown, kCtrl | kShift): return kNotHandled;
    case Key(Keys::kLeft, kShift):
        if (mCaret == 0) return S_OK;
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
        (void)SetCaretPosition(mCaret - 1, false);  // the index is inside the text; only says whether it moved
        return S_OK;
    case Key(Keys::kRight, kShift):
        if (mCaret == length) return S_OK;
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
        (void)SetCaretPosition(mCaret + 1, false);  // the index is inside the text; only says whether it moved
        return S_OK;
    case Key(Keys::kLeft, kCtrl):
        ClearSelection();
        // The index is inside the text; only says whether it moved.
        (void)SetCaretPosition(FindPreviousWordStart(), false);
        return S_OK;
    case Key(Keys::kRight, kCtrl):
        ClearSelection();
        (void)SetCaretPosition(FindNextWordStart(), false);  // the index is inside the text; only says whether it moved
        return S_OK;
    case Key(Keys::kLeft, kCtrl | kShift): ExtendSelectionTo(FindPreviousWordStart()); return S_OK;
    case Key(Keys::kRight, kCtrl | kShift): ExtendSelectionTo(FindNextWordStart()); return S_OK;
    case Key(Keys::kHome):
        ClearSelection();
        (void)SetCaretPosition(0, false);  // the index is inside the text; only says whether it moved
        return S_OK;
    case Key(Keys::kEnd):
        ClearSelection();
        (void)SetCaretPosition(length, false);  // the index is inside the text; only says whether it moved
        return S_OK;
    case Key(Keys::kHome, kShift):
        if (mCaret != 0) {
            SetSelection(0, mAnchor, mAnchor);
            (void)SetCaretPosition(0, false);  // the index is inside the text; only says whether it moved
        }
        return S_OK;
    case Key(Keys::kEnd, kShift):
        if (mCaret != length) {
            SetSelection(mAnchor, length - mAnchor, mAnchor);
            (void)SetCaretPosition(length, false);  // the index is inside the text; only says whether it moved
        }
        return S_OK;
    case Key(Keys::kBack):
    case Key(Keys::kDelete, kShift):
        if (mSelectionLength > 0) {
            (void)DeleteSelection();  // a refused edit leaves the text as it was; the key is used
        } else if (mCaret > 0) {
            (void)DeleteText(mCaret - 1, 1);  // a refused edit leaves the text as it was; the key is used
        }
        return S_OK;
    case Key(Keys::kDelete):
        if (mSelectionLength > 0) {
            (void)DeleteSelection();  // a refused edit leaves the text as it was; the key is used
        } else if (mCaret < length) {
            (void)DeleteText(mCaret, 1);  // a refused edit leaves the text as it was; the key is used
        }
        return S_OK;
    case Key(Keys::kDelete, kCtrl):
        if (mSelectionLength > 0) {
            (void)DeleteSelection();  // a refused edit leaves the text as it was; the key is used
        } else {
            (void)DeleteText(mCaret, length - mCaret);  // a refused edit leaves the text as it was; the key is used
        }
        return S_OK;
    case Key(Keys::kReturn): return Validate()->accepted ? kNotHandled : 0;
    default: return kNotAnEditingKey;
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
    (void)SetCaretPosition(index, false);  // the index is inside the text; only says whether it moved
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
    (void)SetCaretPosition(FindPreviousWordStart(), false);  // the index is inside the text; only says whether it moved
    mAnchor = mCaret;
    const std::u16string_view text = GetText().View();
    int32_t end = FindNextWordStart();
    while (end > mCaret && IsSpaceCharacter(text[static_cast<size_t>(end - 1)])) --end;
    ExtendSelectionTo(end);
}

QVResult LTextBox::SetScrollOffset(const DoublePoint& offset)
{
    if (mInScrollOffset) return S_OK;
    mInScrollOffset = true;
    const QVResult result = LScrollView::SetScrollOffset(offset);
    if (IsInertialScrollRunning(0)) {
        const double x = GetScrollOffset().x;
        if (x <= 0.0 || x >= ScrollLimit()) (void)StopInertialScroll(0);  // only says whether it was moving
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
        mCaretVisible = true;
        mNextBlink = Now() + kShownTime;
        (void)InvalidateArea();  // a redraw request; nothing to undo
        (void)SubscribeIdle();   // without idle ticks the caret just stays shown
    } else if (cleared(Condition::kHasFocus)) {
        if (RCPtr<IRootWindow> root = GetRootWindow()) root->SetCaret(false, this, CaretInRoot());
        (void)UnsubscribeIdle();  // nothing is left to undo if unregistering fails
        mCaretVisible = false;
        (void)SetScrollOffset({0.0, 0.0});  // scrolling cannot fail; 1 means no change
        (void)InvalidateArea();             // a redraw request; nothing to undo
    } else {
        if (set(Condition::kActive)) {
            if (IControlApplication* app = GetControlApplication()) SetCursor(app->GetCursorHandle(u"UI_CURSOR_IBEAM"));
        }
        if (cleared(Condition::kLeftDragging)) {
            (void)StopInertialScroll(0);  // only says whether that axis was moving
            (void)StopInertialScroll(1);  // only says whether that axis was moving
        }
    }
    const uint32_t watched = Condition::kActive | Condition::kHasFocus | Condition::kEnabled;
    if (((was ^ now) & watched) || cleared(Condition::kLeftDragging)) UpdatePartStates();
}

void LTextBox::OnTimer()
{
    const double now = Now();
    if (now < mNextBlink) return;
    mCaretVisible = !mCaretVisible;
    mNextBlink = now + (mCaretVisible ? kShownTime : kHiddenTime);
    (void)InvalidateArea();  // a redraw request; nothing to undo
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
    // Only says whether the extent changed.
    (void)SetClientExtent(std::clamp(size.x, -kLimit, kLimit), std::clamp(size.y, -kLimit, kLimit));
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
    if (offset.x != GetScrollOffset().x) (void)SetScrollOffset(offset);  // scrolling cannot fail; 1 means no change
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
    (void)ShowPart(kLabelBackground, true);
    (void)SetPartOpacity(kLabelText, 1.0f, false);
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
    (void)ShowPart(state, true);
    (void)SetPartOpacity(selection, 1.0f, false);
    return true;
}

void LTextBox::UpdatePartStates()
{
    if (!IsEnabledInTree(true)) {
        ClearAllPartRegions();
        (void)ShowPart(kDisabled, true);  // a skin without the look keeps what it shows
        return;
    }
    const uint32_t conditions = GetConditions();
    const bool hot = (conditions & (Condition::kActive | Condition::kLeftDragging)) != 0;
    const bool focused = HasFocus();
    if (!focused && GetText().IsEmpty() && !mLabel.IsEmpty() && ShowLabel()) return;
    const int32_t state = (hot ? kHot : kNormal) + (focused ? kFocused : 0);
    if (mSelectionLength > 0 && focused && ShowSelection(state, kSelection + (hot ? 1 : 0))) return;
    ClearAllPartRegions();
    (void)ShowPart(state, true);  // a skin without the look keeps what it shows
}

QVResult LTextBox::ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor)
{
    const String text = GetText();
    const QVResult result = LScrollView::ApplyDescriptor(descriptor);
    String label;
    if (descriptor && descriptor->GetAttribute(u"LABEL", label)) {
        (void)SetText(text);  // restores the text; it cannot fail
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
