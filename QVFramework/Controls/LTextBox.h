#pragma once
// A one-line editable text field: caret, selection, filters, clipboard
// commands with their right-click menu, and a validation step before the
// focus may leave.
// Indexes are UTF-16 units of the whole text. UI thread only.
#include "LMenuDescriptor.h"
#include "LScrollView.h"
#include "LTextValidationParams.h"
#include "OwnHandler.h"

namespace QV {

class LTextBox : public LScrollView {
    QV_TYPE_NAME("class QV::LTextBox")
public:
    static constexpr double kShownTime = 0.5;
    static constexpr double kHiddenTime = 0.3;
    enum Part : int32_t {
        kNormal = 0,
        kHot = 1,
        kLabelBackground = 2,
        kFocused = 3,
        kDisabled = 6,
        kLabelText = 9,
        kSelection = 10
    };

    LTextBox(LControl* parent, const String& name);
    ~LTextBox() override;

    // ---- control slots ----
    QVResult SetText(const String& text) override;
    QVResult SetScrollOffset(const DoublePoint& offset) override;
    bool HandlesEditCommands() const override { return true; }
    bool CanPerformEdit(int32_t command) const override;
    [[nodiscard]] QVResult PerformEdit(int32_t command) override;
    QVResult SetFocus(bool first) override;
    void ConnectNotifications() override;
    [[nodiscard]] QVResult QueryCommandState(const RCPtr<LNotification>& command, bool& enabled) override;
    [[nodiscard]] QVResult ShowContextMenu(const RCPtr<LRefCountedObject>& menu) override;
    void OnPrepareContextMenu(LControl* popup) override;
    bool AllowsFocusChange() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    [[nodiscard]] QVResult ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor) override;
    void OnLeftMouseDown(const RCPtr<LMouseButtonParam>& param) override;
    void OnMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
    void OnLeftClick(const RCPtr<LMouseButtonParam>& param) override;
    [[nodiscard]] QVResult OnKeyDown(const RCPtr<LKeyParam>& key) override;
    void OnTimer() override;
    QVResult DrawCaret(IControlRenderer& renderer) override;
    [[nodiscard]] QVResult Initialize() override;
    String GetToolTipText() const override;

    // ---- edit menu ----
    // Cut, Copy, Paste and Delete, labelled from the string tables; null when
    // the application has no strings.
    static RCPtr<LMenuDescriptor> CreateEditMenu();
    // The edit command a request names; -1 for any other notification.
    static int32_t EditCommandOf(const String& request);

    // ---- editing ----
    // 1 when the text is unchanged.
    virtual QVResult SetTextInternal(const String& text, bool resetCaret);
    void SetMaxLength(int32_t length);
    QVResult SetCaretPosition(int32_t index, bool force);
    void ClearSelection();
    void SelectRange(int32_t first, int32_t last);
    void SetSelection(int32_t start, int32_t count, int32_t anchor);
    void ExtendSelectionTo(int32_t index);
    [[nodiscard]] QVResult InsertCharacter(char16_t c);
    QVResult DeleteText(int32_t start, int32_t count);
    QVResult DeleteSelection();
    [[nodiscard]] QVResult ReplaceSelection(const String& text);
    RCPtr<LTextValidationParams> Validate();

    // ---- measuring ----
    int32_t GetTextLength() const { return GetText().GetLength(); }
    DoubleRect GetCharacterRect(int32_t index) const;
    DoubleRect GetRangeRect(int32_t first, int32_t last) const;
    int32_t HitTestCharacter(const DoublePoint& point) const;
    int32_t FindNextWordStart() const;
    int32_t FindPreviousWordStart() const;
    // Look 0's text area; a zero rectangle when that look lays out no text.
    DoubleRect GetTextArea() const;
    // Where the first line of the text starts, in control coordinates.
    DoublePoint GetLineStart() const;
    DoubleRect GetCaretRect() const { return {mCaretRect[0], mCaretRect[1], mCaretRect[2], mCaretRect[3]}; }
    // White over dark ground, black over light.
    uint32_t GetCaretColor() const;

    // The owning control sets the filter directly (an up-down allows digits).
    void SetCharacterFilter(const String& characters, bool allowList)
    {
        mFilter = characters;
        mFilterIsAllowList = allowList;
    }
    // Whether typed or pasted text may hold c.
    bool AcceptsCharacter(char16_t c) const;
    const String& GetLabel() const { return mLabel; }
    int32_t GetCaret() const { return mCaret; }
    int32_t GetSelectionStart() const { return mSelectionStart; }
    int32_t GetSelectionLength() const { return mSelectionLength; }
    int32_t GetAnchor() const { return mAnchor; }
    int32_t GetMaxLength() const { return mMaxLength; }
    bool IsCaretVisible() const { return mCaretVisible; }

protected:
    bool GetTextGeometry(DoubleRect& area, DoublePoint& firstLine, DoublePoint& size) const;
    // The laid-out text's size bounds how far the text scrolls.
    void UpdateTextExtent();
    // The farthest sideways scroll a flick may reach.
    double ScrollLimit() const;
    DoublePoint ClampToTextArea(const DoublePoint& point) const;
    LongPoint CaretInRoot() const;
    // Tells the window where the caret is while the box has the focus.
    void ReportCaret();
    void UpdateCaretRect();
    void RestartBlink();
    void UpdatePartStates();
    // The look at that very index; no stand-in for a missing one.
    RCPtr<ILook> OwnLook(int32_t index) const;
    // Each false, changing nothing, when its looks are missing or it has
    // nothing to show.
    bool ShowLabel();
    bool ShowSelection(int32_t state, int32_t selection);
    void KeepCaretVisible();
    double MeasureWidth(const String& text) const;
    double LineHeight() const;
    [[nodiscard]] QVResult HandleMoveKey(uint32_t key);
    // HandleMoveKey's steps.
    void MoveCaretTo(int32_t index);
    void SelectCharacterBefore();
    void SelectCharacterAfter();
    void SelectToStart();
    void SelectToEnd();
    void DeleteSelectionOr(int32_t start, int32_t count);
    [[nodiscard]] QVResult InsertText(const String& text);

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
