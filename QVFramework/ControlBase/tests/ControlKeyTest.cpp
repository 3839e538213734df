#include "ControlTestSupport.h"
#include "LMenuItemDescriptor.h"

namespace control_test {
namespace {

constexpr uint32_t kTab = 9;

// top: c1 {x1, x2}, c2 {y1, y2 hidden, y3 disabled, y4}, c3 not focusable.
class KeyTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        c1 = Make(top.Get(), u"c1", 0, 0, 100, 100, 0);
        c2 = Make(top.Get(), u"c2", 100, 0, 100, 100, 1);
        c3 = Make(top.Get(), u"c3", 200, 0, 100, 100, -1);
        x1 = Make(c1.Get(), u"x1", 0, 0, 10, 10, 0);
        x2 = Make(c1.Get(), u"x2", 0, 20, 10, 10, 1);
        y1 = Make(c2.Get(), u"y1", 0, 0, 10, 10, 0);
        y2 = Make(c2.Get(), u"y2", 0, 20, 10, 10, 1);
        y3 = Make(c2.Get(), u"y3", 0, 40, 10, 10, 2);
        y4 = Make(c2.Get(), u"y4", 0, 60, 10, 10, 3);
        y2->SetVisible(false);
        y3->SetEnabled(false);
    }

    static RCPtr<LKeyParam> Key(uint32_t vk, uint32_t modifiers = 0, int32_t stayInside = 0)
    {
        return RCPtr<LKeyParam>(new LKeyParam(KeyPress(vk, modifiers), stayInside));
    }

    RCPtr<TestControl> c1, c2, c3, x1, x2, y1, y2, y3, y4;
};

TEST_F(KeyTest, TabNavigationMovesAcrossContainersAndSkipsHiddenAndDisabled)
{
    // Indices into the list below.
    TestControl* controls[] = {x1.Get(), x2.Get(), y1.Get(), y4.Get()};
    const struct {
        const char* name;
        int from;
        uint32_t modifiers;
        int32_t stayInside;
        int expected;
    } rows[] = {
        {"tab off the last child enters the next container", 1, 0, 0, 2},
        {"tab from a sibling-key parameter wraps inside", 1, 0, 1, 0},
        {"tab skips the hidden and the disabled child", 2, 0, 0, 3},
        {"shift+tab off the first child enters the previous container at its end", 2, KeyCode::kShift, 0, 1},
        {"ctrl+tab leaves the nested container for its next sibling", 0, KeyCode::kCtrl, 1, 2},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(controls[r.from]->SetFocus(true), S_OK);
        controls[r.from]->HandleKeyDown(Key(kTab, r.modifiers, r.stayInside));
        EXPECT_TRUE(controls[r.expected]->HasFocus());
        EXPECT_EQ(root->focus, controls[r.expected]);
    }
    EXPECT_FALSE(y2->HasFocus());
    EXPECT_FALSE(y3->HasFocus());
}

TEST_F(KeyTest, TabOffTheLastTopLevelChildGoesToTheRootWindow)
{
    y4->SetFocus(true);
    y4->HandleKeyDown(Key(kTab));
    EXPECT_TRUE(y4->HasFocus()) << "c3 cannot take the focus, so the top hands it on";
    ASSERT_EQ(root->tabs.size(), 1u);
    const auto& route = root->tabs[0]->route;
    ASSERT_EQ(route.size(), 3u);
    EXPECT_EQ(route[0].Get(), y4.Get());
    EXPECT_EQ(route[1].Get(), c2.Get());
    EXPECT_EQ(route[2].Get(), top.Get());
}

TEST_F(KeyTest, AControlThatWantsTabKeepsIt)
{
    x1->SetWantsTab(true);
    x1->SetFocus(true);
    x1->HandleKeyDown(Key(kTab));
    ASSERT_EQ(x1->keys.size(), 1u);
    EXPECT_TRUE(x1->HasFocus());
    EXPECT_TRUE(root->tabs.empty());
}

