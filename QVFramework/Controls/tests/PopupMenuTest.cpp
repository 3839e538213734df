#include "ClassFactoryTestSupport.h"
#include "ControlTestSupport.h"
#include "LGlobalHotKeyManager.h"
#include "LMenuItemDescriptor.h"
#include "LMenuListBoxItem.h"
#include "LPopupMenu.h"

namespace control_test {
namespace {

// Answers the state of commands by name: "NID_OFF" is disabled.
class CommandOwner : public TestControl {
public:
    using TestControl::TestControl;
    QVResult QueryCommandState(const RCPtr<LNotification>& command, bool& enabled) override
    {
        asked.push_back(Narrow(command->GetID()));
        enabled = Narrow(command->GetID()) != "NID_OFF";
        return S_OK;
    }
    std::vector<std::string> asked;
};

class PopupMenuTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop(400, 300);
        popup = new LPopupMenu(top.Get(), u"popupMenu");
        ControlLayout l;
        l.size[0].offset = 120;
        l.size[1].offset = 80;
        popup->SetLayout(l);
        popup->Initialize();
        popup->SetInitialized(true);
        EXPECT_GE(popup->UpdateLayout(), 0);
        popup->SetVisible(false);

        menu = new LMenuDescriptor();
        EXPECT_GE(menu->AddItem(u"Open", u"NID_OPEN"), 0);
        EXPECT_GE(menu->InsertSeparator(1), 0);
        EXPECT_GE(menu->AddItem(u"Off", u"NID_OFF"), 0);
        EXPECT_GE(menu->InsertItem(3, u"Marked", u"NID_MARKED", true, true), 0);

        distributor = new LNotificationDistributor();
        target = new LNotificationQueue();
        EXPECT_EQ(target->SetDistributor(distributor), S_OK);
        log = new NotificationLog();
        log->onReceive = [this](const RCPtr<LNotification>& n) {
            if (auto* p = dynamic_cast<LMenuActivationParam*>(n->GetPayload().Get()))
                activations.push_back(p->GetValue());
        };
        for (const char16_t* id : {u"NID_OPEN", u"NID_OFF", u"NID_MARKED"}) log->RegisterNotification(distributor, id);
    }
    void TearDown() override
    {
        log->UnregisterAllNotifications();
        target->Shutdown();
    }

    RCPtr<LPopupMenu> popup;
    RCPtr<LMenuDescriptor> menu;
    RCPtr<LNotificationDistributor> distributor;
    RCPtr<LNotificationQueue> target;
    RCPtr<NotificationLog> log;
    std::vector<int32_t> activations;
};

TEST_F(PopupMenuTest, KeepsItsOwnCopyOfTheMenu)
{
    EXPECT_EQ(E_INVALIDARG, popup->SetMenuDescriptor(nullptr));
    EXPECT_EQ(E_INVALIDARG, popup->SetMenuDescriptor(RCPtr<LRefCountedObject>(new LControl(nullptr, u"x"))));
    ASSERT_EQ(S_OK, popup->SetMenuDescriptor(menu));
    menu->GetItem(0)->SetText(u"Changed");
    ASSERT_EQ(4, popup->GetItemCount());
    EXPECT_EQ(String(u"Open"), popup->GetItem(0)->text);
    EXPECT_EQ(1, popup->GetItem(1)->separator);
    EXPECT_TRUE(popup->IsItemChecked(3));
    EXPECT_EQ(1, popup->GetCheckedCount());
    EXPECT_NE(menu.Get(), popup->GetMenu().Get());
}

TEST_F(PopupMenuTest, EntryStatesComeFromTheUpdaterAndActivationPostsToTheTarget)
{
    RCPtr<CommandOwner> owner(new CommandOwner(top.Get(), u"owner"));
    popup->SetMenuDescriptor(menu);
    popup->SetMenuItemUpdater(RCPtr<LMenuItemUpdater>(new LMenuItemUpdater(owner)));
    EXPECT_EQ((std::vector<std::string>{"NID_OPEN", "NID_OFF", "NID_MARKED"}), owner->asked);
    EXPECT_EQ(E_FAIL, popup->ActivateEntry(0));  // no target yet
    EXPECT_EQ(E_INVALIDARG, popup->SetNotificationTarget(nullptr));
    ASSERT_EQ(S_OK, popup->SetNotificationTarget(target));
    EXPECT_EQ(E_FAIL, popup->SetNotificationTarget(target));

    struct Row {
        int32_t index;
        bool chosen;
    };
    for (const Row row : {Row{1, false}, Row{2, false}, Row{9, false}, Row{3, true}, Row{0, true}}) {
        SCOPED_TRACE(row.index);
        popup->SetVisible(true);
        const QVResult r = popup->ActivateEntry(row.index);
        EXPECT_EQ(row.chosen, r == S_OK);
        EXPECT_EQ(!row.chosen, popup->IsEffectivelyVisible(false));
    }
    EXPECT_TRUE(log->names.empty());  // posted: delivered when the target drains
    target->ProcessNotifications(false);
    EXPECT_EQ((std::vector<std::string>{"NID_MARKED", "NID_OPEN"}), log->names);
    EXPECT_EQ((std::vector<int32_t>{3, 0}), activations);
    owner->Close();
}

