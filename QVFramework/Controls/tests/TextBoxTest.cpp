#include <functional>

#include "ClassFactoryTestSupport.h"
#include "ControlTestSupport.h"
#include "FakeClipboardService.h"
#include "FakeMeasurementRenderer.h"
#include "LClipboard.h"
#include "LLook.h"
#include "LMenuItemDescriptor.h"
#include "LMenuListBoxItem.h"
#include "LNotificationCenter.h"
#include "LPopupMenu.h"
#include "LTextBox.h"
#include "MeasurementRendererSource.h"
#include "ResourceModule.h"
#include "SkinDocumentLoader.h"
#include "SkinStore.h"

namespace control_test {
namespace {

constexpr uint32_t kCtrl = KeyCode::kCtrl;
constexpr uint32_t kShift = KeyCode::kShift;

uint32_t Vk(uint32_t vk, uint32_t mods = 0)
{
    return KeyCode::Pressed(vk, mods);
}
uint32_t Ch(char16_t c)
{
    return KeyCode::kKeyDown | c;
}

class ClipboardApplication : public FakeApplication {
public:
    LClipboard* GetClipboard() override { return clipboard.Get(); }
    IControlFactory* GetControlFactory() override { return &classes; }
    RCPtr<LNotificationDistributor> GetDefaultNotificationCenter() override
    {
        return RCPtr<LNotificationDistributor>(center.Get());
    }
    RCPtr<IControlStringTable> GetApplicationStrings() override { return appStrings; }
    RCPtr<IControlStringTable> GetFrameworkStrings() override { return frameworkStrings; }

    RCPtr<LClipboard> clipboard = LClipboard::Create();
    class_factory_test::ClassFactory classes;
    RCPtr<LNotificationCenter> center;
    RCPtr<IControlStringTable> appStrings;
    RCPtr<IControlStringTable> frameworkStrings;
};

class TextBoxFixture : public ControlFixture {
protected:
    TextBoxFixture()
        : mClipScope(clipApp), mClipService(fakeClipboard), mMeasure(RCPtr<LMeasurementRenderer>(measure.Get()))
    {
        MakeTop();
        box = MakeBox(u"box", 0, 70);
        other = MakeBox(u"other", 100, 70);
        log->Listen(box.Get(), {u"NID_TEXTBOX_TEXT_CHANGE", u"NID_TEXTBOX_VALIDATING", u"NID_TEXTBOX_VALIDATED"});
    }

    RCPtr<LTextBox> MakeBox(const char16_t* name, double x, double width, const char16_t* label = nullptr)
    {
        RCPtr<LTextBox> b(new LTextBox(top.Get(), name));
        RCPtr<FakeDescriptor> d(new FakeDescriptor(name));
        d->lookCount = 12;
        d->layout.position[0].offset = x;
        d->layout.size[0].offset = width;
        d->layout.size[1].offset = 20;
        d->layout.size[0].kind = d->layout.size[1].kind = LayoutKind::kParent;
        if (label) d->attributes.push_back({u"LABEL", label});
        b->ApplyDescriptor(d);
        b->SetNotFocusable(false);
        b->Initialize();
        b->SetInitialized(true);
        EXPECT_GE(b->UpdateLayout(), 0);
        for (uint32_t i = 0; i < b->GetPartCount(); ++i) {
            if (auto* look = dynamic_cast<FakeLook*>(b->GetVisualPart(static_cast<int32_t>(i)).Get())) {
                look->width = width;
                look->height = 20;
            }
        }
        return b;
    }

    QVResult Press(uint32_t code)
    {
        KeyCode key;
        key.code = code;
        return box->OnKeyDown(RCPtr<LKeyParam>(new LKeyParam(key)));
    }
    void Type(const std::u16string& text)
    {
        for (char16_t c : text) Press(Ch(c));
    }
    void Set(const char16_t* text, int32_t caret, int32_t selStart = 0, int32_t selLength = 0)
    {
        box->SetText(text);
        box->SelectRange(-1, 0);
        EXPECT_GE(box->SetCaretPosition(caret, true), 0);
        if (selLength > 0) box->SetSelection(selStart, selLength, selStart);
        log->Clear();
    }
    void ClickOther()
    {
        other->HandleMouseDown(LMouseButtonParam::Create(1, {5, 5}, 0, false, 1, 0));
        other->HandleMouseUp(LMouseButtonParam::Create(1, {5, 5}, 0, false, 0, 0));
    }
    std::string Text() const { return Narrow(box->GetText().GetChars()); }
    int Count(const char* name) const
    {
        return static_cast<int>(std::count(log->names.begin(), log->names.end(), name));
    }