TEST_F(KeyTest, UnhandledKeysEndAtTheRootThenTheApplicationHotKeys)
{
    x1->SetFocus(true);
    x1->HandleKeyDown(Key('Q'));
    EXPECT_EQ(root->hotKeys.size(), 1u);
    EXPECT_EQ(app.hotKeys.size(), 1u);

    root->hotKeyResult = 0;
    x1->HandleKeyDown(Key('Q'));
    EXPECT_EQ(root->hotKeys.size(), 2u);
    EXPECT_EQ(app.hotKeys.size(), 1u) << "taken by the root window's keys";

    x1->keyResult = 0;
    x1->HandleKeyDown(Key('Q'));
    EXPECT_EQ(root->hotKeys.size(), 2u) << "handled by the control itself";

    RCPtr<TestControl> loose = Make(nullptr, u"loose", 0, 0, 10, 10);
    loose->HandleKeyDown(Key('W'));
    EXPECT_EQ(app.hotKeys.size(), 2u) << "no root window: straight to the application";

    y3->HandleKeyDown(Key('Q'));
    EXPECT_TRUE(y3->keys.empty()) << "a disabled control ignores keys";
}

TEST_F(KeyTest, SiblingKeysAskTheNearestEarlierSiblingFirst)
{
    const KeyCode ctrlF = KeyPress('F', KeyCode::kCtrl);
    RCPtr<TestControl> x0 = Make(c1.Get(), u"x0", 0, 40, 10, 10, -1);
    RCPtr<TestControl> x3 = Make(c1.Get(), u"x3", 0, 60, 10, 10, 5);
    for (TestControl* c : {x0.Get(), x3.Get()}) {
        EXPECT_GE(c->BindKey(ctrlF, u"NID_FIND"), 0);
        c->Initialize();
    }
    x2->SetFocus(true);
    x2->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(ctrlF)));
    EXPECT_EQ(x0->received, std::vector<std::string>{"NID_FIND"}) << "x0 comes before x2 in tab order";
    EXPECT_TRUE(x3->received.empty());
    EXPECT_TRUE(root->hotKeys.empty());

    EXPECT_TRUE(x0->HasShortcut(u"NID_FIND"));
    EXPECT_EQ(x0->GetShortcutKey(u"NID_FIND"), ctrlF);
    EXPECT_FALSE(x0->HasShortcut(u"NID_OWN"));
    EXPECT_EQ(x0->GetShortcutKey(u"NID_OWN"), KeyCode{});

    // The focused control's own binding wins before anybody else is asked.
    EXPECT_GE(x2->BindKey(ctrlF, u"NID_OWN"), 0);
    x2->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(ctrlF)));
    EXPECT_EQ(x2->received, std::vector<std::string>{"NID_OWN"});
    EXPECT_EQ(x0->received.size(), 1u);
}

