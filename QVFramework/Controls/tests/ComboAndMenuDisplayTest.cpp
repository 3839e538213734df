// Real SDL events through a real window: a combo box's list and a menu of the
// menu bar, picked with the mouse and the keyboard.
#include <gtest/gtest.h>

#include <chrono>

#include "LComboBox.h"
#include "LComboMenu.h"
#include "LGlobalHotKeyManager.h"
#include "LMainMenu.h"
#include "LMenuListBoxItem.h"
#include "RealWindowFixture.h"

namespace {

using namespace QV;
using namespace class_factory_test;
using control_test::FakeStringTable;
using control_test::NotificationLog;

class ComboAndMenuDisplayTest : public RealWindowFixture {
protected:
    void SetUp() override
    {
        OpenWindow("combo and menu", 320, 240);
        if (HasFatalFailure()) return;
        ClassFactory& factory = controlApp.factory;
        factory.Register<LComboBox>("Framework.ComboBox");
        factory.Register<LListBox>("Framework.ListBox");
        factory.Register<LListBoxItem>("Framework.ListBoxItem");
        factory.Register<LMainMenu>("Framework.MainMenu");
        factory.Register<LComboMenu>("Framework.ComboMenu");
        factory.Register<LPopupMenu>("Framework.PopupMenu");
        factory.Register<LMenuListBoxItem>("Framework.MenuItem");
        factory.Register<control_test::TestControl>("Editor");
        factory.Register<control_test::TestControl>("Framework.Label");
        RCPtr<FakeStringTable> table(new FakeStringTable());
        table->strings = {{u"MENU_LABEL.00", u"File"},
                          {u"CONTEXT_MENU0.00.NID_MENU_FILE_SEND", u"Send"},
                          {u"CONTEXT_MENU0.01.NID_MENU_FILE_EXIT_REQ", u"Exit"}};
        factory.tables = {{u"bar", RCPtr<IControlStringTable>(table.Get())}};

        RCPtr<FakeDescriptor> list = Describe(u"listBox", u"Framework.ListBox", 0, 0, 100, 60, 3);
        list->layout.clipToParent = false;
        RCPtr<FakeDescriptor> combo =
            With(Describe(u"combo", u"Framework.ComboBox", 10, 40, 100, 20, 7),
                 {With(list, {Describe(u"templateItem", u"Framework.ListBoxItem", 0, 0, 100, 20, 14)})});
        combo->attributes.push_back({u"ITEM.00", u"Zone"});
        combo->attributes.push_back({u"ITEM.01", u"Keybed"});
        combo->attributes.push_back({u"ITEM.02", u"Pedal"});
        // Eight items, three rows shown: the rest scroll.
        RCPtr<FakeDescriptor> longList = Describe(u"listBox", u"Framework.ListBox", 0, 0, 100, 60, 3);
        longList->layout.clipToParent = false;
        RCPtr<FakeDescriptor> longCombo =
            With(Describe(u"longCombo", u"Framework.ComboBox", 200, 40, 100, 20, 7),
                 {With(longList, {Describe(u"templateItem", u"Framework.ListBoxItem", 0, 0, 100, 20, 14)})});
        for (int i = 0; i < 8; ++i) {
            const std::string n = std::to_string(i);
            longCombo->attributes.push_back({String(("ITEM.0" + n).c_str()), String(("n" + n).c_str())});
        }
        RCPtr<FakeDescriptor> popup = Describe(u"popupMenu", u"Framework.PopupMenu", 0, 0, 120, 20, 3);
        popup->layout.clipToParent = false;
        RCPtr<FakeDescriptor> bar =
            With(Describe(u"bar", u"Framework.MainMenu", 0, 0, 320, 20),
                 {With(Describe(u"templateMenu", u"Framework.ComboMenu", 0, 0, 60, 20, 7),
                       {With(popup, {With(Describe(u"templateItem", u"Framework.MenuItem", 0, 0, 120, 20, 14),
                                          {Describe(u"hotKey", u"Framework.Label", 60, 0, 60, 20)})})})});
        RCPtr<FakeDescriptor> editor = Describe(u"editor", u"Editor", 200, 150, 50, 50);
        RCPtr<FakeDescriptor> top = With(Describe(u"top", u"", 0, 0, 320, 240), {bar, combo, longCombo, editor});

        RCPtr<LControl> main = factory.CreateControl(top, nullptr);
        for (const RCPtr<LControl>& child : main->GetChildren().Snapshot(ChildControlList::kInsertion))
            child->SetNotFocusable(child->GetName() == u"bar");
        main->SetNotFocusable(false);
        LRootWindow& root = *window->GetRootWindow();
        EXPECT_GE(root.SetMainControl(main), 0);
        EXPECT_GE(main->SetBounds({0, 0}, {320, 240}), 0);
        theCombo = RCPtr<LComboBox>(dynamic_cast<LComboBox*>(main->FindChildControl(u"combo").Get()));
        theBar = RCPtr<LMainMenu>(dynamic_cast<LMainMenu*>(main->FindChildControl(u"bar").Get()));
        theLongCombo = RCPtr<LComboBox>(dynamic_cast<LComboBox*>(main->FindChildControl(u"longCombo").Get()));
        theEditor = main->FindChildControl(u"editor");
        ASSERT_TRUE(theCombo && theLongCombo && theBar && theEditor);
        log->Listen(theCombo.Get(), {u"NID_SELECTION_CHANGE"});
        for (const char16_t* id : {u"NID_MENU_FILE_SEND", u"NID_MENU_FILE_EXIT_REQ"})
            log->RegisterNotification(RCPtr<LNotificationDistributor>(&root), id);
        window->Show(1);
        RunFor(std::chrono::milliseconds(150));
    }
    void TearDown() override
    {
        log->UnregisterAllNotifications();
        RealWindowFixture::TearDown();
    }
    void Push(SDL_Event e) { SDL_PushEvent(&e); }
    void Click(int x, int y)
    {
        PushMotion(x, y, 0);
        PushButton(SDL_MOUSEBUTTONDOWN, x, y);
        PushButton(SDL_MOUSEBUTTONUP, x, y);
        RunFor(std::chrono::milliseconds(100));
    }
    void Press(SDL_Keycode key)
    {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = WindowId();
        e.key.keysym.sym = key;
        Push(e);
        e.type = SDL_KEYUP;
        Push(e);
        RunFor(std::chrono::milliseconds(60));
    }

