#include <cmath>

#include "ControlTestSupport.h"

namespace control_test {
namespace {

class ValueTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        c = Make(top.Get(), u"c", 0, 0, 100, 20);
        log = new NotificationLog();
        log->Listen(c.Get(), {u"NID_VALUE_CHANGE"});
    }
    void TearDown() override { log->UnregisterAllNotifications(); }

    RCPtr<LControl> Create(const RCPtr<FakeDescriptor>& d, LControl* parent)
    {
        return app.factory.CreateControl(RCPtr<IControlDescriptor>(d.Get()), parent);
    }

    RCPtr<TestControl> c;
    RCPtr<NotificationLog> log;
};

TEST_F(ValueTest, ValuesAreClampedAndOnlyChangesAreSent)
{
    const struct {
        double in, stored;
    } rows[] = {{1.7, 1.0}, {1.7, 1.0}, {-0.2, 0.0}, {0.3, 0.3}, {std::nan(""), 0.3}};
    for (const auto& r : rows) EXPECT_DOUBLE_EQ(c->SetValue(r.in), r.stored);
    ASSERT_EQ(log->values.size(), 3u);
    EXPECT_DOUBLE_EQ(log->values[2].first, 0.3);
    EXPECT_DOUBLE_EQ(log->values[2].second, 0.3) << "the range is 0..1 until one is set";
}

TEST_F(ValueTest, RangesMapLinearlyOrLogarithmicallyAndRefuseBadScales)
{
    EXPECT_EQ(c->SetValueRange(20, 20000, 1), S_OK);
    c->SetValue(0.5);
    EXPECT_NEAR(log->values.back().second, 632.4555, 1e-3);
    EXPECT_NEAR(c->ValueToNormalized(632.4555), 0.5, 1e-6);
    EXPECT_DOUBLE_EQ(c->ValueToNormalized(1e9), 1.0);

    EXPECT_EQ(c->SetValueRange(0, 10, 1), E_INVALIDARG);
    EXPECT_EQ(c->SetValueRange(-1, 10, 2), E_INVALIDARG);
    EXPECT_DOUBLE_EQ(c->NormalizedToValue(0.0), 20.0) << "a refused range changes nothing";

    EXPECT_EQ(c->SetValueRange(-10, 10, 0), S_OK);
    EXPECT_DOUBLE_EQ(c->NormalizedToValue(0.25), -5.0);
    EXPECT_DOUBLE_EQ(c->ValueToNormalized(0.0), 0.5);
    c->SetValueRange(3, 3, 0);
    EXPECT_DOUBLE_EQ(c->ValueToNormalized(3), 0.0);
}

TEST_F(ValueTest, AttributesAreTrueOnlyWhenTheyReadTrue)
{
    const struct {
        const char16_t* notFocusable;
        int32_t tabStop;
        bool expected;
    } rows[] = {{u" TRUE ", 0, true},
                {u"yes", 0, false},
                {u"\tfalse\r\n", -2, false},
                {nullptr, -2, true},
                {nullptr, 0, false}};
    int n = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(n);
        RCPtr<FakeDescriptor> d(new FakeDescriptor(String(u"child") + String(static_cast<char16_t>(u'0' + n++))));
        if (r.notFocusable) d->attributes.push_back({u"NOT_FOCUSABLE", r.notFocusable});
        d->layout.tabStop = r.tabStop;
        d->layout.size[0].offset = d->layout.size[1].offset = 10;
        RCPtr<LControl> child = Create(d, top.Get());
        EXPECT_EQ(child->IsNotFocusable(), r.expected);
        EXPECT_EQ(child->GetLayout().tabStop < 0, r.expected);
    }
}

TEST_F(ValueTest, LoadedPropertiesSetTheValueTabAndToolTipFlags)
{
    RCPtr<FakeDescriptor> d(new FakeDescriptor(u"knob"));
    d->attributes = {
        {u"INITIAL_VALUE", u"0.25"}, {u"WANTS_TAB", u"True"}, {u"USE_PARENT_TOOLTIP", u"true"}, {u"LABEL", u"Gain"}};
    d->lookCount = 3;
    RCPtr<LControl> knob = Create(d, top.Get());
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);
    EXPECT_TRUE(knob->UsesParentToolTip());
    EXPECT_EQ(knob->GetText(), u"Gain");
    EXPECT_EQ(knob->GetPartCount(), 3u);
    EXPECT_EQ(knob->GetFirstVisiblePartIndex(), 0);
    EXPECT_EQ(knob->GetPartOpacity(1), 0.0f);

    RCPtr<FakeDescriptor> bad(new FakeDescriptor(u"bad"));
    bad->attributes = {{u"INITIAL_VALUE", u"abc"}};
    EXPECT_DOUBLE_EQ(Create(bad, top.Get())->GetValue(), 0.0);
}

