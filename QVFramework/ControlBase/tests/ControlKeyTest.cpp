#include "ControlTestSupport.h"

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
        return RCPtr<LKeyParam>(new LKeyParam(KeyCodeValue::Press(vk, modifiers), stayInside));
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
        {"shift+tab off the first child enters the previous container at its end", 2, KeyCodeValue::kShift, 0, 1},
        {"ctrl+tab leaves the nested container for its next sibling", 0, KeyCodeValue::kCtrl, 1, 2},
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
    const KeyCodeValue ctrlF = KeyCodeValue::Press('F', KeyCodeValue::kCtrl);
    RCPtr<TestControl> x0 = Make(c1.Get(), u"x0", 0, 40, 10, 10, -1);
    RCPtr<TestControl> x3 = Make(c1.Get(), u"x3", 0, 60, 10, 10, 5);
    for (TestControl* c : {x0.Get(), x3.Get()}) {
        c->BindKey(ctrlF, u"NID_FIND");
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
    EXPECT_EQ(x0->GetShortcutKey(u"NID_OWN"), KeyCodeValue{});

    // The focused control's own binding wins before anybody else is asked.
    x2->BindKey(ctrlF, u"NID_OWN");
    x2->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(ctrlF)));
    EXPECT_EQ(x2->received, std::vector<std::string>{"NID_OWN"});
    EXPECT_EQ(x0->received.size(), 1u);
}

// Navigation that stays inside a container whose children all refuse the
// focus ends after one round instead of walking them for ever.
TEST_F(KeyTest, StayingInsideAContainerThatNobodyCanFocusEnds)
{
    RCPtr<TestControl> box = Make(top.Get(), u"box", 0, 200, 100, 50, 4);
    Make(box.Get(), u"p", 0, 0, 10, 10, -1);
    Make(box.Get(), u"q", 20, 0, 10, 10, -1);
    box->HandleTabNavigation(Key(kTab, 0, 1));
    EXPECT_EQ(root->focus, nullptr);
    EXPECT_TRUE(root->tabs.empty());
}

}  // namespace
}  // namespace control_test
