#include "ControlTestSupport.h"
#include "LDropDownControl.h"

namespace control_test {
namespace {

// A drop-down whose part is only a flag, recording every request.
class FlagDropDown : public LDropDownControl {
public:
    using LDropDownControl::LDropDownControl;
    bool IsDropDownOpen() const override { return open; }
    QVResult ShowDropDown(bool o) override
    {
        requests.push_back(o);
        open = o;
        return S_OK;
    }
    bool open = false;
    std::vector<bool> requests;
};

class DropDownTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        other = Make(top.Get(), u"other", 0, 100, 50, 20);
        drop = new FlagDropDown(top.Get(), u"drop");
        ControlLayout l;
        l.size[0].offset = 80;
        l.size[1].offset = 20;
        drop->SetLayout(l);
        drop->AddVisualPart(RCPtr<ILook>(new FakeLook()));
        drop->ShowPart(0);
        drop->SetNotFocusable(false);
        drop->Initialize();
        drop->SetInitialized(true);
        EXPECT_GE(drop->UpdateLayout(), 0);
    }
    void Press()
    {
        drop->HandleMouseDown(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {5, 5}, 0, false, 1, 0));
        drop->HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {5, 5}, 0, false, 0, 0));
    }

    RCPtr<TestControl> other;
    RCPtr<FlagDropDown> drop;
};

TEST_F(DropDownTest, PressesToggleAndFocusChangesClose)
{
    struct Step {
        const char* action;
        bool open;
    };
    const std::vector<Step> steps = {
        {"press", true}, {"press", false},      {"press", true}, {"focus other", false},
        {"press", true}, {"focus self", false}, {"press", true}, {"press", false},
        {"press", true}, {"hover", true},       {"leave", true},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(std::to_string(i) + " " + steps[i].action);
        const std::string action = steps[i].action;
        if (action == "press") {
            Press();
        } else if (action == "focus other") {
            other->SetFocus(true);
        } else if (action == "focus self") {
            drop->SetFocus(true);
        } else if (action == "hover") {
            drop->OnMouseEnter();
        } else if (action == "leave") {
            drop->OnMouseLeave();
        }
        EXPECT_EQ(steps[i].open, drop->open);
    }
}

TEST_F(DropDownTest, OnlyTheStartOfALeftPressOpens)
{
    struct Row {
        const char* name;
        uint32_t before;
        uint32_t after;
        bool opens;
    };
    const std::vector<Row> rows = {
        {"left press begins", Condition::kEnabled, Condition::kEnabled | Condition::kLeftPressed, true},
        {"left press goes on", Condition::kLeftPressed, Condition::kLeftPressed | Condition::kHover, false},
        {"left press ends", Condition::kLeftPressed, 0, false},
        {"hover", 0, Condition::kHover, false},
        {"focus", 0, Condition::kHasFocus, false},
        {"right press", 0, Condition::kRightPressed, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        drop->open = false;
        RCPtr<LConditionsParam> p(new LConditionsParam());
        p->oldConditions = row.before;
        p->newConditions = row.after;
        drop->OnConditionsChanged(p);
        EXPECT_EQ(row.opens, drop->open);
    }
}

}  // namespace
}  // namespace control_test
