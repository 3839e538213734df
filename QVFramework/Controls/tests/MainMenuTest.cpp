#include "ClassFactoryTestSupport.h"
#include "ControlTestSupport.h"
#include "LComboMenu.h"
#include "LMainMenu.h"
#include "LMenuItemDescriptor.h"
#include "LMenuListBoxItem.h"

namespace control_test {
namespace {

// A menu button that only keeps the menu it was given.
class FakeMenuButton : public LControl, public IMenuBarButton {
    QV_TYPE_NAME("class FakeMenuButton")
public:
    FakeMenuButton(LControl* parent, const String& name) : LControl(parent, name) {}
    void SetMenu(const RCPtr<LMenuDescriptor>& m) override { menu = m; }
    RCPtr<LMenuDescriptor> GetMenu() const override { return menu; }
    void ShowMenu(bool show) override { shown = show; }
    bool IsMenuShown() const override { return shown; }
    void SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& u) override { updater = u; }
    RCPtr<LMenuDescriptor> menu;
    bool shown = false;
    RCPtr<LMenuItemUpdater> updater;
};

// "NID=label" per entry, "-" for a separator, "label>[...]" for a submenu.
std::vector<std::string> Entries(const RCPtr<LMenuDescriptor>& menu)
{
    std::vector<std::string> out;
    for (uint32_t i = 0; menu && i < menu->GetItemCount(); ++i) {
        RCPtr<LMenuItemDescriptor> e = menu->GetItem(i);
        const std::string label = Narrow(e->GetText().GetChars());
        if (e->IsSeparator()) {
            out.push_back("-");
        } else if (e->GetItemCount() > 0) {
            std::string inner;
            for (const std::string& sub : Entries(RCPtr<LMenuDescriptor>(e.Get()))) inner += (inner.empty() ? "" : ",") + sub;
            out.push_back(label + ">[" + inner + "]");
        } else {
            out.push_back(Narrow(e->GetKey().GetChars()) + "=" + label);
        }
    }
    return out;
}

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
    // What each button is called itself, and the bar's answers for every such name.
    void ExpectButtonNames(LMainMenu& bar, const std::vector<std::string>& names)
    {
        ASSERT_EQ(bar.GetMenuButtonCount(), static_cast<int32_t>(names.size()));
        for (int32_t n = 0; n < bar.GetMenuButtonCount(); ++n) {
            SCOPED_TRACE(names[static_cast<size_t>(n)]);
            const String name = bar.GetMenuButton(n)->GetName();
            EXPECT_EQ(Narrow(name.GetChars()), names[static_cast<size_t>(n)]);
            EXPECT_EQ(bar.FindMenuButton(name), n);
            EXPECT_EQ(bar.GetMenuIndex(name), n - bar.GetSkinMenuCount());
            EXPECT_EQ(Narrow(bar.GetMenuButton(n)->GetText().GetChars()), names[static_cast<size_t>(n)]);
        }
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
        {"label numbers read as decimal numbers up to the first other character",
         {{u"MENU_LABEL.0", u"A"},
          {u"MENU_LABEL.+1", u"B"},
          {u"MENU_LABEL.02x", u"C"},
          {u"CONTEXT_MENU0.00.NID_A", u"a"},
          {u"CONTEXT_MENU1.00.NID_B", u"b"},
          {u"CONTEXT_MENU2.00.NID_C", u"c"}},
         {"A", "B", "C"}},
        {"a negative label number is ignored",
         {{u"MENU_LABEL.00", u"A"}, {u"MENU_LABEL.-1", u"Y"}, {u"CONTEXT_MENU0.00.NID_A", u"a"}},
         {"A"}},
        {"a huge label number: more labels than menus, so none",
         {{u"MENU_LABEL.00", u"A"}, {u"MENU_LABEL.99999999999", u"Z"}, {u"CONTEXT_MENU0.00.NID_A", u"a"}},
         {}},
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

TEST_F(MainMenuFixture, ALabelNumberIsNotLimitedToTwoDigits)
{
    std::vector<std::pair<String, String>> strings;
    for (int i = 0; i <= 100; ++i) {
        const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
        strings.emplace_back(String(("MENU_LABEL." + n).c_str()), String(("L" + std::to_string(i)).c_str()));
        strings.emplace_back(String(("CONTEXT_MENU" + n + ".00.NID_" + n).c_str()), u"entry");
    }
    RCPtr<LMainMenu> bar = MakeBar(strings);
    ASSERT_EQ(bar->GetMenuButtonCount(), 101);
    EXPECT_EQ(Narrow(bar->GetMenuButton(100)->GetText().GetChars()), "L100");
    EXPECT_EQ(bar->GetMenuIndex(u"L100"), 100);
    bar->Close();
}

TEST_F(MainMenuFixture, EntriesKeepTheirOrderSeparatorsAndHelpTexts)
{
    RCPtr<LMainMenu> bar = MakeBar(FileAndHelp());
    const RCPtr<LMenuDescriptor> file = Button(*bar, 0)->menu;
    EXPECT_EQ(Entries(file), (std::vector<std::string>{"NID_MENU_FILE_SEND=Send", "-", "NID_MENU_FILE_EXIT_REQ=Exit"}));
    ASSERT_TRUE(file && file->GetItemCount() == 3);
    EXPECT_EQ(Narrow(file->GetItem(0)->GetHelpText().GetChars()), "Sends the preset");
    EXPECT_EQ(Entries(Button(*bar, 1)->menu), (std::vector<std::string>{"NID_MENU_HELP_ABOUT_REQ=About"}));
}

TEST_F(MainMenuFixture, AnEntryCanOpenASubmenu)
{
    RCPtr<LMainMenu> bar = MakeBar({{u"MENU_LABEL.00", u"File"},
                                    {u"CONTEXT_MENU0.00.NID_MENU_FILE_SEND", u"Send"},
                                    {u"CONTEXT_MENU0.01.RECENT.", u"Recent"},
                                    {u"CONTEXT_MENU0.RECENT.00.NID_RECENT_A", u"a.preset"},
                                    {u"CONTEXT_MENU0.RECENT.01.NID_RECENT_B", u"b.preset"},
                                    {u"CONTEXT_MENU0.02.NID_MENU_FILE_EXIT_REQ", u"Exit"}});
    ASSERT_EQ(bar->GetMenuButtonCount(), 1);
    EXPECT_EQ(Entries(Button(*bar, 0)->menu),
              (std::vector<std::string>{"NID_MENU_FILE_SEND=Send", "Recent>[NID_RECENT_A=a.preset,NID_RECENT_B=b.preset]",
                                        "NID_MENU_FILE_EXIT_REQ=Exit"}));
}

// Answers the state question of every command with a set result and state.
class StateControl : public LControl {
    QV_TYPE_NAME("class StateControl")
public:
    using LControl::LControl;
    QVResult QueryCommandState(const RCPtr<LNotification>&, bool& enabled) override
    {
        enabled = state;
        return answer;
    }
    QVResult answer = S_OK;
    bool state = true;
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
        int enabled;  // the out-state: 0 or 1; -1 when it is left alone
    };
    RCPtr<LMenuItemUpdater> own(new LMenuItemUpdater());
    const Row rows[] = {
        {"an updater without a target", [] {}, E_FAIL, -1},
        {"the target's answer", [&] { bar->GetMenuItemUpdater()->SetTarget(editor); }, S_OK, 1},
        {"the target's state", [&] { editor->state = false; }, S_OK, 0},
        {"a failure passes through", [&] { editor->answer = E_INVALIDARG; }, E_INVALIDARG, 0},
        {"another updater", [&] { bar->SetMenuItemUpdater(own); }, E_FAIL, -1},
        {"no updater", [&] { bar->SetMenuItemUpdater(nullptr); }, kNotHandled, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.setUp();
        for (const bool before : {false, true}) {
            bool enabled = before;
            EXPECT_EQ(bar->QueryCommandState(command, enabled), row.result);
            EXPECT_EQ(enabled, row.enabled < 0 ? before : row.enabled == 1);
        }
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
    RCPtr<LMenuDescriptor> edit(new LMenuDescriptor());
    ASSERT_GE(edit->AddItem(u"Cut", u"NID_EDIT_CUT_REQ"), 0);
    const std::vector<std::string> fileEntries = Entries(Button(*bar, 0)->menu);
    EXPECT_EQ(bar->InsertMenuBefore(u"File", u"Edit", u"Edit", edit), 0);
    ExpectButtonNames(*bar, {"Edit", "File", "Help"});
    EXPECT_EQ(Names(*bar), (std::vector<std::string>{"Edit", "File", "Help"}));
    for (const char16_t* passing : {u"File_", u"Help_"}) EXPECT_EQ(bar->FindMenuButton(passing), -1);
    EXPECT_EQ(Entries(Button(*bar, 0)->menu), (std::vector<std::string>{"NID_EDIT_CUT_REQ=Cut"}));
    EXPECT_EQ(Entries(Button(*bar, 1)->menu), fileEntries);
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
        EXPECT_EQ(Entries(Button(*bar, 1)->menu), fileEntries);
    }
    EXPECT_EQ(bar->InsertMenu(3, u"Tools", u"Tools", nullptr), 3);
    EXPECT_EQ(bar->InsertMenu(2, u"View", u"View", nullptr), 2);
    ExpectButtonNames(*bar, {"Edit", "File", "View", "Help", "Tools"});
    EXPECT_TRUE(Entries(Button(*bar, 2)->menu).empty());
    EXPECT_EQ(Entries(Button(*bar, 1)->menu), fileEntries);
}

// A skin change re-applies the bar: the menus added at run time come back,
// with their names, labels and entries, in order.
TEST_F(MainMenuFixture, SkinChangeKeepsTheAddedMenus)
{
    RCPtr<LMainMenu> bar = MakeBar(FileAndHelp());
    RCPtr<LMenuDescriptor> tools(new LMenuDescriptor());
    ASSERT_GE(tools->AddItem(u"Tune", u"NID_TUNE"), 0);
    ASSERT_EQ(bar->InsertMenu(2, u"Tools", u"Tools", tools), 2);
    const std::vector<std::string> fileEntries = Entries(Button(*bar, 0)->menu);
    // An insertion in front moves the other menus, names and all, before the skin changes.
    ASSERT_EQ(bar->InsertMenuBefore(u"File", u"Edit", u"Edit", nullptr), 0);
    const auto skin = [](double templateWidth) {
        RCPtr<FakeDescriptor> d(new FakeDescriptor(u"bar"));
        if (templateWidth > 0) {
            RCPtr<FakeDescriptor> templ(new FakeDescriptor(u"templateMenu"));
            templ->layout.size[0].kind = LayoutKind::kSelf;
            templ->layout.size[0].offset = templateWidth;
            d->children.push_back(templ);
        }
        return d;
    };

    struct Row {
        const char* what;
        RCPtr<IControlDescriptor> skin;
        QVResult result;
        double width;  // of the template a new button is made from
    };
    const Row rows[] = {
        {"a new skin with its template", skin(90.0), S_OK, 90.0},
        {"no skin: refused", nullptr, E_INVALIDARG, 90.0},
        {"the next skin's template", skin(70.0), S_OK, 70.0},
        {"a skin without a template keeps the last one", skin(0.0), S_OK, 70.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(bar->ApplyDescriptor(row.skin), row.result);
        ExpectButtonNames(*bar, {"Edit", "File", "Help", "Tools"});
        EXPECT_EQ(Names(*bar), (std::vector<std::string>{"Edit", "File", "Help", "Tools"}));
        EXPECT_EQ(bar->GetMenuIndex(u"Edit"), 0);
        EXPECT_EQ(Entries(Button(*bar, 1)->menu), fileEntries);
        EXPECT_EQ(Entries(Button(*bar, 3)->menu), (std::vector<std::string>{"NID_TUNE=Tune"}));
        EXPECT_TRUE(bar->FindChildControl(u"templateMenu").IsNull()) << "the template makes no control";
        EXPECT_EQ(Button(*bar, 3)->updater, bar->GetMenuItemUpdater());
        EXPECT_DOUBLE_EQ(bar->GetMenuButton(3)->GetLayout().size[0].offset, row.width);
        EXPECT_EQ(bar->InsertMenu(4, u"Tools", u"T", nullptr), E_INVALIDARG) << "the name is still taken";
    }
    ASSERT_EQ(bar->InsertMenu(4, u"Late", u"Late", nullptr), 4);
    const LayoutRecord& x = bar->GetMenuButton(4)->GetLayout().position[0];
    EXPECT_EQ(x.kind, LayoutKind::kSibling);
    EXPECT_EQ(Narrow(x.name.GetChars()), "Tools") << "placed after the last menu";
}

TEST_F(MainMenuFixture, TemplateFromTheFirstMenuButtonJoiningOrATemplateDescriptor)
{
    const auto describe = [](const char16_t* name, double width) {
        RCPtr<FakeDescriptor> d(new FakeDescriptor(name));
        d->layout.size[0].kind = LayoutKind::kSelf;
        d->layout.size[0].offset = width;
        return RCPtr<IControlDescriptor>(d.Get());
    };
    const auto button = [](const char16_t* name) { return RCPtr<LControl>(new FakeMenuButton(nullptr, name)); };
    struct Call {
        RCPtr<LControl> child;
        RCPtr<IControlDescriptor> descriptor;
        QVResult result;
    };
    struct Row {
        const char* what;
        std::vector<Call> calls;
        double width;  // of the template; -1 when the bar has none
    };
    const Row rows[] = {
        {"a menu button joining", {{button(u"m1"), describe(u"m1", 40), S_OK}}, 40},
        {"only the first button",
         {{button(u"m1"), describe(u"m1", 40), S_OK}, {button(u"m2"), describe(u"m2", 50), S_OK}},
         40},
        {"a control that is no menu button", {{RCPtr<LControl>(new TestControl(nullptr, u"c")), describe(u"c", 40), S_OK}}, -1},
        {"a template descriptor without a control", {{nullptr, describe(u"templateMenu", 60), S_OK}}, 60},
        {"the template descriptor wins over a button",
         {{button(u"m1"), describe(u"m1", 40), S_OK}, {nullptr, describe(u"templateMenu", 60), S_OK}},
         60},
        {"another descriptor without a control", {{nullptr, describe(u"other", 60), E_FAIL}}, -1},
        {"nothing at all", {{nullptr, nullptr, E_FAIL}}, -1},
        {"a button without a descriptor", {{button(u"m1"), nullptr, E_FAIL}}, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RCPtr<LMainMenu> bar(new LMainMenu(top.Get(), u"bare"));
        ASSERT_EQ(bar->ApplyDescriptor(RCPtr<IControlDescriptor>(new FakeDescriptor(u"bare"))), S_OK);
        ASSERT_EQ(bar->Initialize(), S_OK);
        bar->SetInitialized(true);
        for (const Call& call : row.calls) EXPECT_EQ(bar->SetParent(call.child, call.descriptor), call.result);
        EXPECT_TRUE(bar->FindChildControl(u"templateMenu").IsNull()) << "a template descriptor adds no control";
        const int32_t before = bar->GetMenuButtonCount();
        if (row.width < 0) {
            EXPECT_EQ(bar->AddMenu(u"New"), E_FAIL) << "nothing to make a menu from";
        } else {
            ASSERT_EQ(bar->AddMenu(u"New"), S_OK);
            EXPECT_DOUBLE_EQ(bar->GetMenuButton(before)->GetLayout().size[0].offset, row.width);
        }
        bar->Close();
    }
}

TEST_F(MainMenuFixture, ArrowsMoveTheOpenMenuAndEscapeClosesIt)
{
    RCPtr<LMainMenu> bar = MakeBar(FileAndHelp());
    EXPECT_GE(bar->InsertMenu(2, u"Tools", u"Tools", {}), 0);
    const auto press = [&](uint32_t vk) {
        return bar->OnKeyDown(RCPtr<LKeyParam>(new LKeyParam(KeyPress(vk))));
    };
    EXPECT_EQ(press(0x27), kNotHandled) << "no menu open";
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
    QVResult QueryCommandState(const RCPtr<LNotification>& command, bool& enabled) override
    {
        enabled = Narrow(command->GetID()) != "NID_MENU_FILE_SEND";
        return S_OK;
    }
    bool HandlesEditCommands() const override { return edits; }
    bool edits = false;
};

// Disables every command.
class Refuser : public TestControl {
public:
    using TestControl::TestControl;
    QVResult QueryCommandState(const RCPtr<LNotification>&, bool& enabled) override
    {
        enabled = false;
        return S_OK;
    }
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
        for (const char16_t* id : {u"NID_MENU_FILE_SEND", u"NID_MENU_FILE_EXIT_REQ", u"NID_MENU_HELP_ABOUT_REQ", u"NID_TUNE"})
            log->RegisterNotification(distributor, id);
        root->queue = target;
        EXPECT_GE(top->AttachToRootWindow(RCPtr<IRootWindow>(root.Get())), 0) << "connects the menus";
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

TEST_F(ComboMenuBarTest, EveryMenuPostsThroughTheRootWindowsQueueAlsoOneAddedLater)
{
    RCPtr<LMenuDescriptor> tools(new LMenuDescriptor());
    ASSERT_GE(tools->AddItem(u"Tune", u"NID_TUNE"), 0);
    ASSERT_EQ(bar->InsertMenuBefore(u"Help", u"Tools", u"Tools", tools), 1);
    struct Row {
        int32_t menu;
        int32_t entry;
        const char* posted;
    };
    const Row rows[] = {{0, 2, "NID_MENU_FILE_EXIT_REQ"}, {1, 0, "NID_TUNE"}, {2, 0, "NID_MENU_HELP_ABOUT_REQ"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.posted);
        ASSERT_EQ(Menu(row.menu)->GetPopupMenu()->ActivateEntry(row.entry), S_OK);
        EXPECT_EQ(Posted(), (std::vector<std::string>{row.posted}));
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
