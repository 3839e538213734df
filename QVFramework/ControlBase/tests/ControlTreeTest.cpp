#include "ControlTestSupport.h"
#include "LLayout.h"
#include "LMenuItemUpdater.h"

#include <functional>
#include <utility>

namespace control_test {
namespace {

class Counted : public LControl {
    QV_TYPE_NAME("class Counted")
public:
    Counted(LControl* parent, const String& name, int* destroyed) : LControl(parent, name), mDestroyed(destroyed) {}
    ~Counted() override { ++*mDestroyed; }

private:
    int* mDestroyed;
};

std::vector<std::string> NamesIn(LControl& c, int32_t order)
{
    std::vector<std::string> out;
    for (uint32_t i = 0; i < c.GetChildren().GetCount(); ++i)
        out.push_back(Narrow(c.GetChildren().GetAt(i, order)->GetName().GetChars()));
    return out;
}

std::string RaisedBy(const std::function<void()>& call)
{
    try {
        call();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

using ChildListTest = ControlFixture;

TEST_F(ChildListTest, AddRemoveAndFindAnswerTheirCodes)
{
    RCPtr<TestControl> parent = Make(nullptr, u"parent", 0, 0, 100, 100);
    RCPtr<TestControl> first = Make(parent.Get(), u"same", 0, 0, 10, 10);
    ChildControlList& list = parent->GetChildren();
    EXPECT_EQ(list.AddChild(nullptr), E_INVALIDARG);

    RCPtr<TestControl> twin(new TestControl(nullptr, u"same"));
    EXPECT_EQ(list.AddChild(twin.Get()), E_FAIL);
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(twin->GetParent(), nullptr);
    EXPECT_EQ(parent->FindChildControl(u"same").Get(), first.Get());
    RCPtr<TestControl> late(new TestControl(parent.Get(), u"same"));
    EXPECT_EQ(late->GetParent(), nullptr) << "built under a taken name: alive, outside the tree";
    EXPECT_TRUE(parent->FindChildControl(u"Same").IsNull());

    EXPECT_EQ(list.RemoveChild(twin.Get()), -1);
    EXPECT_EQ(list.RemoveChild(first.Get()), S_OK);
    EXPECT_EQ(first->GetParent(), nullptr);
    EXPECT_EQ(list.RemoveAll(), 1);
    EXPECT_TRUE(parent->FindChildControl(u"same").IsNull());
}

TEST_F(ChildListTest, GetAtRaisesTheExactMessages)
{
    RCPtr<TestControl> parent = Make(nullptr, u"parent", 0, 0, 100, 100);
    Make(parent.Get(), u"a", 0, 0, 10, 10);
    ChildControlList& list = parent->GetChildren();
    const ChildControlList& constList = list;
    const std::string prefix = "Runtime Error : QV::LControl::ChildControlList::GetAt : ControlBase\\Control : ";
    EXPECT_EQ(RaisedBy([&] { list.GetAt(1, 0); }), prefix + "Line 3276");
    EXPECT_EQ(RaisedBy([&] { list.GetAt(0, 3); }), prefix + "Line 3296");
    EXPECT_EQ(RaisedBy([&] { constList.GetAt(1, 1); }), prefix + "Line 3304");
    EXPECT_EQ(RaisedBy([&] { constList.GetAt(0, -1); }), prefix + "Line 3324");
}

TEST_F(ChildListTest, DrawingAndTabOrdersFollowTheirKeysAndKeepInsertionOnTies)
{
    struct Row {
        const char16_t* name;
        bool clip;
        bool xDock, yDock;
        int32_t z, tab;
    };
    const Row rows[] = {
        {u"overlay", false, false, false, -5, 3}, {u"both", true, true, true, 0, -1},
        {u"x", true, true, false, 0, 0},          {u"plainHigh", true, false, false, 2, -4},
        {u"plainA", true, false, false, 0, 0},    {u"plainB", true, false, false, 0, -2},
        {u"y", true, false, true, -1, 1},
    };
    RCPtr<TestControl> parent = Make(nullptr, u"parent", 0, 0, 100, 100);
    for (const Row& r : rows) {
        RCPtr<TestControl> c = Make(parent.Get(), r.name, 0, 0, 10, 10);
        ControlLayout l = c->GetLayout();
        l.clipToParent = r.clip;
        l.xIsDocked = r.xDock;
        l.yIsDocked = r.yDock;
        l.zOrder = r.z;
        l.tabStop = r.tab;
        c->SetLayout(l);
    }
    EXPECT_FALSE(parent->GetChildren().IsSorted());
    NamesIn(*parent, ChildControlList::kInsertion);
    EXPECT_FALSE(parent->GetChildren().IsSorted()) << "insertion order never sorts";
    EXPECT_EQ(NamesIn(*parent, ChildControlList::kDrawing),
              (std::vector<std::string>{"plainA", "plainB", "plainHigh", "y", "x", "both", "overlay"}));
    EXPECT_TRUE(parent->GetChildren().IsSorted());
    EXPECT_EQ(NamesIn(*parent, ChildControlList::kTab),
              (std::vector<std::string>{"plainHigh", "plainB", "both", "x", "plainA", "y", "overlay"}));
}

TEST_F(ChildListTest, SetLayerKeepsUnclippedCountsOnEveryAncestor)
{
    RCPtr<TestControl> a = Make(nullptr, u"a", 0, 0, 100, 100);
    RCPtr<TestControl> b = Make(a.Get(), u"b", 0, 0, 50, 50);
    RCPtr<TestControl> c = Make(b.Get(), u"c", 0, 0, 10, 10);
    EXPECT_EQ(c->SetLayer(0), 0);
    EXPECT_EQ(a->GetUnclippedCount(), 1);
    EXPECT_EQ(b->GetUnclippedCount(), 1);
    EXPECT_EQ(c->GetUnclippedCount(), 0);

    // Moving the unclipped subtree carries its count along.
    RCPtr<TestControl> other = Make(nullptr, u"other", 0, 0, 100, 100);
    EXPECT_EQ(b->ChangeParent(other.Get()), S_OK);
    EXPECT_EQ(a->GetUnclippedCount(), 0);
    EXPECT_EQ(other->GetUnclippedCount(), 1);
    EXPECT_EQ(b->ChangeParent(other.Get()), 1);

    EXPECT_EQ(c->SetLayer(1), 1);
    EXPECT_EQ(other->GetUnclippedCount(), 0);
    EXPECT_EQ(b->GetUnclippedCount(), 0);
}

TEST_F(ChildListTest, ReparentingInvalidatesTheOldPlaceAndAttachesOnlyTopControls)
{
    MakeTop();
    RCPtr<TestControl> panel = Make(top.Get(), u"panel", 10, 20, 100, 100);
    RCPtr<TestControl> child = Make(panel.Get(), u"child", 5, 5, 30, 30);
    root->dirty.clear();
    EXPECT_EQ(child->ChangeParent(top.Get()), S_OK);
    ASSERT_FALSE(root->dirty.empty());
    EXPECT_EQ(root->dirty.front(), (LongRect{15, 25, 30, 30}));
    EXPECT_EQ(child->GetRootWindow().Get(), static_cast<IRootWindow*>(root.Get()));
    EXPECT_EQ(child->AttachToRootWindow(RCPtr<IRootWindow>(root.Get())), E_FAIL);
    EXPECT_EQ(top->SetParent(nullptr, nullptr), E_FAIL);
}

// Counts the descriptors it is given and takes none of them.
class RefusesDescriptors : public TestControl {
public:
    using TestControl::TestControl;
    QVResult ApplyDescriptor(const RCPtr<IControlDescriptor>&) override
    {
        ++applied;
        return E_FAIL;
    }
    int applied = 0;
};

TEST_F(ChildListTest, SetParentAnswersWhatTheMoveDidAndAppliesTheDescriptorAfterAnyMove)
{
    MakeTop();
    RCPtr<TestControl> panel = Make(top.Get(), u"panel", 0, 0, 100, 100);
    RCPtr<TestControl> elsewhere = Make(top.Get(), u"elsewhere", 100, 0, 100, 100);
    Make(panel.Get(), u"twin", 0, 0, 10, 10);
    RCPtr<RefusesDescriptors> mover(new RefusesDescriptors(elsewhere.Get(), u"mover"));
    RCPtr<RefusesDescriptors> twin(new RefusesDescriptors(elsewhere.Get(), u"twin"));
    RCPtr<RefusesDescriptors> outer(new RefusesDescriptors(top.Get(), u"outer"));
    RCPtr<TestControl> inner = Make(Make(outer.Get(), u"middle", 0, 0, 10, 10).Get(), u"inner", 0, 0, 5, 5);
    RCPtr<IControlDescriptor> descriptor(new FakeDescriptor(u"any"));
    struct Row {
        const char* what;
        LControl* newParent;
        RefusesDescriptors* child;
        QVResult result;
        LControl* parentAfter;
        int appliedAfter;
    };
    const Row rows[] = {
        {"a moved child whose descriptor does not take", panel.Get(), mover.Get(), S_OK, panel.Get(), 1},
        {"a child already there takes the descriptor again", panel.Get(), mover.Get(), 1, panel.Get(), 2},
        {"a sibling's name refuses the child, which stays", panel.Get(), twin.Get(), E_FAIL, elsewhere.Get(), 0},
        {"a control never goes under its own descendant", inner.Get(), outer.Get(), E_INVALIDARG, top.Get(), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.newParent->SetParent(RCPtr<LControl>(row.child), descriptor), row.result);
        EXPECT_EQ(row.child->GetParent(), row.parentAfter);
        EXPECT_EQ(row.child->applied, row.appliedAfter);
    }
}

// Takes any control dropped on it.
class Acceptor : public TestControl {
public:
    using TestControl::TestControl;
    bool AcceptsControl(LControl*) const override { return true; }
};

// Answers nothing after a few hit tests, so a walk that never ends shows up
// as a wrong answer rather than a hang.
class BoundedRootWindow : public FakeRootWindow {
public:
    RCPtr<LControl> HitTest(int32_t x, int32_t y, bool update, int32_t* lx, int32_t* ly) override
    {
        if (hitTests >= 20) return nullptr;
        return FakeRootWindow::HitTest(x, y, update, lx, ly);
    }
};

TEST_F(ChildListTest, TheAcceptingControlIsFoundBeneathLayersAndTheirChildren)
{
    root = RCPtr<FakeRootWindow>(new BoundedRootWindow());
    MakeTop();
    RCPtr<Acceptor> target(new Acceptor(top.Get(), u"target"));
    ControlLayout l;
    l.size[0].offset = 400;
    l.size[1].offset = 200;
    target->SetLayout(l);
    target->AddVisualPart(RCPtr<ILook>(new FakeLook()));
    target->ShowPart(0);
    EXPECT_GE(target->UpdateLayout(), 0);
    // An open layer that reaches below the target, with a row over it and one beyond it.
    RCPtr<TestControl> layer = Make(top.Get(), u"layer", 50, 150, 100, 100);
    layer->SetLayer(0);
    RCPtr<TestControl> overRow = Make(layer.Get(), u"overRow", 0, 0, 100, 30);
    RCPtr<TestControl> beyondRow = Make(layer.Get(), u"beyondRow", 0, 60, 100, 30);
    // A control being moved leaves its parent's clip; its child is under the pointer.
    RCPtr<TestControl> moved = Make(top.Get(), u"moved", 250, 20, 100, 100);
    moved->SetLayer(0);
    RCPtr<TestControl> grip = Make(moved.Get(), u"grip", 0, 0, 50, 50);
    struct Row {
        const char* what;
        LControl* start;
        DoublePoint at;
        LControl* expected;
    };
    const Row rows[] = {
        {"a row of an open layer over the target", overRow.Get(), {60, 160}, target.Get()},
        {"the moved control's own child over the target", grip.Get(), {260, 30}, target.Get()},
        {"a row of an open layer over nothing that accepts", beyondRow.Get(), {60, 220}, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        root->hitTests = 0;
        EXPECT_EQ(row.start->FindAcceptingControl(moved.Get(), row.at).Get(), row.expected);
        const LongPoint p = ToLongPoint(row.at);
        EXPECT_EQ(root->HitTest(p.x, p.y, false, nullptr, nullptr).Get(), row.start) << "every control answers the pointer again";
    }
}

TEST_F(ChildListTest, ATreeWhoseLastReferenceGoesIsFreedWhole)
{
    int destroyed = 0;
    {
        RCPtr<LControl> a(new Counted(nullptr, u"a", &destroyed));
        RCPtr<LControl> b(new Counted(a.Get(), u"b", &destroyed));
        new Counted(b.Get(), u"c", &destroyed);
        new Counted(a.Get(), u"d", &destroyed);
        b = nullptr;
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 4);
}

TEST_F(ChildListTest, PerformEditMustBeOverridden)
{
    RCPtr<TestControl> c = Make(nullptr, u"c", 0, 0, 10, 10);
    try {
        c->PerformEdit(0);
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "LControl::PerformEdit must be overridden");
    }
    EXPECT_EQ(c->GetEditTarget(), nullptr);
}

TEST_F(ChildListTest, MenuItemUpdaterIsMadeOnceAndAsksNobodyUntilGivenATarget)
{
    RCPtr<TestControl> c = Make(nullptr, u"c", 0, 0, 10, 10);
    RCPtr<TestControl> other = Make(nullptr, u"other", 0, 0, 10, 10);
    RCPtr<LMenuItemUpdater> updater = c->GetMenuItemUpdater();
    ASSERT_TRUE(updater);
    EXPECT_EQ(c->GetMenuItemUpdater().Get(), updater.Get()) << "the same one each time";
    EXPECT_NE(other->GetMenuItemUpdater().Get(), updater.Get()) << "one per control";
    EXPECT_FALSE(updater->GetTarget());
    bool enabled = true;
    EXPECT_EQ(updater->QueryState(LNotification::Create(u"NID_X"), enabled), E_FAIL);
    updater->SetTarget(c);
    EXPECT_EQ(updater->QueryState(LNotification::Create(u"NID_X"), enabled), 1) << "the base control has no opinion";
    EXPECT_TRUE(enabled) << "and leaves the state alone";
    updater->SetTarget(nullptr);  // no cycle left behind
}

TEST_F(ChildListTest, CreateChildrenSkipsDeferredEntriesAndReplacesTheOldChildren)
{
    RCPtr<TestControl> parent = Make(nullptr, u"parent", 0, 0, 100, 100);
    Make(parent.Get(), u"old", 0, 0, 10, 10);
    RCPtr<FakeDescriptor> d(new FakeDescriptor(u"parent"));
    RCPtr<FakeDescriptor> later(new FakeDescriptor(u"later"));
    later->attributes.push_back({u"DEFER_CREATE", u" True\t"});
    RCPtr<FakeDescriptor> now(new FakeDescriptor(u"now"));
    d->children = {RCPtr<IControlDescriptor>(later.Get()), RCPtr<IControlDescriptor>(now.Get())};
    EXPECT_EQ(parent->CreateChildren(RCPtr<IControlDescriptor>(d.Get())), S_OK);
    EXPECT_EQ(NamesIn(*parent, ChildControlList::kInsertion), std::vector<std::string>{"now"});
}

TEST_F(ChildListTest, InitializeReadsTheToolTipOfTheControlsOwnStringTable)
{
    RCPtr<FakeStringTable> table(new FakeStringTable());
    table->strings.push_back({u"TOOLTIP", u"Transpose"});
    app.factory.tables.push_back({u"knob", RCPtr<IControlStringTable>(table.Get())});
    RCPtr<TestControl> knob = Make(nullptr, u"knob", 0, 0, 10, 10);
    EXPECT_EQ(knob->GetStringTable().Get(), static_cast<IControlStringTable*>(table.Get()));
    EXPECT_EQ(knob->GetToolTipText(), u"Transpose");
    EXPECT_TRUE(Make(nullptr, u"other", 0, 0, 10, 10)->GetToolTipText().IsEmpty());
}

// Remembers where its conditions parameter lives.
class ParamSpy : public LControl {
    QV_TYPE_NAME("class ParamSpy")
public:
    using LControl::LControl;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& p) override { param = p.Get(); }
    const void* param = nullptr;
};

// Every control makes a conditions parameter; screens that are built and torn
// down again reuse the blocks of the controls that went, last freed first.
TEST_F(ChildListTest, ConditionsParametersOfGoneControlsAreReused)
{
    auto& pool = LConditionsParam::GetPool();
    const auto makeSpy = [](int i) {
        RCPtr<ParamSpy> spy(new ParamSpy(nullptr, String(std::to_string(i).c_str())));
        spy->SetActiveCondition(true);  // a condition change shows the parameter
        return spy;
    };
    std::vector<RCPtr<ParamSpy>> alive;
    for (int i = 0; i < 6; ++i) alive.push_back(makeSpy(i));
    const uint32_t peak = pool.GetBlockCount();
    EXPECT_GE(peak, 6u);

    std::vector<const void*> released;
    for (auto& spy : alive) {
        ASSERT_NE(spy->param, nullptr);
        released.push_back(spy->param);
        spy = nullptr;
    }
    for (size_t i = released.size(); i-- > 0;) {
        alive[i] = makeSpy(static_cast<int>(i));
        EXPECT_EQ(alive[i]->param, released[i]);
    }
    alive.clear();
    for (int i = 0; i < 200; ++i) makeSpy(i);
    EXPECT_EQ(pool.GetBlockCount(), peak) << "no control made a block of its own";

    // Each value change makes a value parameter; one at a time needs one block.
    auto& values = LValueParam::GetPool();
    const uint32_t valueBlocks = values.GetBlockCount();
    RCPtr<TestControl> knob = Make(nullptr, u"knob", 0, 0, 10, 10);
    for (int i = 0; i <= 100; ++i) knob->SetValue(i / 100.0);
    EXPECT_LE(values.GetBlockCount(), std::max(valueBlocks, 1u));
}

TEST_F(ChildListTest, IdleWantedBeforeAttachmentIsConnectedWithTheTree)
{
    RCPtr<TestControl> loose = Make(nullptr, u"top2", 0, 0, 100, 100);
    RCPtr<TestControl> child = Make(loose.Get(), u"child", 0, 0, 10, 10);
    EXPECT_EQ(child->SubscribeIdle(), S_OK);
    EXPECT_EQ(child->GetIdleUserCount(), 1);
    root->Idle();
    EXPECT_EQ(child->timers, 0);
    EXPECT_GE(loose->AttachToRootWindow(RCPtr<IRootWindow>(root.Get())), 0);
    root->Idle();
    EXPECT_EQ(child->timers, 1);
    EXPECT_EQ(child->UnsubscribeIdle(), S_OK);
    root->Idle();
    EXPECT_EQ(child->timers, 1);
    loose->Close();
}

// A listener that takes a sibling out while a walk over the children runs
// leaves the walk on its own snapshot.
TEST_F(ChildListTest, AListenerRemovingAChildMidWalkNeitherCrashesNorRaises)
{
    MakeTop();
    RCPtr<TestControl> a = Make(top.Get(), u"a", 0, 0, 10, 10);
    RCPtr<TestControl> b = Make(top.Get(), u"b", 20, 0, 10, 10);
    RCPtr<TestControl> c = Make(top.Get(), u"c", 40, 0, 10, 10);
    RCPtr<NotificationLog> log(new NotificationLog());
    log->Listen(c.Get(), {u"NID_ENABLED_CONDITION_CHANGE"});
    log->onReceive = [&](const RCPtr<LNotification>&) {
        EXPECT_GE(top->GetChildren().RemoveChild(b.Get()), 0);
        EXPECT_GE(top->GetChildren().RemoveChild(a.Get()), 0);
    };
    EXPECT_NO_THROW(top->SetEnabled(false));
    EXPECT_EQ(top->GetChildren().GetCount(), 1u);
    EXPECT_EQ(log->names.size(), 1u);
    log->UnregisterAllNotifications();
}

// Layouts solved for real: a sibling reference either finds its control or falls back to its offset.
class SolvingApplication : public FakeApplication {
public:
    QVResult ResolveLayout(LControl& control, const DoubleRect& reference, DoubleRect& frame) override
    {
        return LLayout::ResolveControl(control, reference, frame);
    }
};

// "a" from x 10 to 30; "b" placed 5 after a's right edge; "c" placed after a
// control named "left" that does not exist yet. b's maximum names b's own child
// "a"; the parent's maximum names its child "a".
class RenameTest : public ControlFixture {
protected:
    RenameTest() : mSolvingScope(solving)
    {
        parent = Make(nullptr, u"parent", 0, 0, 200, 100);
        a = Make(parent.Get(), u"a", 10, 0, 30, 10);
        b = Make(parent.Get(), u"b", 0, 0, 20, 10);
        c = Make(parent.Get(), u"c", 0, 20, 20, 10);
        Follow(*b, u"a");
        Follow(*c, u"left");
        ControlLayout l = parent->GetLayout();
        l.limit[0] = LayoutRecord{LayoutKind::kSibling, u"a", 1.0f, 1000.0};
        parent->SetLayout(l);
    }
    static void Follow(LControl& control, const char16_t* sibling)
    {
        ControlLayout l = control.GetLayout();
        l.position[0] = LayoutRecord{LayoutKind::kSibling, sibling, 1.0f, 5.0};
        l.limit[0] = LayoutRecord{LayoutKind::kSibling, u"a", 1.0f, 1000.0};
        control.SetLayout(l);
        EXPECT_GE(control.UpdateLayout(), 0);
    }
    std::string Name(const LayoutRecord& r) const { return Narrow(r.name.GetChars()); }

    SolvingApplication solving;
    ScopedControlApplication mSolvingScope;
    RCPtr<TestControl> parent, a, b, c;
};

TEST_F(RenameTest, RenameAnswersAndWhatChangesTable)
{
    RCPtr<TestControl> stranger = Make(nullptr, u"stranger", 0, 0, 10, 10);
    struct Row {
        const char* what;
        TestControl* control;
        const char16_t* name;
        QVResult result;
        std::vector<std::string> names;
        std::string bFollows;
    };
    const Row rows[] = {
        {"the name it has", a.Get(), u"a", 1, {"a", "b", "c"}, "a"},
        {"a sibling's name", a.Get(), u"c", E_INVALIDARG, {"a", "b", "c"}, "a"},
        {"a later sibling's name", c.Get(), u"b", E_INVALIDARG, {"a", "b", "c"}, "a"},
        {"not a child", stranger.Get(), u"z", E_FAIL, {"a", "b", "c"}, "a"},
        {"a new name", a.Get(), u"left", S_OK, {"left", "b", "c"}, "left"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(parent->GetChildren().RenameChild(row.control, row.name), row.result);
        EXPECT_EQ(NamesIn(*parent, ChildControlList::kInsertion), row.names);
        EXPECT_EQ(Name(b->GetLayout().position[0]), row.bFollows);
        EXPECT_EQ(Name(b->GetLayout().limit[0]), "a") << "b's maximum names b's own child";
        EXPECT_EQ(Name(parent->GetLayout().limit[0]), row.bFollows) << "the parent's maximum names its child";
    }
    EXPECT_EQ(Narrow(stranger->GetName().GetChars()), "stranger");
    EXPECT_EQ(parent->FindChildControl(u"left").Get(), a.Get());
    EXPECT_TRUE(parent->FindChildControl(u"a").IsNull());
}

TEST_F(RenameTest, LaterSiblingsStayPlacedAfterTheRenamedControl)
{
    EXPECT_DOUBLE_EQ(b->GetFrame().x, 35.0);
    EXPECT_DOUBLE_EQ(c->GetFrame().x, 5.0) << "nothing named left yet";

    EXPECT_EQ(a->RenameControl(u"left"), S_OK);
    EXPECT_DOUBLE_EQ(c->GetFrame().x, 35.0) << "c now finds its control";

    // Moved, not resized, so a keeps the new place.
    EXPECT_EQ(a->SetBounds({60.0, 0.0}, {20.0, 10.0}), S_OK);
    EXPECT_DOUBLE_EQ(b->GetFrame().x, 85.0) << "b follows a under its new name";
    EXPECT_DOUBLE_EQ(c->GetFrame().x, 85.0);
    EXPECT_EQ(a->RenameControl(u"b"), E_INVALIDARG) << "the parent's list answers";
}

// A follower that runs a hook once when told a sibling changed, as a
// listener may add or take out children in the middle of the re-layout walk.
class HookedControl : public TestControl {
public:
    using TestControl::TestControl;
    bool OnChildChanged(LControl* child) override
    {
        if (hook) std::exchange(hook, nullptr)();
        return TestControl::OnChildChanged(child);
    }
    std::function<void()> hook;
};

TEST_F(RenameTest, TheReLayoutWalkCarriesOnWhenAFollowerChangesTheChildren)
{
    const struct {
        const char* name;
        std::function<void(LControl& parent, LControl& unrelated, RCPtr<HookedControl>& hooked)> hook;
    } rows[] = {
        {"an earlier sibling taken out",
         [](LControl& p, LControl& x, RCPtr<HookedControl>&) { (void)p.GetChildren().RemoveChild(&x); }},
        {"the follower itself taken out",
         [](LControl& p, LControl&, RCPtr<HookedControl>& h) {
             (void)p.GetChildren().RemoveChild(h.Get());
             h = nullptr;  // only the walk holds it now
         }},
        {"a child added", [this](LControl& p, LControl&, RCPtr<HookedControl>&) { Make(&p, u"new", 0, 40, 5, 5); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RCPtr<TestControl> x = Make(parent.Get(), u"x", 0, 50, 5, 5);
        RCPtr<HookedControl> h(new HookedControl(parent.Get(), u"h"));
        ControlLayout l;
        l.size[0].offset = l.size[1].offset = 10;
        h->SetLayout(l);
        Follow(*h, u"a");
        RCPtr<TestControl> f = Make(parent.Get(), u"f", 0, 60, 10, 10);
        Follow(*f, u"h");
        LControl* unrelated = x.Get();
        h->hook = [&, unrelated] { row.hook(*parent, *unrelated, h); };

        EXPECT_EQ(a->SetBounds({60.0, 0.0}, {20.0, 10.0}), S_OK);
        EXPECT_DOUBLE_EQ(b->GetFrame().x, 85.0);
        // Each follower left where a layout of its own would put it.
        for (LControl* c : {static_cast<LControl*>(h.Get()), static_cast<LControl*>(f.Get())}) {
            if (!c) continue;
            const DoubleRect walked = c->GetFrame();
            EXPECT_GE(c->UpdateLayout(), 0);
            EXPECT_EQ(c->GetFrame(), walked) << Narrow(c->GetName().GetChars());
        }
        if (h) {
            EXPECT_DOUBLE_EQ(f->GetFrame().x, h->GetFrame().x + h->GetFrame().width + 5);
        }
        for (const char16_t* name : {u"x", u"h", u"f", u"new"})
            if (LControl* c = parent->FindChildControl(name).Get()) (void)parent->GetChildren().RemoveChild(c);
        EXPECT_EQ(a->SetBounds({10.0, 0.0}, {20.0, 10.0}), S_OK);
    }
}

TEST_F(RenameTest, AControlWithoutParentTakesAnyName)
{
    EXPECT_EQ(parent->RenameControl(u"c"), S_OK);
    EXPECT_EQ(Narrow(parent->GetName().GetChars()), "c");
    EXPECT_EQ(parent->RenameControl(u"c"), S_OK);
}

}  // namespace
}  // namespace control_test
