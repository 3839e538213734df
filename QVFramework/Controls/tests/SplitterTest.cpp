#include "ControlTestSupport.h"
#include "LSplitter.h"

namespace control_test {
namespace {

class SplitterTest : public ControlFixture {
protected:
    // Two panes with a 4-thick splitter between them, along x or y.
    template <class S>
    RCPtr<S> MakeSplit(int axis)
    {
        MakeTop(400, 400);
        const auto at = [axis](double a) { return axis == 0 ? a : 0.0; };
        const auto across = [axis](double a) { return axis == 0 ? 0.0 : a; };
        RCPtr<TestControl> first = Make(top.Get(), u"first", 0, 0, axis == 0 ? 100 : 300, axis == 0 ? 300 : 100);
        RCPtr<S> splitter(new S(top.Get(), u"splitter"));
        ControlLayout l;
        l.position[0].offset = at(100);
        l.position[1].offset = across(100);
        l.size[0].offset = axis == 0 ? 4 : 300;
        l.size[1].offset = axis == 0 ? 300 : 4;
        splitter->SetLayout(l);
        splitter->AddVisualPart(RCPtr<ILook>(new FakeLook()));
        splitter->ShowPart(0);
        splitter->Initialize();
        splitter->SetInitialized(true);
        EXPECT_GE(splitter->UpdateLayout(), 0);
        RCPtr<TestControl> second =
            Make(top.Get(), u"second", at(104), across(104), axis == 0 ? 196 : 300, axis == 0 ? 300 : 196);
        // Minimum sizes: 50 before, 80 after; the frames stay as laid out.
        SetMinimum(*first, axis, 50);
        SetMinimum(*second, axis, 80);
        return splitter;
    }
    static void SetMinimum(LControl& c, int axis, double minimum)
    {
        ControlLayout l = c.GetLayout();
        l.size[axis].offset = minimum;
        c.SetLayout(l);
    }
};

TEST_F(SplitterTest, LimitsKeepBothPanesAtTheirMinimums)
{
    struct Row {
        const char* name;
        int axis;
    };
    for (const Row row : {Row{"horizontal splitter moves along x", 0}, Row{"vertical splitter moves along y", 1}}) {
        SCOPED_TRACE(row.name);
        root = new FakeRootWindow();
        RCPtr<LSplitterBase> s = row.axis == 0 ? RCPtr<LSplitterBase>(MakeSplit<LSplitterH>(0))
                                               : RCPtr<LSplitterBase>(MakeSplit<LSplitterV>(1));
        const int32_t local = 2;
        s->HandleMouseDown(LMouseButtonParam::Create(
            LMouseButtonParam::kLeft, {row.axis == 0 ? local : 50, row.axis == 0 ? 50 : local}, 0, false, 1, 0));
        DoubleRect limits{0, 0, 400, 400};
        s->GetMoveLimits(limits);
        // The splitter may start from 50 to 300 - 80 - 4 = 216; the pointer sits 2 inside it.
        EXPECT_DOUBLE_EQ(52, row.axis == 0 ? limits.x : limits.y);
        EXPECT_DOUBLE_EQ(218 - 52, row.axis == 0 ? limits.width : limits.height);
        EXPECT_DOUBLE_EQ(0, row.axis == 0 ? limits.y : limits.x);
        EXPECT_EQ(2, s->GetDragMode());
        s->HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {0, 0}, 0, false, 0, 0));
        top->Close();
        top = nullptr;
    }
}

}  // namespace
}  // namespace control_test
