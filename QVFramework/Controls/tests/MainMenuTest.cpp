#include "ClassFactoryTestSupport.h"
#include "ControlTestSupport.h"
#include "LComboMenu.h"
#include "LMainMenu.h"
#include "LMenuItemDescriptor.h"
#include "LMenuListBoxItem.h"

namespace control_test {
namespace {

// A menu button with its menu reduced to the entries it was given.
class FakeMenuButton : public LControl, public IMenuBarButton {
    QV_TYPE_NAME("class FakeMenuButton")
public:
    FakeMenuButton(LControl* parent, const String& name) : LControl(parent, name) {}
    void SetMenuEntries(const std::vector<MenuEntry>& e) override { entries = e; }
    std::vector<MenuEntry> GetMenuEntries() const override { return entries; }
    void ShowMenu(bool show) override { shown = show; }
    bool IsMenuShown() const override { return shown; }
    void SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& u) override { updater = u; }
    std::vector<MenuEntry> entries;
    bool shown = false;
    RCPtr<LMenuItemUpdater> updater;
};

class ButtonFactory : public FakeFactory {
public:
    RCPtr<LControl> CreateControl(const RCPtr<IControlDescriptor>& d, LControl* parent) override
    {
        RCPtr<LControl> c(new FakeMenuButton(parent, d->GetName()));
        c->ApplyDescriptor(d);
        c->Initialize();
        c->SetInitialized(true);
        return c;
    }
};

class MenuApplication : public FakeApplication {
public:
    IControlFactory* GetControlFactory() override { return &buttons; }
    ButtonFactory buttons;
};

class MainMenuFixture : public ControlFixture {
protected:
    MainMenuFixture() : mScope2(menuApp) { MakeTop(); }

    RCPtr<LMainMenu> MakeBar(std::vector<std::pair<String, String>> strings)
    {
        RCPtr<FakeStringTable> table(new FakeStringTable());
        table->strings = std::move(strings);
        menuApp.buttons.tables = {{u"bar", RCPtr<IControlStringTable>(table.Get())}};
        RCPtr<LMainMenu> bar(new LMainMenu(top.Get(), u"bar"));
        RCPtr<FakeDescriptor> d(new FakeDescriptor(u"bar"));
        bar->ApplyDescriptor(d);
        RCPtr<FakeMenuButton> templ(new FakeMenuButton(bar.Get(), u"templateMenu"));
        templ->ApplyDescriptor(RCPtr<IControlDescriptor>(new FakeDescriptor(u"templateMenu")));
        bar->Initialize();
        bar->SetInitialized(true);
        return bar;
    }
    static std::vector<std::pair<String, String>> FileAndHelp()
    {
        return {{u"MENU_LABEL.00", u"File"},
                {u"MENU_LABEL.01", u"Help"},
                {u"CONTEXT_MENU0.00.NID_MENU_FILE_SEND", u"Send|Sends the preset"},
                {u"CONTEXT_MENU0.01.-", u"-"},
                {u"CONTEXT_MENU0.02.NID_MENU_FILE_EXIT_REQ", u"Exit"},
                {u"CONTEXT_MENU1.00.NID_MENU_HELP_ABOUT_REQ", u"About"}};
    }
    FakeMenuButton* Button(LMainMenu& bar, int32_t n) { return dynamic_cast<FakeMenuButton*>(bar.GetMenuButton(n)); }
    std::vector<std::string> Labels(LMainMenu& bar)
    {
        std::vector<std::string> out;
        for (int32_t n = 0; n < bar.GetMenuButtonCount(); ++n)
            out.push_back(Narrow(bar.GetMenuButton(n)->GetText().GetChars()));
        return out;
    }
    std::vector<std::string> Names(LMainMenu& bar)
    {
        std::vector<std::string> out;
        for (int32_t n = 0; n < bar.GetMenuButtonCount(); ++n) out.push_back(Narrow(bar.GetMenuName(n).GetChars()));
        return out;
    }