// The control's own keys come from the "LHK" entries of its string table;
// every other entry is left to the maps it belongs to.
TEST_F(KeyTest, OwnKeysComeFromTheLhkEntriesOfTheStringTable)
{
    const KeyCode ctrlF = KeyPress('F', KeyCode::kCtrl);
    const KeyCode deleteKey = KeyPress(0x2E);
    using Entries = std::vector<std::pair<String, String>>;
    const struct {
        const char* name;
        Entries entries;
        KeyCode pressed;
        const char* fires;  // empty: the key travels on to the hot keys
    } rows[] = {
        {"a bound key sends its command", {{u"LHK.NID_FIND", u"Ctrl+VKEY_F"}}, ctrlF, "NID_FIND"},
        {"the same key without its modifier does not",
         {{u"LHK.NID_FIND", u"Ctrl+VKEY_F"}},
         KeyPress('F'),
         ""},
        {"releasing the bound key does not",
         {{u"LHK.NID_FIND", u"Ctrl+VKEY_F"}},
         KeyCode(uint32_t{'F'}, false, 0, KeyCode::kModCtrl),
         ""},
        {"the command is the id's last segment",
         {{u"LHK.Search.NID_FIND", u"Shift+Ctrl+VKEY_F"}},
         KeyPress('F', KeyCode::kCtrl | KeyCode::kShift),
         "NID_FIND"},
        {"the first entry that binds a key keeps it",
         {{u"LHK.NID_ERASE", u"VKEY_DELETE"}, {u"LHK.NID_CLEAR", u"VKEY_DELETE"}},
         deleteKey,
         "NID_ERASE"},
        {"window shortcuts are not the control's", {{u"GHK.NID_FIND", u"Ctrl+VKEY_F"}}, ctrlF, ""},
        {"a longer prefix is another prefix", {{u"LHKX.NID_FIND", u"Ctrl+VKEY_F"}}, ctrlF, ""},
        {"a prefix without its dot binds nothing", {{u"LHKNID_FIND", u"Ctrl+VKEY_F"}}, ctrlF, ""},
        // An unknown key name leaves only the modifier; bound, it would fire
        // on a key code that carries no key at all.
        {"an unknown key name binds nothing",
         {{u"LHK.NID_FIND", u"Ctrl+VKEY_NO_SUCH_KEY"}},
         KeyPress(0, KeyCode::kCtrl),
         ""},
        {"a good entry still binds beside a bad one",
         {{u"LHK.NID_BROKEN", u"Ctrl+VKEY_NO_SUCH_KEY"}, {u"LHK.NID_FIND", u"Ctrl+VKEY_F"}},
         ctrlF,
         "NID_FIND"},
    };
    int n = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        RCPtr<FakeStringTable> table(new FakeStringTable());
        table->strings = r.entries;
        const String name = String(u"keyed") + String(std::to_string(n++).c_str());
        app.factory.tables.push_back({name, RCPtr<IControlStringTable>(table.Get())});
        RCPtr<TestControl> keyed = Make(c1.Get(), name.GetChars(), 0, 80, 10, 10, 7);
        ASSERT_EQ(keyed->SetFocus(true), S_OK);
        const size_t hotKeysBefore = root->hotKeys.size();

        keyed->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(r.pressed)));

        const std::string fires = r.fires;
        EXPECT_EQ(keyed->received, fires.empty() ? std::vector<std::string>{} : std::vector<std::string>{fires});
        EXPECT_EQ(keyed->keys.size(), fires.empty() ? 1u : 0u) << "a shortcut is not typed into the control";
        EXPECT_EQ(root->hotKeys.size(), hotKeysBefore + (fires.empty() ? 1u : 0u));
        keyed->Close();
    }
}

// Keys read from the table also reach the control from a focused sibling,
// and menus find them by command.
TEST_F(KeyTest, OwnKeysFromTheTableAnswerForFocusedSiblings)
{
    const KeyCode ctrlF = KeyPress('F', KeyCode::kCtrl);
    RCPtr<FakeStringTable> table(new FakeStringTable());
    table->strings = {{u"TOOLTIP", u"Find"}, {u"LHK.NID_FIND", u"Ctrl+VKEY_F"}, {u"LHK.Menu.NID_FIND", u"VKEY_F3"}};
    app.factory.tables.push_back({u"finder", RCPtr<IControlStringTable>(table.Get())});
    RCPtr<TestControl> finder = Make(c1.Get(), u"finder", 0, 80, 10, 10, 7);

    x1->SetFocus(true);
    x1->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(ctrlF)));
    EXPECT_EQ(finder->received, std::vector<std::string>{"NID_FIND"});
    EXPECT_TRUE(root->hotKeys.empty());

    EXPECT_TRUE(finder->HasShortcut(u"NID_FIND"));
    EXPECT_EQ(finder->GetShortcutKey(u"NID_FIND"), ctrlF) << "the first key bound to the command";
    EXPECT_FALSE(x1->HasShortcut(u"NID_FIND"));
}

// Navigation that stays inside a container whose children all refuse the
// focus ends after one round instead of walking them for ever.
// Staying inside a top control whose only focusable child is a container: a Tab
// out of the container's last field comes round into it at its first, and
// Shift+Tab the other way.
TEST_F(KeyTest, StayingInsideComesRoundIntoTheOnlyContainerThatTakesTheFocus)
{
    c1->SetNotFocusable(true);
    const auto tabOutOfC2 = [&](TestControl* from, uint32_t modifiers) {
        ASSERT_EQ(from->SetFocus(true), S_OK);
        RCPtr<LKeyParam> key = Key(kTab, modifiers, 1);
        key->route.emplace_back(from);
        key->route.emplace_back(c2.Get());
        top->HandleTabNavigation(key);
    };
    tabOutOfC2(y4.Get(), 0);
    EXPECT_EQ(root->focus, y1.Get());
    tabOutOfC2(y1.Get(), KeyCode::kShift);
    EXPECT_EQ(root->focus, y4.Get());
    EXPECT_TRUE(root->tabs.empty()) << "nothing went past the top";
}