TEST_F(ValueTest, TextReachesTheLooksAndTheWindowTitle)
{
    EXPECT_EQ(c->SetText(u"Hello"), 0);
    EXPECT_EQ(c->SetText(u"Hello"), 1);
    EXPECT_EQ(static_cast<FakeLook*>(c->GetVisualPart(0).Get())->text, u"Hello");
    root->dirty.clear();
    top->SetText(u"Main");
    EXPECT_EQ(root->title, u"Main");
    EXPECT_FALSE(root->dirty.empty());
}

TEST_F(ValueTest, TextIsClippedWhenWiderThanTheTextArea)
{
    auto* look = static_cast<FakeLook*>(c->GetVisualPart(0).Get());
    look->inset = 5;
    look->textWidth = 90;
    EXPECT_FALSE(c->IsTextClipped());
    look->textWidth = 91;
    EXPECT_TRUE(c->IsTextClipped());
    look->hasTextLayout = false;
    c->SetText(u"");
    EXPECT_FALSE(c->IsTextClipped());
    c->SetText(u"x");
    EXPECT_TRUE(c->IsTextClipped());
}

TEST_F(ValueTest, ARelativeInheritedFontFollowsItsParent)
{
    RCPtr<FakeDescriptor> pd(new FakeDescriptor(u"parent"));
    pd->text = {u"Sans", 10.0f, 0, false, false};
    RCPtr<LControl> parent = Create(pd, top.Get());
    RCPtr<FakeDescriptor> cd(new FakeDescriptor(u"child"));
    cd->text = {u"", 1.5f, -1, true, true};
    RCPtr<LControl> child = Create(cd, parent.Get());
    // A child made before its parent had a font resolves again on the parent's change.
    EXPECT_GE(parent->SetFontSpec(u"Sans", 10.0f, 0, false), 0);
    child->UpdateInheritedFont();
    EXPECT_FLOAT_EQ(child->GetFont()->GetSize(), 15.0f);
    EXPECT_EQ(child->GetFont()->GetFaceName(), u"Sans");
    EXPECT_EQ(parent->SetFontSpec(u"Sans", 12.0f, 0, false), S_OK);
    EXPECT_FLOAT_EQ(child->GetFont()->GetSize(), 18.0f);
    EXPECT_EQ(parent->SetFont(nullptr), E_INVALIDARG);
    EXPECT_EQ(parent->SetFont(LFont::GetFont(u"SANS", 12.0f, 0)), 1) << "equal face, size and style";
}

TEST_F(ValueTest, ReapplyingADescriptorKeepsTheChildrenItNames)
{
    RCPtr<FakeDescriptor> keep(new FakeDescriptor(u"keep"));
    RCPtr<FakeDescriptor> drop(new FakeDescriptor(u"drop"));
    RCPtr<FakeDescriptor> pd(new FakeDescriptor(u"holder"));
    pd->children = {RCPtr<IControlDescriptor>(keep.Get()), RCPtr<IControlDescriptor>(drop.Get())};
    RCPtr<LControl> holder = Create(pd, top.Get());
    ASSERT_EQ(holder->GetChildren().GetCount(), 2u);
    RCPtr<LControl> kept = holder->FindChildControl(u"keep");
    holder->SetText(u"kept text");

    RCPtr<FakeDescriptor> skin(new FakeDescriptor(u"holder"));
    skin->children = {RCPtr<IControlDescriptor>(keep.Get())};
    skin->layout.isVisible = false;
    EXPECT_EQ(holder->ApplyDescriptor(RCPtr<IControlDescriptor>(skin.Get())), S_OK);
    EXPECT_EQ(holder->GetChildren().GetCount(), 1u);
    EXPECT_EQ(holder->FindChildControl(u"keep").Get(), kept.Get());
    EXPECT_EQ(holder->GetText(), u"kept text");
    EXPECT_FALSE(holder->GetLayout().isVisible);
}

TEST_F(ValueTest, AReappliedTopControlKeepsFillingItsWindow)
{
    RCPtr<FakeDescriptor> skin(new FakeDescriptor(u"skin"));
    skin->layout.position[0].offset = 7;
    skin->layout.position[1].offset = 9;
    skin->layout.size[0].offset = 50;
    skin->layout.size[1].offset = 40;
    skin->layout.isVisible = false;
    const struct {
        const char* name;
        LControl* control;
        DoubleRect before, after;
    } rows[] = {
        // The child first: the skin has no children, so re-applying it to the top takes the child away.
        {"child", c.Get(), {7, 9, 50, 40}, {7, 9, 50, 40}},
        {"top control", top.Get(), {0, 0, 800, 600}, {0, 0, 640, 480}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        root->width = 800;
        root->height = 600;
        EXPECT_EQ(r.control->ApplyDescriptor(RCPtr<IControlDescriptor>(skin.Get())), S_OK);
        EXPECT_EQ(r.control->GetFrame(), r.before);
        root->width = 640;
        root->height = 480;
        EXPECT_GE(top->OnLayoutChange(640, 480), 0);
        EXPECT_EQ(r.control->GetFrame(), r.after) << "the window's size change reaches it";
    }
    EXPECT_TRUE(top->GetLayout().isVisible) << "the top control of a window is always shown";
}

}  // namespace
}  // namespace control_test
