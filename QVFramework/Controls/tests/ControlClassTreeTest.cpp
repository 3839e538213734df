#include <functional>
#include <type_traits>

#include "ControlTestSupport.h"
#include "LButton.h"
#include "LCheckedListBox.h"
#include "LCheckedListBoxItem.h"
#include "LComboBox.h"
#include "LComboMenu.h"
#include "LComboSlider.h"
#include "LLabel.h"
#include "LListBox.h"
#include "LMenuListBoxItem.h"
#include "LNumericUpDown.h"
#include "LPopupMenu.h"
#include "LSplitter.h"
#include "LStatusBar.h"
#include "LTextBox.h"

namespace control_test {
namespace {

static_assert(std::is_base_of_v<LControl, LDropDownControl> && std::is_abstract_v<LDropDownControl>);
static_assert(std::is_base_of_v<LDropDownControl, LComboBox> && std::is_base_of_v<LDropDownControl, LComboSlider>);
static_assert(std::is_base_of_v<LListBox, LCheckedListBox> && std::is_base_of_v<LCheckedListBox, LPopupMenu>);
static_assert(std::is_base_of_v<LSplitterBase, LSplitterH> && std::is_base_of_v<LSplitterBase, LSplitterV>);
static_assert(std::is_base_of_v<LControl, LLabel> && std::is_base_of_v<LControl, LStatusBar>);
static_assert(std::is_base_of_v<LControl, LButton> && std::is_base_of_v<LControl, LTextBox>);
static_assert(std::is_base_of_v<LControl, LNumericUpDown> && std::is_base_of_v<LControl, LListBox>);

using ClassTreeTest = ControlFixture;

// Every class builds under its parent and name, without children, reports the
// framework's class name, and goes away with its last reference.
TEST_F(ClassTreeTest, EveryClassConstructsIntoTheTreeWithItsName)
{
    struct Row {
        const char* typeName;
        std::function<LControl*(LControl*)> make;
    };
    const Row rows[] = {
        {"class QV::LComboBox", [](LControl* p) { return new LComboBox(p, u"c"); }},
        {"class QV::LComboSlider", [](LControl* p) { return new LComboSlider(p, u"c"); }},
        {"class QV::LListBox", [](LControl* p) { return new LListBox(p, u"c"); }},
        {"class QV::LCheckedListBox", [](LControl* p) { return new LCheckedListBox(p, u"c"); }},
        {"class QV::LPopupMenu", [](LControl* p) { return new LPopupMenu(p, u"c"); }},
        {"class QV::LNumericUpDown", [](LControl* p) { return new LNumericUpDown(p, u"c"); }},
        {"class QV::LSplitterH", [](LControl* p) { return new LSplitterH(p, u"c"); }},
        {"class QV::LSplitterV", [](LControl* p) { return new LSplitterV(p, u"c"); }},
        {"class QV::LStatusBar", [](LControl* p) { return new LStatusBar(p, u"c"); }},
        {"class QV::LLabel", [](LControl* p) { return new LLabel(p, u"c"); }},
        {"class QV::LButton", [](LControl* p) { return new LButton(p, u"c"); }},
        {"class QV::LTextBox", [](LControl* p) { return new LTextBox(p, u"c"); }},
        {"class QV::LComboMenu", [](LControl* p) { return new LComboMenu(p, u"c"); }},
        {"class QV::LMenuListBoxItem", [](LControl* p) { return new LMenuListBoxItem(p, u"c"); }},
        {"class QV::LCheckedListBoxItem", [](LControl* p) { return new LCheckedListBoxItem(p, u"c"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typeName);
        RCPtr<TestControl> parent(new TestControl(nullptr, u"parent"));
        RCPtr<LControl> control(row.make(parent.Get()));
        EXPECT_STREQ(control->GetTypeName(), row.typeName);
        EXPECT_EQ(control->GetParent(), parent.Get());
        EXPECT_EQ(parent->FindChildControl(u"c").Get(), control.Get());
        EXPECT_EQ(control->GetChildren().GetCount(), 0u);
        EXPECT_FALSE(control->IsInitialized());
        // One count shared by every base: a reference taken through one is seen through the others.
        const int32_t before = control->GetRefCount();
        RCPtr<LNotificationDistributor> asDistributor(control.Get());
        RCPtr<LTaggableObject> asTaggable(control.Get());
        EXPECT_EQ(static_cast<LNotificationClient*>(control.Get())->GetRefCount(), before + 2);
        parent->Close();
    }
}

TEST_F(ClassTreeTest, FieldsStartWithTheirDefaults)
{
    RCPtr<LComboBox> combo(new LComboBox(nullptr, u"combo"));
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
    EXPECT_TRUE(combo->GetListBox().IsNull());
    EXPECT_FALSE(combo->IsDropDownOpen());
    EXPECT_EQ(combo->SetItemCount(3), E_FAIL) << "no list to count";

    RCPtr<LComboSlider> slider(new LComboSlider(nullptr, u"slider"));
    EXPECT_EQ(slider->GetDecimals(), 0);
    EXPECT_FALSE(slider->IsDropDownOpen());

    RCPtr<LListBox> list(new LListBox(nullptr, u"list"));
    EXPECT_EQ(list->GetRowHeight(), 14);
    EXPECT_EQ(list->GetAnchor(), -1);
    EXPECT_EQ(list->GetCaret(), -1);
    EXPECT_EQ(list->GetRowDragThreshold(), 1);
    EXPECT_EQ(list->GetTopIndex(), 0);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(list->GetSelectedCount(), 0);
    EXPECT_FALSE(list->IsMenuMode());

    RCPtr<LCheckedListBox> checked(new LCheckedListBox(nullptr, u"checked"));
    EXPECT_TRUE(checked->IsAutoCheck());
    EXPECT_FALSE(checked->ShowsIcons());
    EXPECT_EQ(checked->GetCheckedCount(), 0);

    RCPtr<LNumericUpDown> upDown(new LNumericUpDown(nullptr, u"upDown"));
    EXPECT_EQ(upDown->GetStep(), 1.0);
    EXPECT_EQ(upDown->GetDecimals(), 0);

    EXPECT_EQ(RCPtr<LSplitterH>(new LSplitterH(nullptr, u"h"))->GetOrientation(), 0);
    EXPECT_EQ(RCPtr<LSplitterV>(new LSplitterV(nullptr, u"v"))->GetOrientation(), 1);

    RCPtr<LButton> button(new LButton(nullptr, u"button"));
    EXPECT_FALSE(button->IsAutoValueSet());
    EXPECT_FALSE(button->IsRadio());
    EXPECT_FALSE(button->IsAutoRepeat());
    EXPECT_FALSE(button->IsRepeating());
    EXPECT_FALSE(button->IsFlashActive());

    RCPtr<LTextBox> text(new LTextBox(nullptr, u"text"));
    EXPECT_EQ(text->GetCaret(), 0);
    EXPECT_EQ(text->GetSelectionLength(), 0);
    EXPECT_EQ(text->GetMaxLength(), 0);
    EXPECT_TRUE(text->IsCaretVisible());
    EXPECT_TRUE(text->GetLabel().IsEmpty());
}

TEST_F(ClassTreeTest, ComboBoxReadsItsInitialSelectedIndex)
{
    struct Row {
        const char16_t* value;  // null: attribute absent
        int32_t expected;
    };
    const Row rows[] = {{nullptr, 0}, {u"3", 3}, {u" 2 ", 2}, {u"x", 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value ? Narrow(row.value) : "absent");
        RCPtr<FakeDescriptor> d(new FakeDescriptor(u"combo"));
        if (row.value) d->attributes.push_back({u"INITIAL_SELECTED_INDEX", row.value});
        RCPtr<LComboBox> combo(new LComboBox(nullptr, u"combo"));
        combo->ApplyDescriptor(d);
        combo->LoadProperties();
        EXPECT_EQ(combo->GetInitialSelectedIndex(), row.expected);
        EXPECT_EQ(combo->GetSelectedIndex(), -1);
    }
}

// A combo box whose own handler and whose drop-down base handler both map
// notifications, to watch which one answers.
class WatchedCombo : public LComboBox {
public:
    WatchedCombo() : LComboBox(nullptr, u"watched") {}
    void Wire()
    {
        mDropDownHandler = new LNotificationHandler<LDropDownControl>(this);
        mComboHandler = new LNotificationHandler<LComboBox>(this);
        RCPtr<LNotificationDistributor> self(this);
        (void)mDropDownHandler->RegisterHandler(
            static_cast<LNotificationHandler<LDropDownControl>::Handler>(&WatchedCombo::ByBase), self, u"NID_BOTH");
        (void)mDropDownHandler->RegisterHandler(
            static_cast<LNotificationHandler<LDropDownControl>::Handler>(&WatchedCombo::ByBase), self,
            u"NID_BASE_ONLY");
        (void)mComboHandler->RegisterHandler(
            static_cast<LNotificationHandler<LComboBox>::Handler>(&WatchedCombo::ByOwn), self, u"NID_BOTH");
    }
    QVResult ByBase(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& n)
    {
        log.push_back("base:" + Narrow(n->GetID()));
        return S_OK;
    }
    QVResult ByOwn(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& n)
    {
        log.push_back("own:" + Narrow(n->GetID()));
        return S_OK;
    }
    std::vector<std::string> log;
};

TEST_F(ClassTreeTest, TheMostDerivedHandlerAnswersFirstOnceCreationIsComplete)
{
    RCPtr<WatchedCombo> combo(new WatchedCombo());
    combo->Wire();
    combo->Notify(u"NID_BOTH");
    EXPECT_TRUE(combo->log.empty()) << "no dispatch before the initialized flag";

    combo->SetInitialized(true);
    combo->Notify(u"NID_BOTH");
    combo->Notify(u"NID_BASE_ONLY");
    EXPECT_EQ(combo->log, (std::vector<std::string>{"own:NID_BOTH", "base:NID_BASE_ONLY"}));

    combo->log.clear();
    combo->UnregisterNotification(RCPtr<LNotificationDistributor>(combo.Get()), u"NID_BOTH");
    combo->Notify(u"NID_BOTH");
    combo->Notify(u"NID_BASE_ONLY");
    EXPECT_EQ(combo->log, (std::vector<std::string>{"base:NID_BASE_ONLY"})) << "every level forgets";
}

using LabelTest = ControlFixture;

TEST_F(LabelTest, NeverTakesTheFocusByCallOrClick)
{
    MakeTop();
    RCPtr<LLabel> label(new LLabel(top.Get(), u"label"));
    ControlLayout layout;
    layout.size[0].offset = 50;
    layout.size[1].offset = 20;
    label->SetLayout(layout);
    label->AddVisualPart(RCPtr<ILook>(new FakeLook()));
    label->ShowPart(0);
    label->SetNotFocusable(false);
    label->Initialize();
    label->OnInitialized();
    label->SetInitialized(true);
    EXPECT_GE(label->UpdateLayout(), 0);

    EXPECT_TRUE(label->IsNotFocusable());
    EXPECT_FALSE(label->CanReceiveFocus());
    label->SetFocus(true);
    EXPECT_FALSE(label->HasFocus());
    RCPtr<LMouseButtonParam> press = LMouseButtonParam::Create(1, {5, 5}, 0, false, 1, 0);
    label->HandleMouseDown(press);
    EXPECT_FALSE(label->HasFocus());
}

TEST_F(LabelTest, ToolTipShowsTheWholeTextOnlyWhenClipped)
{
    struct Row {
        double textWidth;
        const char* expected;
    };
    const Row rows[] = {{80.0, "a long caption"}, {20.0, "own tip"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        RCPtr<LLabel> label(new LLabel(nullptr, u"label"));
        RCPtr<FakeLook> look(new FakeLook());
        look->textWidth = row.textWidth;
        label->AddVisualPart(RCPtr<ILook>(look.Get()));
        label->ShowPart(0);
        EXPECT_GE(label->SetBounds({0, 0}, {50, 20}), 0);
        label->SetText(u"a long caption");
        label->SetToolTipText(u"own tip");
        EXPECT_EQ(Narrow(label->GetToolTipText().GetChars()), row.expected);
    }
}

}  // namespace
}  // namespace control_test