TEST_F(KeyTest, StayingInsideAContainerThatNobodyCanFocusEnds)
{
    RCPtr<TestControl> box = Make(top.Get(), u"box", 0, 200, 100, 50, 4);
    Make(box.Get(), u"p", 0, 0, 10, 10, -1);
    Make(box.Get(), u"q", 20, 0, 10, 10, -1);
    box->HandleTabNavigation(Key(kTab, 0, 1));
    EXPECT_EQ(root->focus, nullptr);
    EXPECT_TRUE(root->tabs.empty());
}

// The first and last focusable child are searched by stepping through the
// tab order; a start that the step passes over (hidden here) must not make
// the search circle for ever among children that refuse the focus.
TEST_F(KeyTest, TheFocusableChildSearchEndsWhenNobodyCanTakeTheFocus)
{
    RCPtr<TestControl> box = Make(top.Get(), u"box", 0, 200, 100, 50, 4);
    RCPtr<TestControl> hiddenFirst = Make(box.Get(), u"h1", 0, 0, 10, 10, -5);
    Make(box.Get(), u"n1", 0, 10, 10, 10, -2);
    Make(box.Get(), u"n2", 0, 20, 10, 10, -1);
    RCPtr<TestControl> f = Make(box.Get(), u"f", 0, 30, 10, 10, 4);
    RCPtr<TestControl> hiddenLast = Make(box.Get(), u"h2", 0, 40, 10, 10, 9);
    hiddenFirst->SetVisible(false);
    hiddenLast->SetVisible(false);
    const struct {
        const char* name;
        bool fShown;
        TestControl* expected;
    } rows[] = {
        {"nobody can take the focus", false, nullptr},
        {"the one focusable child is found from either end", true, f.Get()},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        f->SetVisible(r.fShown);
        EXPECT_EQ(box->GetFirstFocusableChild().Get(), r.expected);
        EXPECT_EQ(box->GetLastFocusableChild().Get(), r.expected);
    }
}