    ClipboardApplication clipApp;
    ScopedControlApplication mClipScope;
    Platform::FakeClipboardService fakeClipboard;
    Platform::ScopedClipboardService mClipService;
    RCPtr<Testing::FakeMeasurementRenderer> measure{new Testing::FakeMeasurementRenderer()};
    ScopedMeasurementRenderer mMeasure;
    RCPtr<LTextBox> box;
    RCPtr<LTextBox> other;
    RCPtr<NotificationLog> log{new NotificationLog()};  // counted: distributors hold it
};

TEST_F(TextBoxFixture, TypingAndDeletingTable)
{
    struct Row {
        const char* what;
        const char16_t* text;
        int32_t caret, selStart, selLength, maxLength;
        const char16_t* filter;
        bool allow;
        std::vector<uint32_t> keys;
        const char* expected;
        int32_t expectedCaret;
        std::vector<QVResult> results;
    };
    const Row rows[] = {
        {"typing inserts at the caret", u"ad", 1, 0, 0, 0, u"", true, {Ch('b'), Ch('c')}, "abcd", 3, {0, 0}},
        {"full box takes nothing", u"abc", 3, 0, 0, 3, u"", true, {Ch('d')}, "abc", 3, {0}},
        {"full box replaces a selection", u"abc", 3, 1, 1, 3, u"", true, {Ch('x')}, "axc", 2, {0}},
        {"allow list refuses others", u"1", 1, 0, 0, 0, u"0123456789", true, {Ch('a'), Ch('2')}, "12", 2, {0, 0}},
        {"deny list refuses listed", u"", 0, 0, 0, 0, u"-", false, {Ch('-'), Ch('x')}, "x", 1, {0, 0}},
        {"tab and controls pass on", u"", 0, 0, 0, 0, u"", true, {Ch('\t'), Ch(0x7), Ch('\n')}, "", 0, {1, 1, 1}},
        {"letters with Ctrl pass on",
         u"",
         0,
         0,
         0,
         0,
         u"",
         true,
         {Vk('A', kCtrl), Vk('A'), Vk(Keys::kF1)},
         "",
         0,
         {1, 0, 1}},
        {"backspace at 0 does nothing", u"ab", 0, 0, 0, 0, u"", true, {Vk(Keys::kBack)}, "ab", 0, {0}},
        {"backspace", u"abc", 2, 0, 0, 0, u"", true, {Vk(Keys::kBack)}, "ac", 1, {0}},
        {"shift+delete as backspace", u"abc", 2, 0, 0, 0, u"", true, {Vk(Keys::kDelete, kShift)}, "ac", 1, {0}},
        {"delete", u"abc", 1, 0, 0, 0, u"", true, {Vk(Keys::kDelete)}, "ac", 1, {0}},
        {"delete at the end", u"abc", 3, 0, 0, 0, u"", true, {Vk(Keys::kDelete)}, "abc", 3, {0}},
        {"ctrl+delete to the end", u"abcd", 1, 0, 0, 0, u"", true, {Vk(Keys::kDelete, kCtrl)}, "a", 1, {0}},
        {"delete a selection", u"abcd", 3, 1, 2, 0, u"", true, {Vk(Keys::kBack)}, "ad", 1, {0}},
        {"delete takes a selection first", u"abcd", 3, 1, 2, 0, u"", true, {Vk(Keys::kDelete)}, "ad", 1, {0}},
        {"ctrl+delete takes a selection first", u"abcd", 1, 1, 2, 0, u"", true, {Vk(Keys::kDelete, kCtrl)}, "ad", 1, {0}},
        {"up and down pass on", u"ab", 1, 0, 0, 0, u"", true, {Vk(Keys::kUp), Vk(Keys::kDown, kShift)}, "ab", 1, {1, 1}},
        {"a key release does nothing", u"ab", 1, 0, 0, 0, u"", true, {Keys::kLeft << 16}, "ab", 1, {0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        box->SetMaxLength(0);
        box->SetCharacterFilter(row.filter, row.allow);
        Set(row.text, row.caret, row.selStart, row.selLength);
        box->SetMaxLength(row.maxLength);
        std::vector<QVResult> results;
        for (uint32_t key : row.keys) results.push_back(Press(key));
        EXPECT_EQ(Text(), row.expected);
        EXPECT_EQ(box->GetCaret(), row.expectedCaret);
        EXPECT_EQ(results, row.results);
    }
}

TEST_F(TextBoxFixture, AccentedLettersTypeUnderTheUtf8Classes)
{
    Type(u"caf\u00e9");
    EXPECT_EQ(box->GetText().ToUtf8(), "caf\xc3\xa9");
    EXPECT_EQ(box->GetCaret(), 4);
}

TEST_F(TextBoxFixture, CaretAndSelectionKeysTable)
{
    struct Row {
        const char* what;
        int32_t caret, selStart, selLength;
        std::vector<uint32_t> keys;
        int32_t expectedCaret, expectedStart, expectedLength;
    };
    // "ab cd ef"
    const Row rows[] = {
        {"ctrl+right inside a word", 1, 0, 0, {Vk(Keys::kRight, kCtrl)}, 3, 0, 0},
        {"ctrl+right from a space passes the next word", 2, 0, 0, {Vk(Keys::kRight, kCtrl)}, 6, 0, 0},
        {"ctrl+left from the end", 8, 0, 0, {Vk(Keys::kLeft, kCtrl)}, 6, 0, 0},
        {"ctrl+left from a word start", 3, 0, 0, {Vk(Keys::kLeft, kCtrl)}, 0, 0, 0},
        {"left clears the selection", 4, 2, 2, {Vk(Keys::kLeft)}, 3, 0, 0},
        {"right stops at the end", 8, 0, 0, {Vk(Keys::kRight)}, 8, 0, 0},
        {"shift+left twice", 4, 0, 0, {Vk(Keys::kLeft, kShift), Vk(Keys::kLeft, kShift)}, 2, 2, 2},
        {"shift+right then back", 4, 0, 0, {Vk(Keys::kRight, kShift), Vk(Keys::kRight, kShift), Vk(Keys::kLeft, kShift)}, 5, 4, 1},
        {"shift+left then right gives a character back", 4, 0, 0,
         {Vk(Keys::kLeft, kShift), Vk(Keys::kLeft, kShift), Vk(Keys::kRight, kShift)}, 3, 3, 1},
        {"shift+left at the start", 0, 0, 0, {Vk(Keys::kLeft, kShift)}, 0, 0, 0},
        {"shift+right at the end", 8, 0, 0, {Vk(Keys::kRight, kShift)}, 8, 0, 0},
        {"ctrl+shift+left selects back to the word start", 5, 0, 0, {Vk(Keys::kLeft, kCtrl | kShift)}, 3, 3, 2},
        {"shift+home", 4, 0, 0, {Vk(Keys::kHome, kShift)}, 0, 0, 4},
        {"shift+end", 4, 0, 0, {Vk(Keys::kEnd, kShift)}, 8, 4, 4},
        {"home and end", 4, 0, 0, {Vk(Keys::kHome), Vk(Keys::kEnd)}, 8, 0, 0},
        {"ctrl+shift+right selects a word", 3, 0, 0, {Vk(Keys::kRight, kCtrl | kShift)}, 6, 3, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Set(u"ab cd ef", row.caret, row.selStart, row.selLength);
        for (uint32_t key : row.keys) EXPECT_EQ(Press(key), 0);
        EXPECT_EQ(box->GetCaret(), row.expectedCaret);
        EXPECT_EQ(box->GetSelectionStart(), row.expectedStart);
        EXPECT_EQ(box->GetSelectionLength(), row.expectedLength);
        EXPECT_EQ(Text(), "ab cd ef");
    }
}

TEST_F(TextBoxFixture, ClipboardCommandsTable)
{
    struct Row {
        const char* what;
        const char16_t* text;
        int32_t caret, selStart, selLength, maxLength;
        const char16_t* filter;
        const char* clipboardBefore;  // null: untouched
        int32_t command;
        QVResult result;
        const char* expected;
        int32_t expectedCaret;
        const char* clipboardAfter;
    };
    const Row rows[] = {
        {"copy", u"hello", 5, 1, 3, 0, u"", "x", LClipboard::kCopy, 0, "hello", 5, "ell"},
        {"cut leaves the caret at the start", u"hello", 5, 1, 3, 0, u"", "x", LClipboard::kCut, 0, "ho", 1, "ell"},
        {"delete", u"hello", 5, 0, 2, 0, u"", "x", LClipboard::kDelete, 0, "llo", 0, "x"},
        {"copy without a selection", u"hello", 2, 0, 0, 0, u"", "x", LClipboard::kCopy, E_FAIL, "hello", 2, "x"},
        {"paste at the caret", u"ho", 1, 0, 0, 0, u"", "ell", LClipboard::kPaste, 0, "hello", 4, "ell"},
        {"paste over a selection", u"hxxo", 3, 1, 2, 0, u"", "ell", LClipboard::kPaste, 0, "hello", 4, "ell"},
        {"paste that fits exactly", u"ab", 2, 0, 0, 4, u"", "cd", LClipboard::kPaste, 0, "abcd", 4, "cd"},
        {"paste past the maximum", u"ab", 2, 0, 0, 3, u"", "cd", LClipboard::kPaste, E_FAIL, "ab", 2, "cd"},
        {"paste refused by the filter", u"1", 1, 0, 0, 0, u"0123456789", "2a", LClipboard::kPaste, E_FAIL, "1", 1,
         "2a"},
        {"paste of a line break", u"a", 1, 0, 0, 0, u"", "b\nc", LClipboard::kPaste, E_FAIL, "a", 1, "b\nc"},
        {"paste of nothing", u"a", 1, 0, 0, 0, u"", "", LClipboard::kPaste, E_FAIL, "a", 1, ""},
        {"a copied line pastes without its line break", u"a", 1, 0, 0, 0, u"", "bc\r\n", LClipboard::kPaste, 0, "abc",
         3, "bc\r\n"},
        {"trailing breaks do not count against the maximum", u"ab", 2, 0, 0, 4, u"", "cd\n\n", LClipboard::kPaste, 0,
         "abcd", 4, "cd\n\n"},
        {"a filtered box takes a copied number", u"1", 1, 0, 0, 0, u"0123456789", "23\n", LClipboard::kPaste, 0, "123",
         3, "23\n"},
        {"only line breaks paste nothing", u"a", 1, 0, 0, 0, u"", "\r\n", LClipboard::kPaste, E_FAIL, "a", 1, "\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        box->SetMaxLength(0);
        box->SetCharacterFilter(row.filter, true);
        Set(row.text, row.caret, row.selStart, row.selLength);
        box->SetMaxLength(row.maxLength);
        fakeClipboard.ForeignCopy(row.clipboardBefore);
        EXPECT_EQ(box->PerformEdit(row.command), row.result);
        EXPECT_EQ(Text(), row.expected);
        EXPECT_EQ(box->GetCaret(), row.expectedCaret);
        EXPECT_EQ(fakeClipboard.PeekText().value_or(""), row.clipboardAfter);
    }
}

TEST_F(TextBoxFixture, ACutTheClipboardRefusesKeepsTheText)
{
    Set(u"hello", 5, 1, 3);
    fakeClipboard.ForeignCopy("x");
    fakeClipboard.failWrites = true;
    EXPECT_LT(box->PerformEdit(LClipboard::kCut), 0);
    EXPECT_EQ(Text(), "hello");
    EXPECT_EQ(box->GetSelectionLength(), 3);
    EXPECT_EQ(fakeClipboard.PeekText().value_or(""), "x");
}

TEST_F(TextBoxFixture, EditCommandsAreOfferedOnlyWhenTheyCanApply)
{
    Set(u"ab", 2);
    fakeClipboard.ForeignCopy("cd");
    EXPECT_FALSE(box->CanPerformEdit(LClipboard::kCopy));
    EXPECT_FALSE(box->CanPerformEdit(LClipboard::kCut));
    EXPECT_TRUE(box->CanPerformEdit(LClipboard::kPaste));
    box->SetMaxLength(3);
    EXPECT_FALSE(box->CanPerformEdit(LClipboard::kPaste));
    box->SetSelection(0, 1, 0);
    EXPECT_TRUE(box->CanPerformEdit(LClipboard::kPaste)) << "the selection makes room";
    EXPECT_TRUE(box->CanPerformEdit(LClipboard::kDelete));
    fakeClipboard.ForeignCopy("c\r\n");
    EXPECT_TRUE(box->CanPerformEdit(LClipboard::kPaste)) << "a copied line's break is no character";
    fakeClipboard.ForeignClear();
    EXPECT_FALSE(box->CanPerformEdit(LClipboard::kPaste));
}

TEST_F(TextBoxFixture, SettingTheSameTextAgainSendsNoChange)
{
    box->SetText(u"abc");
    box->SetText(u"abc");
    EXPECT_EQ(Count("NID_TEXTBOX_TEXT_CHANGE"), 1);
}

TEST_F(TextBoxFixture, EnterAndFocusChangesValidate)
{
    log->onReceive = [&](const RCPtr<LNotification>& n) {
        if (Narrow(n->GetID()) != "NID_TEXTBOX_VALIDATING") return;
        auto* p = dynamic_cast<LTextValidationParams*>(n->GetPayload().Get());
        if (p->text == String(u"bad")) p->accepted = false;
        if (p->text == String(u"trim ")) p->text = u"trim";
    };
    Set(u"good", 0);
    EXPECT_EQ(Press(Vk(Keys::kReturn)), kNotHandled) << "accepted: passed on";
    EXPECT_EQ(Count("NID_TEXTBOX_VALIDATED"), 1);

    Set(u"bad", 0);
    EXPECT_EQ(Press(Vk(Keys::kReturn)), 0) << "refused: swallowed";
    EXPECT_EQ(Count("NID_TEXTBOX_VALIDATED"), 0);

    box->SetFocus(true);
    ASSERT_TRUE(box->HasFocus());
    ClickOther();
    EXPECT_TRUE(box->HasFocus()) << "a refused validation keeps the focus";

    Set(u"trim ", 0);
    EXPECT_EQ(Press(Vk(Keys::kReturn)), kNotHandled);
    EXPECT_EQ(Text(), "trim");
    EXPECT_EQ(Count("NID_TEXTBOX_TEXT_CHANGE"), 1);
    ClickOther();
    EXPECT_TRUE(other->HasFocus());
}

TEST_F(TextBoxFixture, CaretBlinksOnTheClockWhileFocused)
{
    clipApp.nowMs = 1000;
    box->SetFocus(true);
    EXPECT_TRUE(box->IsCaretVisible());
    std::vector<bool> phases;
    for (uint32_t t : {1490u, 1500u, 1790u, 1800u, 2300u}) {
        clipApp.nowMs = t;
        root->Idle();
        phases.push_back(box->IsCaretVisible());
    }
    EXPECT_EQ(phases, (std::vector<bool>{true, false, false, true, false}));
    other->SetFocus(true);
    EXPECT_FALSE(box->IsCaretVisible());
    EXPECT_EQ(box->GetIdleUserCount(), 0);
}

TEST_F(TextBoxFixture, CaretColourFollowsTheGroundUnderIt)
{
    box->SetFocus(true);
    auto* look = dynamic_cast<FakeLook*>(box->GetVisualPart(box->GetFirstVisiblePartIndex()).Get());
    ASSERT_NE(look, nullptr);
    look->color = 0xFF202020;
    EXPECT_EQ(box->GetCaretColor(), 0xFFFFFFFFu);
    look->color = 0xFFE0E0E0;
    EXPECT_EQ(box->GetCaretColor(), 0xFF000000u);
}

TEST_F(TextBoxFixture, HitTestingTakesTheNearerSideOfACharacter)
{
    Set(u"abcd", 0);  // 7 pixels a character
    const std::pair<double, int32_t> cases[] = {{-5, 0}, {0, 0},  {3.4, 0}, {3.5, 1},
                                                {10, 1}, {11, 2}, {27, 4},  {60, 4}};
    for (const auto& [x, index] : cases) {
        SCOPED_TRACE(x);
        EXPECT_EQ(box->HitTestCharacter({x, 5}), index);
    }
}

TEST_F(TextBoxFixture, MousePlacesExtendsAndSelectsWords)
{
    Set(u"ab cd  ef", 0);
    box->OnLeftMouseDown(LMouseButtonParam::Create(1, {15, 5}, 0, false, 1, 0));
    EXPECT_EQ(box->GetCaret(), 2);
    box->OnLeftMouseDown(LMouseButtonParam::Create(1, {36, 5}, 8, false, 1, 0));
    EXPECT_EQ(box->GetSelectionStart(), 2);
    EXPECT_EQ(box->GetSelectionLength(), 3);

    box->OnLeftMouseDown(LMouseButtonParam::Create(1, {26, 5}, 0, false, 1, 0));
    box->OnLeftClick(LMouseButtonParam::Create(1, {26, 5}, 0, true, 0, 0));
    EXPECT_EQ(box->GetSelectionStart(), 3);
    EXPECT_EQ(box->GetSelectionLength(), 2) << "the word without its trailing spaces";
}

TEST_F(TextBoxFixture, TheViewFollowsTheCaret)
{
    box->SetFocus(true);
    Type(u"0123456789abcdefghij");  // 140 pixels in a 70-pixel box
    EXPECT_GT(box->GetScrollOffset().x, 0.0);
    const double caretX = box->GetCaretRect().x - box->GetScrollOffset().x;
    EXPECT_GE(caretX, -1.0);
    EXPECT_LE(caretX, 70.0);
    Press(Vk(Keys::kHome));
    EXPECT_EQ(box->GetScrollOffset().x, 0.0);
}

TEST_F(TextBoxFixture, AnEmptyUnfocusedBoxShowsItsLabel)
{
    RCPtr<LTextBox> cue = MakeBox(u"cue", 200, 70, u"Search");
    EXPECT_EQ(Narrow(cue->GetLabel().GetChars()), "Search");
    EXPECT_TRUE(cue->GetText().IsEmpty()) << "the label is no text";
    cue->SetText(u"x");
    cue->SetText(u"");
    EXPECT_EQ(cue->GetFirstVisiblePartIndex(), 2);
    EXPECT_EQ(cue->GetPartOpacity(9), 1.0f);
    cue->SetFocus(true);
    EXPECT_EQ(cue->GetFirstVisiblePartIndex(), 3);
    EXPECT_EQ(cue->GetPartOpacity(9), 0.0f);
}

TEST_F(TextBoxFixture, TheTextDrawsShiftedByTheScrollOffset)
{
    box->SetFocus(true);
    Type(u"0123456789abcdefghij");
    ASSERT_GT(box->GetScrollOffset().x, 0.0);
    auto& look = static_cast<FakeLook&>(*box->GetVisualPart(box->GetFirstVisiblePartIndex()));
    look.labelOffsets.clear();
    FakeRenderer renderer;
    LControl::ControlList overlay;
    box->Draw(renderer, {LongRect(0, 0, 70, 20)}, overlay, 0);
    ASSERT_FALSE(look.labelOffsets.empty());
    EXPECT_EQ(look.labelOffsets.back(), box->GetScrollOffset()) << "text, caret and clicks move together";
}

TEST_F(TextBoxFixture, CaretAndCharactersStartAtTheFirstLinesOrigin)
{
    auto& look = static_cast<FakeLook&>(*box->GetVisualPart(0));
    look.inset = 2;
    look.lineOrigin = {1, 3};  // the look's layout places the line inside its text area
    Set(u"abcd", 2);
    EXPECT_EQ(box->GetLineStart(), (DoublePoint{3, 5}));
    EXPECT_EQ(box->GetCaretRect().x, 3 + 14 - 1);
    EXPECT_EQ(box->GetCaretRect().y, 5);
    EXPECT_EQ(box->GetCharacterRect(1), (DoubleRect{10, 5, 7, 16}));
    EXPECT_EQ(box->HitTestCharacter({3 + 7 + 3.4, 0}), 1);
    EXPECT_EQ(box->HitTestCharacter({3 + 7 + 3.5, 0}), 2);
    look.hasTextLayout = false;
    EXPECT_EQ(box->GetTextArea(), DoubleRect{}) << "a look without a text layout has no text area";
}

TEST_F(TextBoxFixture, TheWindowFollowsTheCaretWhileFocused)
{
    Set(u"abcdefghij", 0);
    EXPECT_TRUE(root->carets.empty()) << "no caret without the focus";
    box->SetFocus(true);
    ASSERT_FALSE(root->carets.empty());
    EXPECT_TRUE(root->carets.back().show);
    EXPECT_EQ(root->carets.back().control, box.Get());
    const LongPoint origin = box->GetPositionInRoot().Round();
    EXPECT_EQ(root->carets.back().at, (LongPoint{origin.x - 1, origin.y}));
    const struct {
        uint32_t key;
        int32_t x;  // in the box
    } moves[] = {{Vk(Keys::kRight), 6}, {Vk(Keys::kEnd), 69}, {Vk(Keys::kHome), -1}};
    for (const auto& move : moves) {
        SCOPED_TRACE(move.x);
        const size_t before = root->carets.size();
        Press(move.key);
        ASSERT_GT(root->carets.size(), before);
        EXPECT_TRUE(root->carets.back().show);
        EXPECT_EQ(root->carets.back().at.x, origin.x + move.x) << "where the caret shows, scrolled";
    }
    const size_t before = root->carets.size();
    ClickOther();
    ASSERT_GT(root->carets.size(), before);
    EXPECT_FALSE(root->carets[before].show) << "the focus went to the other box";
    EXPECT_EQ(root->carets[before].control, box.Get());
}

// The shipped field look: a one-pixel frame, a text area 4 pixels in from each
// side and the line centred in the 22-pixel height.
class ShippedFieldFixture : public TextBoxFixture {
protected:
    class ShippedLookDescriptor : public FakeDescriptor {
    public:
        ShippedLookDescriptor(String name, RCPtr<LLookDescriptor> look)
            : FakeDescriptor(std::move(name)), mLook(std::move(look))
        {}
        RCPtr<ILook> CreateLook(uint32_t) const override { return RCPtr<ILook>(LLook::Create(mLook, false).Get()); }

    private:
        RCPtr<LLookDescriptor> mLook;
    };

    void SetUp() override
    {
        SkinDocumentLoader loader(store, Platform::GetProgramModule());
        store.imageFolderPrefix = String(u"::");
        ASSERT_EQ(loader.LoadSkin(String(u"::APP_SKINS")), S_OK);
        const auto look = store.looks.find(String(u"edField"));
        ASSERT_NE(look, store.looks.end());
        field = RCPtr<LTextBox>(new LTextBox(top.Get(), u"field"));
        RCPtr<ShippedLookDescriptor> d(new ShippedLookDescriptor(u"field", look->second));
        d->layout.position[1].offset = 40;
        d->layout.size[0].offset = 58;
        d->layout.size[1].offset = 22;
        d->layout.size[0].kind = d->layout.size[1].kind = LayoutKind::kParent;
        ASSERT_GE(field->ApplyDescriptor(d), 0);
        field->SetNotFocusable(false);
        ASSERT_GE(field->SetFont(LFont::GetFont(u"Sans", 12.0f, 0)), 0);
        ASSERT_GE(field->Initialize(), 0);
        field->SetInitialized(true);
        ASSERT_GE(field->UpdateLayout(), 0);
        field->SetText(u"0123456789abcdef");  // 112 pixels in a 50-pixel text area
        field->SetFocus(true);
    }
    void Key(uint32_t code)
    {
        KeyCode key;
        key.code = code;
        (void)field->OnKeyDown(RCPtr<LKeyParam>(new LKeyParam(key)));
    }
    void Click(int32_t x) { field->OnLeftMouseDown(LMouseButtonParam::Create(1, {x, 11}, 0, false, 1, 0)); }

    SkinStore store;
    RCPtr<LTextBox> field;
};

TEST_F(ShippedFieldFixture, CaretAndClicksAgreeWithTheDrawnTextWhenItOverflows)
{
    ASSERT_EQ(field->GetTextArea(), (DoubleRect{4, 0, 50, 22}));
    struct Row {
        const char* what;
        std::function<void()> act;
        int32_t caret;
        double caretX;  // in the text, before scrolling
        double scroll;
    };
    const Row rows[] = {
        {"Home", [&] { Key(Vk(Keys::kHome)); }, 0, 3, 0},
        {"End scrolls the end into the text area", [&] { Key(Vk(Keys::kEnd)); }, 16, 4 + 112 - 1, 62},
        // Shown at 30, the text position 92 is right of the middle of '12' (88..95).
        {"click nearer the right of a character", [&] { Click(30); }, 13, 4 + 91 - 1, 62},
        {"click nearer the left of a character", [&] { Click(27); }, 12, 4 + 84 - 1, 62},
        {"a click left of the text area takes the first shown boundary", [&] { Click(0); }, 9, 4 + 63 - 1, 62},
        {"Home scrolls back", [&] { Key(Vk(Keys::kHome)); }, 0, 3, 0},
        {"a click right of the text area", [&] { Click(57); }, 7, 4 + 49 - 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.act();
        EXPECT_EQ(field->GetCaret(), row.caret);
        EXPECT_EQ(field->GetCaretRect().x, row.caretX);
        EXPECT_EQ(field->GetCaretRect().y, 3) << "the line is centred: (22 - 16) / 2";
        EXPECT_EQ(field->GetScrollOffset().x, row.scroll);
        EXPECT_EQ(field->GetCharacterRect(row.caret).x - 1, row.caretX) << "the caret stands at its character";
    }
}

TEST_F(ShippedFieldFixture, TheLaidOutTextBoundsTheScrollRange)
{
    EXPECT_EQ(field->GetClientExtent(), (DoublePoint{112, 16}));
    EXPECT_EQ(field->GetScrollRange(nullptr), (DoubleRect{0, 0, 112 - 56, 0}))
        << "less the client area inside the frame";
    const struct {
        double x;
        bool keepsFlicking;
    } rows[] = {{30, true}, {0, false}, {64, true}, {65, false}, {80, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.x);
        field->SetScrollOffset({row.x == 0 ? 1.0 : 0.0, 0});
        field->StartInertialScroll(0, 500.0, 65, 0, nullptr);
        field->SetScrollOffset({row.x, 0});
        EXPECT_EQ(field->IsInertialScrollRunning(0), row.keepsFlicking);
        field->StopInertialScroll(0);
    }
    field->SetText(u"ab");
    EXPECT_EQ(field->GetClientExtent(), (DoublePoint{14, 16}));
    EXPECT_EQ(field->GetScrollRange(nullptr), (DoubleRect{0, 0, 0, 0}));
}

// Covered pixels, not node lists: how a subtraction splits an area is the region's business.
// Looks with a half-pixel text area inset, so that rounding shows.
class TextBoxPartsFixture : public TextBoxFixture {
protected:
    FakeLook& Look(LTextBox& b, int32_t index) { return static_cast<FakeLook&>(*b.GetVisualPart(index)); }
    RectRegion RegionOf(LTextBox& b, int32_t index) { return Look(b, index).region; }
    void Prepare(LTextBox& b)
    {
        Look(b, 0).inset = 2.5;       // text area {2.5, 2.5, 65, 15}
        Look(b, 9).textWidth = 41.4;  // the label's laid-out width
    }
    // Whatever an earlier state left behind.
    void Soil(LTextBox& b)
    {
        for (uint32_t i = 0; i < b.GetPartCount(); ++i) {
            RectRegion junk;
            junk.AddRect(RegionRect{1, 1, 2, 2});
            Look(b, static_cast<int32_t>(i)).region = junk;
        }
    }
    void ExpectNoRegions(LTextBox& b)
    {
        for (uint32_t i = 0; i < b.GetPartCount(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_TRUE(RegionOf(b, static_cast<int32_t>(i)).IsEmpty());
        }
    }
};

TEST_F(TextBoxPartsFixture, PartStatesFollowFocusTextAndLabel)
{
    RCPtr<LTextBox> labelled = MakeBox(u"labelled", 200, 70, u"Search");
    RCPtr<LTextBox> plain = box;
    Prepare(*labelled);
    Prepare(*plain);
    // The label sits at the text area's rounded corner, as wide as its text and
    // as high as the area; the ground takes the rest of the box.
    const RegionRect labelArea{3, 3, 44, 18};
    const std::vector<RegionRect> rest{{0, 0, 70, 3}, {0, 3, 3, 18}, {44, 3, 70, 18}, {0, 18, 70, 20}};
    struct Row {
        const char* what;
        bool focused, textEmpty, labelEmpty;
        bool labelCase;
        int32_t shown;
    } rows[] = {
        {"unfocused, empty, labelled: the label shows", false, true, false, true, 2},
        {"focused, empty, labelled: the label hides", true, true, false, false, 3},
        {"unfocused with text, labelled: the text shows", false, false, false, false, 0},
        {"focused with text, labelled", true, false, false, false, 3},
        {"unfocused, empty, no label", false, true, true, false, 0},
        {"focused, empty, no label", true, true, true, false, 3},
        {"unfocused with text, no label", false, false, true, false, 0},
        {"focused with text, no label", true, false, true, false, 3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        LTextBox& b = r.labelEmpty ? *plain : *labelled;
        other->SetFocus(true);
        b.SetText(u"");
        Soil(b);
        b.SetText(r.textEmpty ? u"x" : u"abc");  // a change, so the parts are refreshed
        if (r.textEmpty) b.SetText(u"");
        if (r.focused) {
            b.SetFocus(true);
        } else {
            b.SetFocus(true);
            other->SetFocus(true);
        }
        ASSERT_EQ(b.HasFocus(), r.focused);
        EXPECT_EQ(b.GetFirstVisiblePartIndex(), r.shown);
        if (r.labelCase) {
            EXPECT_EQ(b.GetPartOpacity(2), 1.0f);
            EXPECT_EQ(b.GetPartOpacity(9), 1.0f);
            EXPECT_TRUE(CoversExactly(RegionOf(b, 9), {labelArea}));
            EXPECT_TRUE(CoversExactly(RegionOf(b, 2), rest));
        } else {
            EXPECT_EQ(b.GetPartOpacity(9), 0.0f);
            ExpectNoRegions(b);
        }
    }
}

TEST_F(TextBoxPartsFixture, ALabelThatCannotBeLaidOutLeavesTheStatePartShown)
{
    RCPtr<LTextBox> cue = MakeBox(u"cue", 200, 70, u"Search");
    Prepare(*cue);
    Look(*cue, 9).hasTextLayout = false;
    cue->SetText(u"x");
    Soil(*cue);
    cue->SetText(u"");
    EXPECT_EQ(cue->GetFirstVisiblePartIndex(), 0);
    EXPECT_EQ(cue->GetPartOpacity(9), 0.0f);
    ExpectNoRegions(*cue);
}

TEST_F(TextBoxPartsFixture, ABoxWithoutLabelLooksKeepsTheLabelOffItsOtherLooks)
{
    RCPtr<LTextBox> b(new LTextBox(top.Get(), u"few"));
    RCPtr<FakeDescriptor> d(new FakeDescriptor(u"few"));
    d->lookCount = 4;  // no label look
    d->attributes.push_back({u"LABEL", u"Search"});
    b->ApplyDescriptor(d);
    for (uint32_t i = 0; i < b->GetPartCount(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(Look(*b, static_cast<int32_t>(i)).text.IsEmpty());
    }
    b->SetText(u"x");
    b->SetText(u"");
    EXPECT_NE(b->GetFirstVisiblePartIndex(), 2);
    ExpectNoRegions(*b);
}

TEST_F(TextBoxPartsFixture, TheSelectionLookCoversOnlyTheVisibleSelection)
{
    Prepare(*box);
    box->SetFocus(true);
    struct Row {
        const char* what;
        const char16_t* text;
        int32_t caret, start, length;
        bool highlighted;
        RegionRect selection;
    } rows[] = {
        // Characters 1 and 2 span 9.5 .. 23.5, one line of 16 clipped to the 15-high area.
        {"a selection in view", u"abcdef", 6, 1, 2, true, {10, 3, 24, 18}},
        {"a selection cut by the area's right edge", u"abcdefghij", 0, 8, 2, true, {59, 3, 68, 18}},
        {"a selection scrolled out of view shows no highlight", u"0123456789abcdefghij", 20, 0, 2, false, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        box->SetText(r.text);
        EXPECT_GE(box->SetCaretPosition(r.caret, true), 0);
        box->SelectRange(-1, 0);
        Soil(*box);
        box->SetSelection(r.start, r.length, r.start);
        EXPECT_EQ(box->GetFirstVisiblePartIndex(), 3);
        if (r.highlighted) {
            EXPECT_EQ(box->GetPartOpacity(10), 1.0f);
            EXPECT_TRUE(CoversExactly(RegionOf(*box, 10), {r.selection}));
            RectRegion whole;
            whole.AddRect(RegionRect{0, 0, 70, 20});
            whole.SubtractRect(r.selection);
            RectRegion state = RegionOf(*box, 3);
            EXPECT_TRUE(CoversExactly(state, std::vector<RegionRect>(whole.begin(), whole.end())));
        } else {
            EXPECT_EQ(box->GetPartOpacity(10), 0.0f);
            ExpectNoRegions(*box);
        }
    }
}

// The bridge's way to the box: the focused control's edit target.
class FocusedEditTarget : public IEditCommandTarget {
public:
    explicit FocusedEditTarget(LControl* control) : mControl(control) {}
    bool HandlesEditCommands() override { return mControl->HandlesEditCommands(); }
    bool CanPerformEdit(int32_t command) override { return mControl->CanPerformEdit(command); }
    QVResult PerformEdit(int32_t command) override { return mControl->PerformEdit(command); }

private:
    RCPtr<LControl> mControl;
};

// A box with its edit menu, a skin with a real popup menu, and the clipboard
// bridge listening on the application's center as it does for the keys.
class EditMenuFixture : public TextBoxFixture {
protected:
    enum Entry { kCut, kCopy, kPaste, kDelete };

    EditMenuFixture()
    {
        using namespace class_factory_test;
        clipApp.classes.Register<LPopupMenu>("Framework.PopupMenu");
        clipApp.classes.Register<LMenuListBoxItem>("Framework.MenuItem");
        RCPtr<FakeDescriptor> popup = Describe(u"contextMenu", u"Framework.PopupMenu", 0, 0, 120, 20, 3);
        popup->layout.clipToParent = false;
        // Fixed sizes under this application's simple layout solver.
        popup->layout.size[0].kind = popup->layout.size[1].kind = LayoutKind::kParent;
        clipApp.classes.descriptors.push_back(RCPtr<IControlDescriptor>(
            With(popup, {Describe(u"templateItem", u"Framework.MenuItem", 0, 0, 120, 20, 14)}).Get()));
        RCPtr<FakeStringTable> framework(new FakeStringTable());
        framework->strings = {
            {u"EDIT_CUT", u"Cut"}, {u"EDIT_COPY", u"Copy"}, {u"EDIT_PASTE", u"Paste"}, {u"EDIT_DELETE", u"Delete"}};
        clipApp.frameworkStrings = RCPtr<IControlStringTable>(framework.Get());
        clipApp.center = new LNotificationCenter(u"editMenuTest");
        EXPECT_EQ(clipApp.center->SetDistributor(RCPtr<LNotificationDistributor>(clipApp.center.Get())), S_OK);
        EXPECT_EQ(clipApp.clipboard->Initialize(RCPtr<LNotificationDistributor>(clipApp.center.Get())), S_OK);
        clipApp.clipboard->SetEditTargetLookup([this]() -> std::shared_ptr<IEditCommandTarget> {
            RCPtr<LControl> focus = root->GetFocusControl();
            LControl* target = focus ? focus->GetEditTarget() : nullptr;
            return target ? std::make_shared<FocusedEditTarget>(target) : nullptr;
        });
        box->ConnectNotifications();  // as attaching the tree to its window does
    }
    ~EditMenuFixture() override
    {
        clipApp.clipboard->UnregisterAllNotifications();
        clipApp.clipboard->SetEditTargetLookup(nullptr);
        clipApp.center->Shutdown();
    }

    void RightClick(LControl& control)
    {
        control.OnMouseEnter();
        root->buttons = LMouseButtonParam::kRight;
        control.HandleMouseDown(
            LMouseButtonParam::Create(LMouseButtonParam::kRight, {5, 5}, 0, false, LMouseButtonParam::kRight, 0));
        root->buttons = 0;
        control.HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kRight, {5, 5}, 0, false, 0, 0));
    }
    LPopupMenu* Shown() const { return dynamic_cast<LPopupMenu*>(box->FindChildControl(u"contextMenu").Get()); }
    std::vector<bool> Offered() const
    {
        std::vector<bool> out;
        for (int32_t i = 0; i < 4; ++i) out.push_back(Shown()->IsItemSelectable(i));
        return out;
    }
};

TEST_F(EditMenuFixture, RightClickShowsTheFourEntriesLabelledFromTheStringTables)
{
    RCPtr<FakeStringTable> app(new FakeStringTable());
    app->strings = {{u"EDIT_DELETE", u"Erase"}};
    clipApp.appStrings = RCPtr<IControlStringTable>(app.Get());
    box->ConnectNotifications();
    RightClick(*box);
    LPopupMenu* popup = Shown();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->IsEffectivelyVisible(false));
    ASSERT_EQ(popup->GetItemCount(), 4);
    std::vector<std::string> labels, requests;
    for (uint32_t i = 0; i < 4; ++i) {
        labels.push_back(Narrow(popup->GetMenu()->GetItem(i)->GetText().GetChars()));
        requests.push_back(Narrow(popup->GetMenu()->GetItem(i)->GetKey().GetChars()));
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Cut", "Copy", "Paste", "Erase"}))
        << "the application's table first, else the framework's";
    EXPECT_EQ(requests, (std::vector<std::string>{"NID_EDIT_CUT_REQ", "NID_EDIT_COPY_REQ", "NID_EDIT_PASTE_REQ",
                                                  "NID_EDIT_DELETE_REQ"}));
}

TEST_F(EditMenuFixture, WithoutStringTablesThereIsNoMenu)
{
    RCPtr<LTextBox> bare = MakeBox(u"bare", 200, 70);
    clipApp.frameworkStrings = nullptr;
    bare->ConnectNotifications();
    EXPECT_FALSE(bare->GetContextMenu());
    RightClick(*bare);
    EXPECT_FALSE(bare->FindChildControl(u"contextMenu"));
}

TEST_F(EditMenuFixture, EachEntryRunsItsCommandThroughTheClipboardBridge)
{
    struct Row {
        const char* what;
        const char16_t* text;
        int32_t selStart, selLength;
        const char* clipboardBefore;
        Entry entry;
        const char* expected;
        int32_t expectedCaret;
        const char* clipboardAfter;
    };
    const Row rows[] = {
        {"cut", u"hello", 1, 3, "x", kCut, "ho", 1, "ell"},
        {"copy", u"hello", 1, 3, "x", kCopy, "hello", 4, "ell"},
        {"paste over the selection", u"hxxo", 1, 2, "ell", kPaste, "hello", 4, "ell"},
        {"delete", u"hello", 0, 2, "x", kDelete, "llo", 0, "x"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Set(row.text, row.selStart + row.selLength, row.selStart, row.selLength);
        fakeClipboard.ForeignCopy(row.clipboardBefore);
        RightClick(*box);
        ASSERT_NE(Shown(), nullptr);
        ASSERT_EQ(box->GetSelectionLength(), row.selLength) << "the right click keeps the selection";
        EXPECT_EQ(Shown()->ActivateEntry(row.entry), S_OK);
        EXPECT_FALSE(Shown()->IsEffectivelyVisible(false));
        EXPECT_EQ(Text(), Narrow(row.text)) << "posted: runs when the center drains";
        clipApp.center->ProcessNotifications(false);
        EXPECT_EQ(Text(), row.expected);
        EXPECT_EQ(box->GetCaret(), row.expectedCaret);
        EXPECT_EQ(fakeClipboard.PeekText().value_or(""), row.clipboardAfter);
    }
}

TEST_F(EditMenuFixture, EntriesThatCannotRunAreDisabled)
{
    struct Row {
        const char* what;
        const char16_t* text;
        int32_t selStart, selLength, maxLength;
        const char16_t* filter;
        const char* clipboard;      // null: empty
        std::vector<bool> offered;  // cut, copy, paste, delete
    };
    const Row rows[] = {
        {"nothing selected", u"abc", 0, 0, 0, u"", "x", {false, false, true, false}},
        {"a selection", u"abc", 0, 2, 0, u"", "x", {true, true, true, true}},
        {"empty clipboard", u"abc", 0, 2, 0, u"", nullptr, {true, true, false, true}},
        {"paste past the maximum", u"abc", 0, 0, 3, u"", "x", {false, false, false, false}},
        {"paste the filter refuses", u"12", 0, 0, 0, u"0123456789", "x", {false, false, false, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        box->SetMaxLength(0);
        box->SetCharacterFilter(row.filter, true);
        Set(row.text, row.selStart + row.selLength, row.selStart, row.selLength);
        box->SetMaxLength(row.maxLength);
        if (row.clipboard) {
            fakeClipboard.ForeignCopy(row.clipboard);
        } else {
            fakeClipboard.ForeignClear();
        }
        RightClick(*box);
        ASSERT_NE(Shown(), nullptr);
        EXPECT_EQ(Offered(), row.offered);
        EXPECT_EQ(Shown()->ActivateEntry(kCut), row.offered[0] ? S_OK : E_INVALIDARG);
        clipApp.center->ProcessNotifications(false);
    }
}

TEST_F(EditMenuFixture, CommandStatesAnswerOnlyTheEditRequests)
{
    Set(u"abc", 0, 0, 2);
    box->SetFocus(true);
    fakeClipboard.ForeignClear();
    struct Case {
        const char16_t* name;
        QVResult result;
        bool enabled;  // the out-state; left as it was when not answered
    };
    const Case cases[] = {{u"NID_EDIT_CUT_REQ", S_OK, true},
                          {u"NID_EDIT_COPY_REQ", S_OK, true},
                          {u"NID_EDIT_DELETE_REQ", S_OK, true},
                          {u"NID_EDIT_PASTE_REQ", S_OK, false},
                          {u"NID_MENU_FILE_EXIT_REQ", kNotHandled, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        bool enabled = !c.enabled;
        if (c.result == kNotHandled) enabled = true;
        EXPECT_EQ(box->QueryCommandState(LNotification::Create(c.name), enabled), c.result);
        EXPECT_EQ(enabled, c.enabled);
    }
}

}  // namespace
}  // namespace control_test
