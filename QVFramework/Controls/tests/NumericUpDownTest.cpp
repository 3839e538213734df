#include "ControlTestSupport.h"
#include "LNumericUpDown.h"

namespace control_test {
namespace {

class NumericUpDownTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        upDown = new LNumericUpDown(top.Get(), u"upDown");
        ControlLayout l;
        l.size[0].offset = 60;
        l.size[1].offset = 20;
        upDown->SetLayout(l);
        text = new LTextBox(upDown.Get(), u"textBox");
        up = MakeButton(u"buttonUp", 0);
        down = MakeButton(u"buttonDown", 10);
        ASSERT_EQ(S_OK, upDown->Initialize());
        upDown->OnInitialized();
        upDown->SetInitialized(true);
        EXPECT_GE(upDown->UpdateLayout(), 0);
        upDown->SetValueRange(-12, 12, 0);
        upDown->SetNumber(0);
    }
    RCPtr<LButton> MakeButton(const char16_t* name, double y)
    {
        RCPtr<LButton> b(new LButton(upDown.Get(), name));
        ControlLayout l;
        l.position[0].offset = 50;
        l.position[1].offset = y;
        l.size[0].offset = 10;
        l.size[1].offset = 10;
        b->SetLayout(l);
        b->AddVisualPart(RCPtr<ILook>(new FakeLook()));
        b->Initialize();
        b->SetInitialized(true);
        EXPECT_GE(b->UpdateLayout(), 0);
        return b;
    }
    std::string Shown() const { return text->GetText().ToUtf8(); }

    RCPtr<LNumericUpDown> upDown;
    RCPtr<LTextBox> text;
    RCPtr<LButton> up, down;
};

TEST_F(NumericUpDownTest, TypedTextIsClampedAndRefusedTextRestoresTheValue)
{
    struct Row {
        const char16_t* typed;
        std::string shown;
    };
    const std::vector<Row> rows = {
        {u"5", "5"}, {u"-7", "-7"}, {u"40", "12"}, {u"-40", "-12"}, {u"x1", "-12"}, {u"", "-12"}, {u"3", "3"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(String(row.typed).ToUtf8());
        text->SetText(row.typed);
        text->Notify(u"NID_TEXTBOX_VALIDATED");
        EXPECT_EQ(row.shown, Shown());
    }
    EXPECT_NEAR(3.0, upDown->GetNumber(), 1e-9);
}

TEST_F(NumericUpDownTest, MinusIsAllowedOnlyWhenTheRangeReachesBelowZero)
{
    text->SetText(u"-3");
    text->Notify(u"NID_TEXTBOX_VALIDATED");
    EXPECT_EQ("-3", Shown());
    upDown->SetValueRange(0, 127, 0);
    upDown->SetNumber(10);
    text->SetText(u"-3");
    text->Notify(u"NID_TEXTBOX_VALIDATED");
    EXPECT_EQ("10", Shown());
}

TEST_F(NumericUpDownTest, ButtonsKeysAndWheelStepByOneWithinTheRange)
{
    upDown->SetNumber(10);
    // A press steps at once, then repeats after 0.3 s and every 0.1 s while held.
    root->buttons = 1;
    up->OnMouseEnter();  // repeats only while the pointer stays on the button
    up->HandleMouseDown(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {5, 5}, 0, false, 1, 0));
    EXPECT_EQ("11", Shown());
    for (int i = 0; i < 4; ++i) {
        app.nowMs += 101;
        root->Idle();
    }
    EXPECT_EQ("12", Shown());  // clamped at the maximum
    up->HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {5, 5}, 0, false, 0, 0));

    down->HandleMouseDown(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {5, 5}, 0, false, 1, 0));
    down->HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {5, 5}, 0, false, 0, 0));
    EXPECT_EQ("11", Shown());

    struct Row {
        const char* name;
        std::function<void()> act;
        std::string shown;
    };
    const auto wheel = [&](uint32_t direction) {
        EXPECT_EQ(upDown->OnMouseWheel(LMouseWheelParam::Create({0, 0}, 0, direction)), S_OK);
    };
    const std::vector<Row> rows = {
        {"Down key", [&] { upDown->HandleKey(RCPtr<LKeyParam>(new LKeyParam(KeyPress(0x28)))); }, "10"},
        {"Up key", [&] { upDown->HandleKey(RCPtr<LKeyParam>(new LKeyParam(KeyPress(0x26)))); }, "11"},
        {"wheel down", [&] { wheel(LMouseWheelParam::kDown); }, "10"},
        {"wheel up", [&] { wheel(LMouseWheelParam::kUp); }, "11"},
        {"wheel left", [&] { wheel(LMouseWheelParam::kLeft); }, "10"},
        {"wheel right", [&] { wheel(LMouseWheelParam::kRight); }, "11"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.act();
        EXPECT_EQ(row.shown, Shown());
    }
}

}  // namespace
}  // namespace control_test