// A context menu's items answer the keys that the window's or the
// application's hot keys give their commands, also while a sibling has the
// focus, and send the command to the target of the hot keys that bind it.
TEST_F(KeyTest, ContextMenuItemKeysSendTheirCommandsFromAFocusedSibling)
{
    const KeyCode ctrlD = KeyPress('D', KeyCode::kCtrl);
    const KeyCode ctrlE = KeyPress('E', KeyCode::kCtrl);
    const KeyCode ctrlG = KeyPress('G', KeyCode::kCtrl);
    const auto bind = [](LGlobalHotKeyManager& keys, const KeyCode& v, const char16_t* command) {
        ASSERT_EQ(keys.GetKeyMap().AddBinding(v, command), S_OK);
    };
    RCPtr<NotificationLog> windowTarget(new NotificationLog());
    RCPtr<NotificationLog> appTarget(new NotificationLog());
    root->hotKeyManager = LGlobalHotKeyManager::Create(RCPtr<LNotificationReceiver>(windowTarget.Get()));
    app.hotKeyManager = LGlobalHotKeyManager::Create(RCPtr<LNotificationReceiver>(appTarget.Get()));
    bind(*root->hotKeyManager, ctrlD, u"NID_MENU_DUPLICATE");
    bind(*app.hotKeyManager, ctrlE, u"NID_MENU_EXPORT");
    bind(*app.hotKeyManager, ctrlD, u"NID_MENU_DUPLICATE");

    // Duplicate, a separator, a submenu holding Export, and an item no hot key binds.
    RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
    ASSERT_GE(menu->AddItem(u"Duplicate", u"NID_MENU_DUPLICATE"), 0);
    ASSERT_GE(menu->AddItem(CreateSeparatorDescriptor()), 0);
    RCPtr<LMenuItemDescriptor> more = CreateMenuItemDescriptor(u"More", u"", true, false);
    ASSERT_GE(more->AddItem(u"Export", u"NID_MENU_EXPORT"), 0);
    ASSERT_GE(menu->AddItem(more), 0);
    ASSERT_GE(menu->AddItem(u"Rename", u"NID_MENU_RENAME"), 0);

    const struct {
        const char* name;
        bool menuBeforeInitialize;
        KeyCode pressed;
        const char* windowGets;  // empty: nothing
        const char* appGets;
    } rows[] = {
        {"the window's binding wins over the application's", false, ctrlD, "NID_MENU_DUPLICATE", ""},
        {"an item inside a submenu, bound by the application", false, ctrlE, "", "NID_MENU_EXPORT"},
        {"a menu given before initialisation", true, ctrlD, "NID_MENU_DUPLICATE", ""},
        {"a key bound to no item travels on", false, ctrlG, "", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        windowTarget->Clear();
        appTarget->Clear();
        root->hotKeys.clear();
        RCPtr<TestControl> owner;
        if (r.menuBeforeInitialize) {
            owner = new TestControl(c1.Get(), u"owner");
            ControlLayout layout;
            layout.size[0].offset = layout.size[1].offset = 10;
            owner->SetLayout(layout);
            owner->SetContextMenu(RCPtr<LRefCountedObject>(menu.Get()));
            owner->Initialize();
            owner->SetInitialized(true);
            EXPECT_GE(owner->UpdateLayout(), 0);
        } else {
            owner = Make(c1.Get(), u"owner", 0, 80, 10, 10, 7);
            owner->SetContextMenu(RCPtr<LRefCountedObject>(menu.Get()));
        }
        x1->SetFocus(true);

        x1->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(r.pressed)));

        const auto expect = [](const char* name) {
            return std::string(name).empty() ? std::vector<std::string>{} : std::vector<std::string>{name};
        };
        EXPECT_EQ(windowTarget->names, expect(r.windowGets));
        EXPECT_EQ(appTarget->names, expect(r.appGets));
        const bool taken = !std::string(r.windowGets).empty() || !std::string(r.appGets).empty();
        EXPECT_EQ(root->hotKeys.size(), taken ? 0u : 1u) << "a taken key goes no further";
        owner->Close();
    }
}

// Changing the menu takes back the old menu's keys and keeps the control's own.
TEST_F(KeyTest, ReplacingTheContextMenuTakesBackItsKeysOnly)
{
    const KeyCode ctrlD = KeyPress('D', KeyCode::kCtrl);
    const KeyCode ctrlF = KeyPress('F', KeyCode::kCtrl);
    RCPtr<NotificationLog> windowTarget(new NotificationLog());
    root->hotKeyManager = LGlobalHotKeyManager::Create(RCPtr<LNotificationReceiver>(windowTarget.Get()));
    ASSERT_EQ(root->hotKeyManager->GetKeyMap().AddBinding(ctrlD, u"NID_MENU_DUPLICATE"), S_OK);
    RCPtr<LMenuDescriptor> menu(new LMenuDescriptor());
    ASSERT_GE(menu->AddItem(u"Duplicate", u"NID_MENU_DUPLICATE"), 0);
    RCPtr<TestControl> owner = Make(c1.Get(), u"owner", 0, 80, 10, 10, 7);
    ASSERT_EQ(owner->BindKey(ctrlF, u"NID_FIND"), S_OK);
    owner->SetContextMenu(RCPtr<LRefCountedObject>(menu.Get()));
    EXPECT_TRUE(owner->HasShortcut(u"NID_MENU_DUPLICATE")) << "popup menus show the item's shortcut text";
    EXPECT_EQ(owner->GetShortcutKey(u"NID_MENU_DUPLICATE"), ctrlD);

    owner->SetContextMenu(nullptr);
    EXPECT_FALSE(owner->HasShortcut(u"NID_MENU_DUPLICATE"));
    x1->SetFocus(true);
    x1->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(ctrlD)));
    EXPECT_TRUE(windowTarget->names.empty());
    EXPECT_EQ(root->hotKeys.size(), 1u) << "the key went on to the window's hot keys";
    // A command notification sent straight to the control reaches no handler any more.
    owner->Notify(u"NID_MENU_DUPLICATE");
    EXPECT_TRUE(windowTarget->names.empty());

    x1->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(ctrlF)));
    EXPECT_EQ(owner->received.back(), "NID_FIND") << "the control's own key stays";
}