TEST_F(PopupMenuTest, ShowsAtTheMouseKeptInsideItsParent)
{
    struct Row {
        int32_t x, y;
        double left, top;
    };
    // Parent 400 x 300, menu 120 x 80.
    for (const Row row : {Row{50, 40, 50, 40}, Row{390, 290, 280, 220}, Row{-20, 10, 0, 10}}) {
        SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
        root->cursorX = row.x;
        root->cursorY = row.y;
        popup->ShowAtMousePosition();
        EXPECT_TRUE(popup->IsEffectivelyVisible(false));
        EXPECT_DOUBLE_EQ(row.left, popup->GetFrame().x);
        EXPECT_DOUBLE_EQ(row.top, popup->GetFrame().y);
    }
}

// A popup whose rows come from the factory, as the skin builds them.
class PopupRowsTest : public PopupMenuTest {
protected:
    PopupRowsTest() : mClassScope(classApp)
    {
        classApp.factory.Register<LMenuListBoxItem>("Framework.MenuItem");
        classApp.factory.Register<LButton>("Framework.Button");
        classApp.factory.Register<TestControl>("Framework.Label");
    }
    void SetUp() override
    {
        PopupMenuTest::SetUp();
        top->SetNotFocusable(false);
        using namespace class_factory_test;
        RCPtr<FakeDescriptor> d = With(Describe(u"rowsMenu", u"", 0, 0, 120, 20, 3),
                                       {With(Describe(u"templateItem", u"Framework.MenuItem", 0, 0, 120, 20, 14),
                                             {Describe(u"checkBox", u"Framework.Button", 2, 2, 16, 16),
                                              Describe(u"hotKey", u"Framework.Label", 80, 0, 40, 20)})});
        owner = new CommandOwner(top.Get(), u"owner");
        EXPECT_GE(owner->BindKey(KeyPress('S', KeyCode::kCtrl), u"NID_MARKED"), 0);
        rows = new LPopupMenu(top.Get(), u"rowsMenu");
        rows->ApplyDescriptor(d);
        rows->CreateChildren(d);
        rows->Initialize();
        rows->SetInitialized(true);
        EXPECT_GE(rows->UpdateLayout(), 0);
        rows->SetVisible(false);
        rows->SetMenuItemUpdater(RCPtr<LMenuItemUpdater>(new LMenuItemUpdater(owner)));
        menu->GetItem(0)->SetSecondText(u"F2");
        ASSERT_EQ(S_OK, rows->SetMenuDescriptor(menu));
        ASSERT_EQ(S_OK, rows->SetNotificationTarget(target));
    }
    void TearDown() override
    {
        owner->Close();
        PopupMenuTest::TearDown();
    }
    LMenuListBoxItem* Row(uint32_t r) { return dynamic_cast<LMenuListBoxItem*>(rows->GetRow(r)); }
    void Key(uint32_t vk) { rows->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(KeyPress(vk)))); }

    class_factory_test::ClassApplication classApp;
    ScopedControlApplication mClassScope;
    RCPtr<CommandOwner> owner;
    RCPtr<LPopupMenu> rows;
};

TEST_F(PopupRowsTest, OneRowPerEntryWithItsHotKeyTickAndState)
{
    ASSERT_EQ(rows->GetRowCount(), 4u);
    EXPECT_DOUBLE_EQ(rows->GetFrame().height, 80.0) << "as tall as its four entries";
    struct Expect {
        const char* label;
        const char* hotKey;
        bool separator;
        bool enabled;
        bool tick;
    };
    const Expect expected[] = {{"Open", "F2", false, true, false},
                               {"", "", true, true, false},
                               {"Off", "", false, false, false},
                               {"Marked", "Ctrl+S", false, true, true}};
    for (uint32_t r = 0; r < 4; ++r) {
        SCOPED_TRACE(expected[r].label);
        LMenuListBoxItem* row = Row(r);
        ASSERT_TRUE(row);
        EXPECT_EQ(Narrow(row->GetText().GetChars()), expected[r].label);
        EXPECT_EQ(Narrow(row->GetHotKeyText().GetChars()), expected[r].hotKey);
        EXPECT_EQ(Narrow(row->FindChildControl(u"hotKey")->GetText().GetChars()), expected[r].hotKey);
        EXPECT_EQ(row->IsSeparator(), expected[r].separator);
        EXPECT_EQ(row->IsEnabledInTree(false), expected[r].enabled);
        EXPECT_EQ(row->GetCheckBox()->GetLayout().isVisible, expected[r].tick) << "a tick only when checked";
    }
}