    MenuApplication menuApp;
    ScopedControlApplication mScope2;
};

TEST_F(MainMenuFixture, MenusComeFromLabelsAndContextMenuEntriesTable)
{
    struct Row {
        const char* what;
        std::vector<std::pair<String, String>> strings;
        std::vector<std::string> labels;
    };
    const Row rows[] = {
        {"file and help", FileAndHelp(), {"File", "Help"}},
        {"two labels, three menus",
         {{u"MENU_LABEL.00", u"A"},
          {u"MENU_LABEL.01", u"B"},
          {u"CONTEXT_MENU0.00.NID_A", u"a"},
          {u"CONTEXT_MENU1.00.NID_B", u"b"},
          {u"CONTEXT_MENU2.00.NID_C", u"c"}},
         {}},
        {"a missing label number leaves an empty one",
         {{u"MENU_LABEL.00", u"A"},
          {u"MENU_LABEL.02", u"C"},
          {u"CONTEXT_MENU0.00.NID_A", u"a"},
          {u"CONTEXT_MENU1.00.NID_B", u"b"},
          {u"CONTEXT_MENU2.00.NID_C", u"c"}},
         {"A", "", "C"}},
        {"label numbers outside 0..99 are ignored",
         {{u"MENU_LABEL.00", u"A"},
          {u"MENU_LABEL.100", u"X"},
          {u"MENU_LABEL.-1", u"Y"},
          {u"MENU_LABEL.99999999999", u"Z"},
          {u"CONTEXT_MENU0.00.NID_A", u"a"}},
         {"A"}},
        {"no strings", {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RCPtr<LMainMenu> bar = MakeBar(row.strings);
        EXPECT_EQ(Labels(*bar), row.labels);
        EXPECT_EQ(Names(*bar), row.labels) << "each menu is named after its label";
        EXPECT_TRUE(bar->FindChildControl(u"templateMenu").IsNull());
        EXPECT_TRUE(bar->IsNotFocusable());
        bar->Close();
    }
}

TEST_F(MainMenuFixture, EntriesKeepTheirOrderSeparatorsAndHelpTexts)
{
    RCPtr<LMainMenu> bar = MakeBar(FileAndHelp());
    const std::vector<MenuEntry> file = Button(*bar, 0)->entries;
    ASSERT_EQ(file.size(), 3u);
    EXPECT_EQ(file[0], (MenuEntry{u"Send", u"Sends the preset", u"NID_MENU_FILE_SEND", false}));
    EXPECT_TRUE(file[1].separator);
    EXPECT_EQ(Narrow(file[2].notification.GetChars()), "NID_MENU_FILE_EXIT_REQ");
    EXPECT_EQ(Button(*bar, 1)->entries.size(), 1u);
}

TEST(BuildContextMenuTest, SingleAndSeveralMenusTable)
{
    struct Row {
        const char* what;
        std::vector<std::pair<String, String>> strings;
        // Each menu's commands in order, "-" for a separator, label after "=".
        std::vector<std::vector<std::string>> menus;
    };
    const Row rows[] = {
        {"single menu",
         {{u"CONTEXT_MENU.01.-", u"-"},
          {u"CONTEXT_MENU.02.NID_PASTE", u"Paste|Pastes"},
          {u"CONTEXT_MENU.00.NID_COPY", u"Copy|Copies"}},
         {{"NID_COPY=Copy", "-=-", "NID_PASTE=Paste"}}},
        {"single menu entries win over numbered ones",
         {{u"CONTEXT_MENU0.00.NID_A", u"a"}, {u"CONTEXT_MENU.00.NID_COPY", u"Copy"}},
         {{"NID_COPY=Copy"}}},
        {"menu 1 listed before menu 0",
         {{u"CONTEXT_MENU1.00.NID_MENU_HELP_ABOUT_REQ", u"About"},
          {u"CONTEXT_MENU0.01.NID_MENU_FILE_EXIT_REQ", u"Exit"},
          {u"CONTEXT_MENU0.00.NID_MENU_FILE_SEND", u"Send"}},
         {{"NID_MENU_FILE_SEND=Send", "NID_MENU_FILE_EXIT_REQ=Exit"}, {"NID_MENU_HELP_ABOUT_REQ=About"}}},
        {"a missing menu number keeps the other menus",
         {{u"CONTEXT_MENU0.00.NID_A", u"a"}, {u"CONTEXT_MENU2.00.NID_C", u"c"}},
         {{"NID_A=a"}, {"NID_C=c"}}},
        {"menus follow their names as strings: 10 comes before 2",
         {{u"CONTEXT_MENU2.00.NID_C", u"c"}, {u"CONTEXT_MENU10.00.NID_K", u"k"}, {u"CONTEXT_MENU1.00.NID_B", u"b"}},
         {{"NID_B=b"}, {"NID_K=k"}, {"NID_C=c"}}},
        {"no entries", {{u"MENU_LABEL.00", u"File"}}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeStringTable table;
        table.strings = row.strings;
        std::vector<std::vector<std::string>> got;
        for (const std::vector<MenuEntry>& menu : LMainMenu::BuildContextMenu(table)) {
            got.emplace_back();
            for (const MenuEntry& e : menu) {
                const std::string command = e.separator ? "-" : Narrow(e.notification.GetChars());
                got.back().push_back(command + "=" + Narrow(e.label.GetChars()));
            }
        }
        EXPECT_EQ(got, row.menus);
    }
}

// Answers the state question of every command with a set result.
class StateControl : public LControl {
    QV_TYPE_NAME("class StateControl")
public:
    using LControl::LControl;
    QVResult QueryCommandState(const RCPtr<LNotification>&) override { return answer; }
    QVResult answer = S_OK;
};

TEST_F(MainMenuFixture, CommandStatesComeFromTheUpdatersTarget)
{
    RCPtr<LMainMenu> bar = MakeBar(FileAndHelp());
    RCPtr<StateControl> editor(new StateControl(top.Get(), u"editor"));
    const RCPtr<LNotification> command = LNotification::Create(u"NID_EDIT_COPY_REQ");
    struct Row {
        const char* what;
        std::function<void()> setUp;
        QVResult result;
    };
    RCPtr<LMenuItemUpdater> own(new LMenuItemUpdater());
    const Row rows[] = {
        {"an updater without a target", [] {}, E_FAIL},
        {"the target's answer", [&] { bar->GetMenuItemUpdater()->SetTarget(editor); }, S_OK},
        {"a refusal passes through", [&] { editor->answer = E_INVALIDARG; }, E_INVALIDARG},
        {"another updater", [&] { bar->SetMenuItemUpdater(own); }, E_FAIL},
        {"no updater", [&] { bar->SetMenuItemUpdater(nullptr); }, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.setUp();
        EXPECT_EQ(bar->QueryCommandState(command), row.result);
    }
    bar->SetMenuItemUpdater(own);
    for (int32_t n = 0; n < bar->GetMenuButtonCount(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Button(*bar, n)->updater, own) << "every menu asks the new updater";
    }
    editor->Close();
}

TEST_F(MainMenuFixture, InsertingBeforeAMenuMovesTheMenusNotTheButtons)
{
    RCPtr<LMainMenu> bar = MakeBar(FileAndHelp());
    const std::vector<MenuEntry> edit = {MenuEntry{u"Cut", u"", u"NID_EDIT_CUT_REQ", false}};
    EXPECT_EQ(bar->InsertMenuBefore(u"File", u"Edit", u"Edit", edit), 0);
    EXPECT_EQ(Labels(*bar), (std::vector<std::string>{"Edit", "File", "Help"}));
    EXPECT_EQ(Names(*bar), (std::vector<std::string>{"Edit", "File", "Help"}));
    EXPECT_EQ(Button(*bar, 0)->entries, edit);
    EXPECT_EQ(Button(*bar, 1)->entries.size(), 3u);
    EXPECT_EQ(bar->GetMenuIndex(u"Help"), 2);

    struct Row {
        const char* what;
        std::function<QVResult()> call;
    };
    const Row refused[] = {
        {"a used name", [&] { return bar->InsertMenu(1, u"Help", u"H", edit); }},
        {"an unknown menu", [&] { return bar->InsertMenuBefore(u"None", u"New", u"N", edit); }},
        {"past the end", [&] { return bar->InsertMenu(4, u"New", u"N", edit); }},
        {"negative", [&] { return bar->InsertMenu(-1, u"New", u"N", edit); }},
    };
    for (const Row& row : refused) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.call(), E_INVALIDARG);
        EXPECT_EQ(Labels(*bar), (std::vector<std::string>{"Edit", "File", "Help"}));
    }
    EXPECT_EQ(bar->InsertMenu(3, u"Tools", u"Tools", {}), 3);
    EXPECT_EQ(Names(*bar), (std::vector<std::string>{"Edit", "File", "Help", "Tools"}));
}

TEST_F(MainMenuFixture, ArrowsMoveTheOpenMenuAndEscapeClosesIt)
{
    RCPtr<LMainMenu> bar = MakeBar(FileAndHelp());
    EXPECT_GE(bar->InsertMenu(2, u"Tools", u"Tools", {}), 0);
    const auto press = [&](uint32_t vk) {
        return bar->OnKeyDown(RCPtr<LKeyParam>(new LKeyParam(KeyPress(vk))));
    };
    EXPECT_EQ(press(0x27), 1) << "no menu open: not handled";
    bar->OpenMenu(0);
    const std::pair<uint32_t, int32_t> steps[] = {{0x27, 1}, {0x27, 2}, {0x27, 0}, {0x25, 2}, {0x25, 1}};
    for (const auto& [vk, open] : steps) {
        EXPECT_EQ(press(vk), 0);
        EXPECT_EQ(bar->GetOpenMenu(), open);
    }
    EXPECT_EQ(press(0x1B), 0);
    EXPECT_EQ(bar->GetOpenMenu(), -1);
    EXPECT_FALSE(Button(*bar, 1)->shown);
}

// Answers the state of commands by name: "NID_MENU_FILE_SEND" is disabled.
class Editor : public TestControl {
public:
    using TestControl::TestControl;
    QVResult QueryCommandState(const RCPtr<LNotification>& command) override
    {
        return Narrow(command->GetID()) == "NID_MENU_FILE_SEND" ? E_INVALIDARG : S_OK;
    }
    bool HandlesEditCommands() const override { return edits; }
    bool edits = false;
};

// Refuses every command.
class Refuser : public TestControl {
public:
    using TestControl::TestControl;
    QVResult QueryCommandState(const RCPtr<LNotification>&) override { return E_INVALIDARG; }
};

// A bar whose menu buttons are real combo menus with real popup rows.
class ComboMenuBarTest : public ControlFixture {
protected:
    ComboMenuBarTest() : mClassScope(classApp)
    {
        classApp.factory.Register<LComboMenu>("Framework.ComboMenu");
        classApp.factory.Register<LPopupMenu>("Framework.PopupMenu");
        classApp.factory.Register<LMenuListBoxItem>("Framework.MenuItem");
        RCPtr<FakeStringTable> table(new FakeStringTable());
        table->strings = {{u"MENU_LABEL.00", u"File"},
                          {u"MENU_LABEL.01", u"Help"},
                          {u"CONTEXT_MENU0.00.NID_MENU_FILE_SEND", u"Send|Sends the preset"},
                          {u"CONTEXT_MENU0.01.-", u"-"},
                          {u"CONTEXT_MENU0.02.NID_MENU_FILE_EXIT_REQ", u"Exit"},
                          {u"CONTEXT_MENU1.00.NID_MENU_HELP_ABOUT_REQ", u"About"}};
        classApp.factory.tables = {{u"bar", RCPtr<IControlStringTable>(table.Get())}};
        MakeTop(400, 300);
        top->SetNotFocusable(false);
        editor = new Editor(top.Get(), u"editor");
        ControlLayout l;
        l.position[1].offset = 200;
        l.size[0].offset = l.size[1].offset = 50;
        l.size[0].kind = l.size[1].kind = LayoutKind::kSelf;
        editor->SetLayout(l);
        editor->SetNotFocusable(false);
        editor->Initialize();
        editor->SetInitialized(true);
        EXPECT_GE(editor->UpdateLayout(), 0);

        using namespace class_factory_test;
        RCPtr<FakeDescriptor> popup = Describe(u"popupMenu", u"Framework.PopupMenu", 0, 0, 120, 20, 3);
        popup->layout.clipToParent = false;
        RCPtr<FakeDescriptor> d =
            With(Describe(u"bar", u"", 0, 0, 400, 20),
                 {With(Describe(u"templateMenu", u"Framework.ComboMenu", 0, 0, 60, 20, 7),
                       {With(popup, {Describe(u"templateItem", u"Framework.MenuItem", 0, 0, 120, 20, 14)})})});
        bar = new LMainMenu(top.Get(), u"bar");
        bar->ApplyDescriptor(d);
        bar->CreateChildren(d);
        bar->Initialize();
        bar->SetInitialized(true);
        EXPECT_GE(bar->UpdateLayout(), 0);

        distributor = new LNotificationDistributor();
        target = new LNotificationQueue();
        EXPECT_EQ(target->SetDistributor(distributor), S_OK);
        for (const char16_t* id : {u"NID_MENU_FILE_SEND", u"NID_MENU_FILE_EXIT_REQ", u"NID_MENU_HELP_ABOUT_REQ"})
            log->RegisterNotification(distributor, id);
        bar->SetNotificationTarget(target);
    }
    ~ComboMenuBarTest() override
    {
        log->UnregisterAllNotifications();
        target->Shutdown();
    }

    LComboMenu* Menu(int32_t n) { return dynamic_cast<LComboMenu*>(bar->GetMenuButton(n)); }
    void Key(uint32_t vk)
    {
        RCPtr<LControl> focus = root->GetFocusControl();
        ASSERT_TRUE(focus);
        focus->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(KeyPress(vk))));
    }
    std::vector<std::string> Posted()
    {
        target->ProcessNotifications(false);
        std::vector<std::string> out = log->names;
        log->Clear();
        return out;
    }

    class_factory_test::ClassApplication classApp;
    ScopedControlApplication mClassScope;
    RCPtr<Editor> editor;
    RCPtr<LMainMenu> bar;
    RCPtr<LNotificationDistributor> distributor;
    RCPtr<LNotificationQueue> target;
    RCPtr<NotificationLog> log{new NotificationLog()};
};

TEST_F(ComboMenuBarTest, EveryMenuIsAComboMenuWithItsEntries)
{
    ASSERT_EQ(bar->GetMenuButtonCount(), 2);
    ASSERT_TRUE(Menu(0) && Menu(1));
    EXPECT_EQ(Narrow(Menu(1)->GetText().GetChars()), "Help");
    RCPtr<LPopupMenu> file = Menu(0)->GetPopupMenu();
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetItemCount(), 3);
    EXPECT_EQ(file->GetItem(1)->separator, 1);
    EXPECT_EQ(Narrow(file->GetMenu()->GetItem(0)->GetHelpText().GetChars()), "Sends the preset");
    EXPECT_FALSE(file->IsEffectivelyVisible(false));
    EXPECT_EQ(Menu(0)->GetMenuItemUpdater(), bar->GetMenuItemUpdater()) << "one updater for the bar";
}