    RCPtr<LComboBox> theCombo;
    RCPtr<LComboBox> theLongCombo;
    RCPtr<LMainMenu> theBar;
    RCPtr<LControl> theEditor;
    RCPtr<NotificationLog> log{new NotificationLog()};
};

TEST_F(ComboAndMenuDisplayTest, MousePicksAComboItem)
{
    ASSERT_EQ(theCombo->GetSelectedIndex(), 0);
    Click(60, 50);
    ASSERT_TRUE(theCombo->IsDropDownOpen()) << "a click on the combo opens its list";
    // The list lies below the combo (y 60 to 120); the third row is 100 to 120.
    Click(60, 110);
    EXPECT_FALSE(theCombo->IsDropDownOpen());
    EXPECT_EQ(theCombo->GetSelectedIndex(), 2);
    EXPECT_EQ(control_test::Narrow(theCombo->GetText().GetChars()), "Pedal");
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_SELECTION_CHANGE"}));
}

TEST_F(ComboAndMenuDisplayTest, LongComboListScrollsUnderKeysAndPicksTheRowClicked)
{
    Click(250, 50);
    ASSERT_TRUE(theLongCombo->IsDropDownOpen());
    RCPtr<LListBox> list = theLongCombo->GetListBox();
    EXPECT_DOUBLE_EQ(list->GetFrame().height, 60.0) << "the list keeps to its three rows";
    for (int i = 0; i < 5; ++i) Press(SDLK_DOWN);
    EXPECT_EQ(list->GetCaret(), 5);
    EXPECT_EQ(list->GetTopIndex(), 3) << "the current item scrolled into the last row";
    // The list lies at y 60 to 120; its third row, 100 to 120, now shows item 5.
    Click(250, 110);
    EXPECT_FALSE(theLongCombo->IsDropDownOpen());
    EXPECT_EQ(theLongCombo->GetSelectedIndex(), 5);
    EXPECT_EQ(control_test::Narrow(theLongCombo->GetText().GetChars()), "n5");
}

TEST_F(ComboAndMenuDisplayTest, KeyboardActivatesAMenuRow)
{
    theEditor->SetFocus(true);
    ASSERT_TRUE(theEditor->HasFocus());
    Click(20, 10);
    ASSERT_EQ(theBar->GetOpenMenu(), 0) << "a click on File opens its menu";
    Press(SDLK_DOWN);
    Press(SDLK_DOWN);
    Press(SDLK_RETURN);
    RunFor(std::chrono::milliseconds(100));
    EXPECT_EQ(theBar->GetOpenMenu(), -1);
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_MENU_FILE_EXIT_REQ"}));
    EXPECT_TRUE(theEditor->HasFocus()) << "the focus goes back to the editor";
}

TEST_F(ComboAndMenuDisplayTest, MenuRowsShowTheShortcutsOfTheWindowsHotKeys)
{
    KeyMap& keys = window->GetRootWindow()->GetHotKeys()->GetKeyMap();
    ASSERT_GE(keys.AddBinding(control_test::KeyPress('O', KeyCode::kCtrl), u"NID_MENU_FILE_SEND"), 0);
    ASSERT_GE(keys.AddBinding(control_test::KeyPress('R', KeyCode::kCtrl | KeyCode::kShift), u"NID_MENU_FILE_EXIT_REQ"), 0);
    theEditor->SetFocus(true);
    Click(20, 10);
    ASSERT_EQ(theBar->GetOpenMenu(), 0);
    RunFor(std::chrono::milliseconds(100));
    RCPtr<LPopupMenu> popup = LMainMenu::GetPopupMenu(theBar->GetMenuButton(0));
    ASSERT_TRUE(popup);
    const char* const expected[] = {"Ctrl+O", "Ctrl+Shift+R"};
    for (uint32_t r = 0; r < std::size(expected); ++r) {
        SCOPED_TRACE(expected[r]);
        RCPtr<LControl> label = popup->GetRow(r) ? popup->GetRow(r)->FindChildControl(u"hotKey") : nullptr;
        ASSERT_TRUE(label);
        auto* look = dynamic_cast<control_test::FakeLook*>(label->GetVisualPart(-1).Get());
        ASSERT_TRUE(look);
        EXPECT_EQ(control_test::Narrow(look->text.GetChars()), expected[r]);
        EXPECT_FALSE(look->labelOffsets.empty()) << "the open menu drew it";
    }
    Press(SDLK_ESCAPE);
    EXPECT_EQ(theBar->GetOpenMenu(), -1);
}

}  // namespace