TEST_F(PopupRowsTest, HotKeyTextFromTheControlsThenTheWindowThenTheApplication)
{
    root->hotKeyManager = LGlobalHotKeyManager::Create(nullptr);
    classApp.hotKeyManager = LGlobalHotKeyManager::Create(nullptr);
    KeyMap& window = root->hotKeyManager->GetKeyMap();
    KeyMap& application = classApp.hotKeyManager->GetKeyMap();
    ASSERT_GE(window.AddBinding(KeyPress('O', KeyCode::kCtrl), u"NID_WINDOW"), 0);
    ASSERT_GE(application.AddBinding(KeyPress('R', KeyCode::kCtrl | KeyCode::kShift), u"NID_APPLICATION"), 0);
    ASSERT_GE(window.AddBinding(KeyPress('W', KeyCode::kCtrl), u"NID_BOTH"), 0);
    ASSERT_GE(application.AddBinding(KeyPress('A', KeyCode::kCtrl), u"NID_BOTH"), 0);
    ASSERT_GE(window.AddBinding(KeyPress('M', KeyCode::kCtrl), u"NID_MARKED"), 0);
    ASSERT_GE(application.AddBinding(KeyPress('N', KeyCode::kCtrl), u"NID_NAMED"), 0);

    struct Binding {
        const char* command;
        const char* second;  // the entry's own text beside its label
        const char* shown;
    };
    const Binding table[] = {
        {"NID_WINDOW", "", "Ctrl+O"},
        {"NID_APPLICATION", "", "Ctrl+Shift+R"},
        {"NID_BOTH", "", "Ctrl+W"},
        {"NID_MARKED", "", "Ctrl+S"},  // the owner's own key wins over the window's
        {"NID_NAMED", "F9", "F9"},
        {"NID_NOBODY", "", ""},
    };
    RCPtr<LMenuDescriptor> keyed(new LMenuDescriptor());
    for (const Binding& row : table) {
        RCPtr<LMenuItemDescriptor> entry = CreateMenuItemDescriptor(u"Entry", String(row.command), true, false);
        entry->SetSecondText(String(row.second));
        ASSERT_GE(keyed->AddItem(entry), 0);
    }
    ASSERT_EQ(rows->SetMenuDescriptor(keyed), S_OK);
    rows->Popup();
    for (uint32_t r = 0; r < std::size(table); ++r) {
        SCOPED_TRACE(table[r].command);
        EXPECT_EQ(Narrow(rows->GetHotKeyText(static_cast<int32_t>(r)).GetChars()), table[r].shown);
        ASSERT_TRUE(Row(r));
        EXPECT_EQ(Narrow(Row(r)->FindChildControl(u"hotKey")->GetText().GetChars()), table[r].shown)
            << "the row shows it";
    }
    rows->SetVisible(false);
}

TEST_F(PopupRowsTest, ClickOrKeysActivateAnEntryAndCloseTheMenu)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> posted;
    };
    const Case cases[] = {
        {"click on the first row",
         [&] {
             LControl* row = Row(0);
             row->OnMouseEnter();
             row->HandleMouseDown(LMouseButtonParam::Create(1, {5, 5}, 0, false, 1, 0));
             row->HandleMouseUp(LMouseButtonParam::Create(1, {5, 5}, 0, false, 0, 0));
             row->OnMouseLeave();
         },
         {"NID_OPEN"}},
        {"Down skips the separator and the disabled entry",
         [&] {
             for (uint32_t vk : {0x28u, 0x28u, 0x0Du}) Key(vk);
         },
         {"NID_MARKED"}},
        {"Escape closes without a command", [&] { Key(0x1B); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log->Clear();
        rows->Popup();
        ASSERT_TRUE(rows->IsEffectivelyVisible(false));
        EXPECT_TRUE(rows->HasFocus());
        c.act();
        EXPECT_FALSE(rows->IsEffectivelyVisible(false));
        target->ProcessNotifications(false);
        EXPECT_EQ(log->names, c.posted);
    }
}

}  // namespace
}  // namespace control_test