TEST_F(ComboMenuBarTest, PressOpensBelowAndReleasePicksOrCloses)
{
    struct Row {
        const char* what;
        int32_t releaseX, releaseY;  // in the popup
        bool open;
        std::vector<std::string> posted;
    };
    const Row rows[] = {
        {"over the button: stays open", 5, -10, true, {}},
        {"over Exit", 5, 45, false, {"NID_MENU_FILE_EXIT_REQ"}},
        {"over the disabled Send: nothing posted", 5, 5, false, {}},
        {"outside: closes", 300, 150, false, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        editor->SetFocus(true);
        LComboMenu* file = Menu(0);
        RCPtr<LPopupMenu> popup = file->GetPopupMenu();
        root->buttons = 1;
        file->HandleMouseDown(LMouseButtonParam::Create(1, {5, 5}, 0, false, 1, 0));
        ASSERT_TRUE(file->IsMenuShown());
        EXPECT_EQ(bar->GetOpenMenu(), 0);
        EXPECT_DOUBLE_EQ(popup->GetFrame().y, file->GetFrame().height) << "below its button";
        EXPECT_EQ(root->capture, popup.Get());
        root->buttons = 0;
        popup->HandleMouseUp(LMouseButtonParam::Create(1, {row.releaseX, row.releaseY}, 0, false, 0, 0));
        EXPECT_EQ(file->IsMenuShown(), row.open);
        EXPECT_EQ(Posted(), row.posted);
        if (!row.open) {
            EXPECT_TRUE(editor->HasFocus()) << "the focus goes back where it was";
        }
        file->ShowMenu(false);
    }
}

TEST_F(ComboMenuBarTest, KeysMoveBetweenMenusAndActivateAnEntry)
{
    editor->SetFocus(true);
    bar->OpenMenu(0);
    EXPECT_TRUE(Menu(0)->GetPopupMenu()->HasFocus());
    Key(0x27);
    EXPECT_EQ(bar->GetOpenMenu(), 1) << "Right moves to Help";
    EXPECT_FALSE(Menu(0)->IsMenuShown());
    Key(0x25);
    EXPECT_EQ(bar->GetOpenMenu(), 0) << "Left moves back";
    EXPECT_EQ(bar->GetMenuItemUpdater()->GetTarget().Get(), editor.Get()) << "states asked of the editor";
    Key(0x28);
    EXPECT_EQ(Menu(0)->GetPopupMenu()->GetCaret(), 2) << "the disabled Send and the separator are skipped";
    Key(0x0D);
    EXPECT_EQ(bar->GetOpenMenu(), -1);
    EXPECT_EQ(Posted(), (std::vector<std::string>{"NID_MENU_FILE_EXIT_REQ"}));
    EXPECT_TRUE(editor->HasFocus());

    bar->OpenMenu(1);
    Key(0x1B);
    EXPECT_EQ(bar->GetOpenMenu(), -1) << "Escape closes";
    EXPECT_TRUE(Posted().empty());
    EXPECT_TRUE(editor->HasFocus());
}

TEST_F(ComboMenuBarTest, EditTargetIsTheControlFocusedBeforeTheMenuAcrossOpenAndClose)
{
    struct Row {
        const char* what;
        bool editorEdits;
        bool byKeys;
        bool expectEditor;
    };
    const Row rows[] = {
        {"opened by a press, the editor edits", true, false, true},
        {"opened by keys, the editor edits", true, true, true},
        {"the editor does not edit: nobody up the chain does", false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        editor->edits = row.editorEdits;
        editor->SetFocus(true);
        if (row.byKeys) {
            bar->OpenMenu(0);
        } else {
            root->buttons = 1;
            Menu(0)->HandleMouseDown(LMouseButtonParam::Create(1, {5, 5}, 0, false, 1, 0));
            root->buttons = 0;
        }
        ASSERT_TRUE(Menu(0)->IsMenuShown());
        RCPtr<LControl> focus = root->GetFocusControl();
        ASSERT_TRUE(focus);
        ASSERT_NE(focus.Get(), editor.Get()) << "the menu has the focus";
        LControl* expected = row.expectEditor ? editor.Get() : nullptr;
        EXPECT_EQ(focus->GetEditTarget(), expected) << "edits from inside the open menu";
        EXPECT_EQ(bar->GetEditTarget(), expected);
        Key(0x1B);
        EXPECT_EQ(bar->GetOpenMenu(), -1);
        EXPECT_TRUE(editor->HasFocus());
        EXPECT_EQ(bar->GetEditTarget(), expected) << "kept after the menu closed";
    }
}

TEST_F(ComboMenuBarTest, PopupDescriptorAndUpdaterOfAButton)
{
    RCPtr<LPopupMenu> file = LMainMenu::GetPopupMenu(Menu(0));
    ASSERT_TRUE(file);
    EXPECT_EQ(file.Get(), Menu(0)->GetPopupMenu().Get());
    EXPECT_EQ(LMainMenu::GetMenuDescriptor(Menu(0)).Get(), file->GetMenu().Get());
    ASSERT_TRUE(LMainMenu::GetMenuDescriptor(Menu(1)));
    EXPECT_EQ(LMainMenu::GetMenuDescriptor(Menu(1))->GetItemCount(), 1);

    struct Row {
        const char* what;
        LControl* button;
    };
    const Row empty[] = {{"no button", nullptr}, {"a control without a popup", editor.Get()}, {"the bar", bar.Get()}};
    for (const Row& row : empty) {
        SCOPED_TRACE(row.what);
        EXPECT_FALSE(LMainMenu::GetPopupMenu(row.button));
        EXPECT_FALSE(LMainMenu::GetMenuDescriptor(row.button));
        LMainMenu::SetPopupUpdater(row.button, nullptr);  // nothing to change, no crash
    }

    RCPtr<Refuser> refuser(new Refuser(top.Get(), u"refuser"));
    LMainMenu::SetPopupUpdater(Menu(1), RCPtr<LMenuItemUpdater>(new LMenuItemUpdater(refuser)));
    RCPtr<LPopupMenu> help = LMainMenu::GetPopupMenu(Menu(1));
    help->UpdateEntryStates();
    EXPECT_FALSE(help->IsItemSelectable(0)) << "About asked of the new updater's target";
    editor->SetFocus(true);
    bar->OpenMenu(0);
    EXPECT_TRUE(file->IsItemSelectable(2)) << "the other menu keeps the bar's updater";
    Key(0x1B);
}

}  // namespace
}  // namespace control_test
