#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace {

using namespace controls_test;

constexpr uint32_t kTab = 9;

// Three panels deep: top panel "outer" with a, [middle], b; "middle" with
// c, [inner], d; "inner" with e, f.
class PanelTest : public TreeFixture {
protected:
    PanelTest()
    {
        outer = Add<LPanel>(nullptr, u"outer", At(0, 400), At(0, 300));
        root->top = outer.Get();
        a = Add<TestControl>(outer.Get(), u"a", At(0, 10), At(0, 10), false, 1);
        middle = Add<LPanel>(outer.Get(), u"middle", At(0, 200), At(20, 200), false, 2);
        b = Add<TestControl>(outer.Get(), u"b", At(0, 10), At(250, 10), false, 3);
        c = Add<TestControl>(middle.Get(), u"c", At(0, 10), At(0, 10), false, 1);
        inner = Add<LPanel>(middle.Get(), u"inner", At(0, 100), At(20, 100), false, 2);
        d = Add<TestControl>(middle.Get(), u"d", At(0, 10), At(150, 10), false, 3);
        e = Add<TestControl>(inner.Get(), u"e", At(0, 10), At(0, 10), false, 1);
        f = Add<TestControl>(inner.Get(), u"f", At(0, 10), At(20, 10), false, 2);
        Initialize(outer.Get());
    }
    ~PanelTest() override
    {
        outer->Close();
        outer = nullptr;
    }

    // A key press as the focused control hands it on.
    void Press(LControl* from, uint32_t modifiers)
    {
        from->SetFocus(true);
        from->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(KeyPress(kTab, modifiers))));
    }
    std::string Focus() const { return root->focus ? Narrow(root->focus->GetName().GetChars()) : "none"; }

    RCPtr<LPanel> outer, middle, inner;
    RCPtr<TestControl> a, b, c, d, e, f;
};

TEST_F(PanelTest, TabLeavesNestedPanelsAndWrapsOnlyAtTheTop)
{
    struct Row {
        const char* what;
        const char* from;
        uint32_t modifiers;
        const char* to;
    } rows[] = {
        {"next inside the innermost panel", "e", 0, "f"},
        {"last of the inner panel goes to the next after it", "f", 0, "d"},
        {"last of the middle panel goes on in the outer one", "d", 0, "b"},
        {"the top panel wraps round", "b", 0, "a"},
        {"Shift+Tab on the first child goes before the panel", "e", KeyCode::kShift, "c"},
        {"Shift+Tab out of two panels", "c", KeyCode::kShift, "a"},
        {"Shift+Tab on a focused nested panel goes before it in its parent", "inner", KeyCode::kShift, "c"},
        {"Tab on a focused nested panel goes after it in its parent", "inner", 0, "d"},
    };
    std::map<std::string, LControl*> byName{{"a", a.Get()}, {"b", b.Get()}, {"c", c.Get()},        {"d", d.Get()},
                                            {"e", e.Get()}, {"f", f.Get()}, {"inner", inner.Get()}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Press(byName[r.from], r.modifiers);
        EXPECT_EQ(Focus(), r.to);
    }
}

TEST_F(PanelTest, CtrlTabLeavesWithTheSameParameterAndTheWholeRoute)
{
    e->SetFocus(true);
    RCPtr<LKeyParam> key(new LKeyParam(KeyPress(kTab, KeyCode::kCtrl)));
    key->route.emplace_back(e.Get());
    inner->HandleTabNavigation(key);
    EXPECT_EQ(Focus(), "e");  // nobody takes Ctrl+Tab below the top
    // The top panel has nobody to hand the key to and adds nothing.
    ASSERT_EQ(key->route.size(), 3u);
    EXPECT_EQ(key->route[1].Get(), inner.Get());
    EXPECT_EQ(key->route[2].Get(), middle.Get());
}

TEST_F(PanelTest, UnhandledKeysClimbInnermostFirstAndOnlyTheTopReachesTheHotKeys)
{
    RCPtr<LKeyParam> key(new LKeyParam(KeyPress(0x41)));
    inner->HandleKey(key);
    ASSERT_EQ(key->route.size(), 2u);
    EXPECT_EQ(key->route[0].Get(), inner.Get());
    EXPECT_EQ(key->route[1].Get(), middle.Get());
    ASSERT_EQ(app.hotKeys.size(), 1u);
    EXPECT_EQ(app.hotKeys[0].code, 0x20410000u);
}

TEST_F(PanelTest, SiblingKeysReachAPanelThroughItsParent)
{
    // "b" binds the key; the middle panel's child "d" sends it up.
    RCPtr<TestControl> x = Add<TestControl>(middle.Get(), u"x", At(50, 10), At(0, 10), false, 4);
    EXPECT_GE(x->BindKey(KeyPress(0x42), u"NID_TEST_COMMAND"), 0);
    x->Initialize();
    x->SetInitialized(true);
    RCPtr<LKeyParam> key(new LKeyParam(KeyPress(0x42)));
    key->route.emplace_back(b.Get());
    EXPECT_EQ(outer->HandleSiblingKey(key), S_OK);  // middle asked its children for the key
    EXPECT_EQ(x->received, (std::vector<std::string>{"NID_TEST_COMMAND"}));

    RCPtr<LPanel> lone(new LPanel(nullptr, u"lone"));
    Initialize(lone.Get());
    EXPECT_EQ(lone->GetChildren().GetCount(), 0u);  // no parent, no subscription, no failure
}

TEST_F(PanelTest, UnregisteringForgetsThePanelsOwnHandlerEntry)
{
    RCPtr<TestControl> x = Add<TestControl>(middle.Get(), u"x", At(50, 10), At(0, 10), false, 4);
    EXPECT_GE(x->BindKey(KeyPress(0x42), u"NID_TEST_COMMAND"), 0);
    x->Initialize();
    x->SetInitialized(true);
    const RCPtr<LNotificationDistributor> from(outer.Get());
    EXPECT_EQ(middle->UnregisterNotification(from, u"NID_SIBLING_KEY"), S_OK);
    RCPtr<LSiblingKeyParam> sibling(new LSiblingKeyParam(RCPtr<LKeyParam>(new LKeyParam(KeyPress(0x42)))));
    (void)middle->ReceiveNotification(from, LNotification::Create(u"NID_SIBLING_KEY", sibling));
    EXPECT_TRUE(x->received.empty()) << "a key already on its way stays with the parent";
    EXPECT_NE(sibling->unhandled, 0);
}

// A panel moved to another parent hears that parent's sibling keys, no longer the old one's.
TEST_F(PanelTest, AMovedPanelFollowsItsNewParentsSiblingKeys)
{
    RCPtr<LPanel> side = Add<LPanel>(outer.Get(), u"side", At(300, 50), At(0, 50), false, 4);
    Initialize(side.Get());
    ASSERT_GE(f->BindKey(KeyPress(0x4B), u"NID_TEST_COMMAND"), 0);

    ASSERT_EQ(inner->ChangeParent(side.Get()), S_OK);

    const struct {
        const char* what;
        LPanel* asked;
        QVResult answer;
    } rows[] = {
        {"the new parent reaches the moved panel's children", side.Get(), S_OK},
        {"the old parent no longer does", middle.Get(), kNotHandled},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        f->received.clear();
        EXPECT_EQ(r.asked->HandleSiblingKey(RCPtr<LKeyParam>(new LKeyParam(KeyPress(0x4B)))), r.answer);
        EXPECT_EQ(f->received.size(), r.answer == S_OK ? 1u : 0u);
    }
}

}  // namespace