// A key bound after initialisation reaches the control from a focused sibling.
TEST_F(KeyTest, AKeyBoundAfterInitialisationAnswersForSiblings)
{
    const KeyCode ctrlF = KeyPress('F', KeyCode::kCtrl);
    RCPtr<TestControl> late = Make(c1.Get(), u"late", 0, 80, 10, 10, 7);
    ASSERT_EQ(late->BindKey(ctrlF, u"NID_FIND"), S_OK);
    x1->SetFocus(true);
    x1->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(ctrlF)));
    EXPECT_EQ(late->received, std::vector<std::string>{"NID_FIND"});
    EXPECT_TRUE(root->hotKeys.empty());
}

// A control that answers keys for its siblings takes that along when it
// moves: its new siblings reach it, its old ones no longer do, and the old
// parent keeps no subscription that could outlive it.
TEST_F(KeyTest, AMovedControlAnswersOnlyItsNewSiblingsKeys)
{
    const KeyCode ctrlF = KeyPress('F', KeyCode::kCtrl);
    RCPtr<TestControl> old = Make(top.Get(), u"old", 0, 200, 100, 50, 4);
    RCPtr<TestControl> stay = Make(old.Get(), u"stay", 0, 0, 10, 10, 0);
    RCPtr<TestControl> mover = Make(old.Get(), u"mover", 0, 20, 10, 10, 1);
    ASSERT_EQ(mover->BindKey(ctrlF, u"NID_FIND"), S_OK);

    ASSERT_EQ(mover->ChangeParent(c2.Get()), S_OK);

    const auto oldPool =
        old->FindClientPool(NotificationNameTable::GetNotificationID(u"NID_SIBLING_KEY"));
    EXPECT_TRUE(!oldPool || oldPool->GetClientCount() == 0) << "the old parent holds no subscription";
    EXPECT_EQ(mover->GetDistributorCount(), 1u) << "only the new parent is remembered";
    const auto press = [&](TestControl* focused) {
        mover->received.clear();
        root->hotKeys.clear();
        ASSERT_EQ(focused->SetFocus(true), S_OK);
        focused->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(ctrlF)));
    };
    press(stay.Get());
    EXPECT_TRUE(mover->received.empty()) << "a former sibling's key";
    EXPECT_EQ(root->hotKeys.size(), 1u);

    // The old parent goes; the moved control keeps working and leaves cleanly.
    old->Close();
    old = nullptr;
    stay = nullptr;
    press(y1.Get());
    EXPECT_EQ(mover->received, std::vector<std::string>{"NID_FIND"}) << "a new sibling's key";
    EXPECT_TRUE(root->hotKeys.empty());
    mover->Close();
    EXPECT_EQ(mover->GetDistributorCount(), 0u);
}

// A parent that goes while a keyed child outlives it leaves the child no
// subscription on the gone parent.
TEST_F(KeyTest, AChildOutlivingItsParentKeepsNoSiblingKeySubscription)
{
    RCPtr<TestControl> parent = Make(top.Get(), u"parent", 0, 200, 100, 50, 4);
    RCPtr<TestControl> orphan = Make(parent.Get(), u"orphan", 0, 0, 10, 10, 0);
    ASSERT_EQ(orphan->BindKey(KeyPress('F', KeyCode::kCtrl), u"NID_FIND"), S_OK);
    ASSERT_EQ(orphan->GetDistributorCount(), 1u);

    parent->Close();
    parent = nullptr;

    EXPECT_EQ(orphan->GetParent(), nullptr);
    EXPECT_EQ(orphan->GetDistributorCount(), 0u);
}

}  // namespace
}  // namespace control_test
