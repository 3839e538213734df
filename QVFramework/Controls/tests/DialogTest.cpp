#include "ControlTestSupport.h"
#include "LButton.h"
#include "LDialog.h"

namespace control_test {
namespace {

class ClosingRootWindow : public FakeRootWindow {
public:
    QVResult RequestClose(int32_t result) override
    {
        closes.push_back(result);
        return S_OK;
    }
    std::vector<int32_t> closes;
};

class ModalApplication : public FakeApplication {
public:
    QVResult ShowModal(const RCPtr<LControl>& control, int32_t flags) override
    {
        shown.push_back({control.Get(), flags});
        return answer;
    }
    std::vector<std::pair<LControl*, int32_t>> shown;
    QVResult answer = 6;
};

// A field that keeps the focus while its text is invalid.
class StubbornField : public TestControl {
public:
    using TestControl::TestControl;
    bool AllowsFocusChange() override { return false; }
};

class RecordingDialog : public LDialog {
public:
    using LDialog::LDialog;
    void OnClosed() override { ++closedHooks; }
    int closedHooks = 0;
};

class DialogTest : public ::testing::Test {
protected:
    DialogTest() : dialog(new RecordingDialog(nullptr, u"dialog"))
    {
        dialog->SetLayout(Frame(0, 300, 200));
        EXPECT_GE(dialog->AttachToRootWindow(RCPtr<IRootWindow>(root.Get())), 0);
        root->top = dialog.Get();
    }
    ~DialogTest() override { dialog->Close(); }

    static ControlLayout Frame(double x, double w, double h)
    {
        ControlLayout layout;
        layout.position[0].offset = x;
        layout.size[0].offset = w;
        layout.size[1].offset = h;
        layout.size[0].kind = layout.size[1].kind = LayoutKind::kParent;
        return layout;
    }
    RCPtr<LButton> AddButton(const char16_t* name)
    {
        RCPtr<LButton> button(new LButton(dialog.Get(), name));
        RCPtr<FakeDescriptor> d(new FakeDescriptor(name));
        d->layout = Frame(25.0 * dialog->GetChildren().GetCount(), 20, 20);
        button->ApplyDescriptor(d);
        button->Initialize();
        button->OnInitialized();
        button->SetInitialized(true);
        EXPECT_GE(button->UpdateLayout(), 0);
        return button;
    }
    void Init()
    {
        EXPECT_GE(dialog->UpdateLayout(), 0);
        ASSERT_GE(dialog->Initialize(), 0);
        dialog->OnInitialized();
        dialog->SetInitialized(true);
        log->Listen(dialog.Get(), {u"NID_DIALOG_CLOSING", u"NID_DIALOG_CLOSED"});
    }
    static void Click(LButton& button)
    {
        button.OnMouseEnter();
        button.HandleMouseDown(LMouseButtonParam::Create(1, {5, 5}, 0, false, 1, 0));
        button.HandleMouseUp(LMouseButtonParam::Create(1, {5, 5}, 0, false, 0, 0));
    }

    ModalApplication app;
    ScopedControlApplication scope{app};
    RCPtr<ClosingRootWindow> root{new ClosingRootWindow()};
    RCPtr<RecordingDialog> dialog;
    RCPtr<NotificationLog> log{new NotificationLog()};  // counted: distributors hold it
};

TEST_F(DialogTest, EachStandardButtonEndsTheDialogWithItsResult)
{
    struct Case {
        const char16_t* name;
        int32_t result;
    };
    const Case cases[] = {
        {u"buttonOK", 1},    {u"buttonClose", 1},  {u"buttonCancel", 2}, {u"buttonAbort", 3},
        {u"buttonRetry", 4}, {u"buttonIgnore", 5}, {u"buttonYes", 6},    {u"buttonNo", 7},
    };
    for (const Case& c : cases) AddButton(c.name);
    AddButton(u"buttonHelp");
    Init();
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        root->closes.clear();
        log->Clear();
        Click(*dynamic_cast<LButton*>(dialog->FindChildControl(c.name).Get()));
        EXPECT_EQ(dialog->GetResult(), c.result);
        EXPECT_EQ(root->closes, std::vector<int32_t>{c.result});
        EXPECT_EQ(log->names, (std::vector<std::string>{"NID_DIALOG_CLOSING", "NID_DIALOG_CLOSED"}));
    }
    root->closes.clear();
    Click(*dynamic_cast<LButton*>(dialog->FindChildControl(u"buttonHelp").Get()));
    EXPECT_TRUE(root->closes.empty()) << "other buttons end nothing";
    EXPECT_EQ(dialog->closedHooks, 8);
}

TEST_F(DialogTest, OkAndCloseEndOnlyWhenTheyTakeTheFocus)
{
    RCPtr<LButton> ok = AddButton(u"buttonOK");
    RCPtr<LButton> close = AddButton(u"buttonClose");
    RCPtr<LButton> cancel = AddButton(u"buttonCancel");
    RCPtr<StubbornField> field(new StubbornField(dialog.Get(), u"field"));
    field->SetLayout(Frame(100, 20, 20));
    field->Initialize();
    field->SetInitialized(true);
    Init();
    root->SetFocusControl(field.Get());

    Click(*ok);
    Click(*close);
    EXPECT_TRUE(root->closes.empty());
    EXPECT_EQ(dialog->GetResult(), 0);
    EXPECT_TRUE(log->names.empty());

    Click(*cancel);
    EXPECT_EQ(root->closes, std::vector<int32_t>{2});
}

TEST_F(DialogTest, AClosingReceiverMayKeepTheDialogOpen)
{
    AddButton(u"buttonYes");
    Init();
    log->onReceive = [](const RCPtr<LNotification>& n) {
        if (auto* args = dynamic_cast<LCancelArgs*>(n->GetPayload().Get())) args->cancel = true;
    };
    Click(*dynamic_cast<LButton*>(dialog->FindChildControl(u"buttonYes").Get()));
    EXPECT_EQ(dialog->GetResult(), 6) << "the result stays set after a veto";
    EXPECT_TRUE(root->closes.empty());
    EXPECT_EQ(log->names, std::vector<std::string>{"NID_DIALOG_CLOSING"});
    EXPECT_EQ(dialog->closedHooks, 0);
}

TEST_F(DialogTest, WithoutButtonsOnlyCodeEndsTheDialog)
{
    Init();
    dialog->EndDialog(42);
    EXPECT_EQ(root->closes, std::vector<int32_t>{42});
    EXPECT_EQ(dialog->GetResult(), 42);
}

TEST_F(DialogTest, TheCloseBoxEndsADialogAsCancel)
{
    Init();
    EXPECT_TRUE(LDialog::CancelFromCloseBox(*dialog));
    EXPECT_EQ(root->closes, std::vector<int32_t>{2});
    EXPECT_EQ(dialog->GetResult(), 2);
    RCPtr<LControl> plain(new LControl(nullptr, u"plain"));
    EXPECT_FALSE(LDialog::CancelFromCloseBox(*plain));
}

TEST_F(DialogTest, EscapeEndsADialogAsCancel)
{
    Init();
    const RCPtr<LKeyParam> escape(new LKeyParam(KeyPress(0x1B), 1));
    EXPECT_EQ(dialog->OnKeyDown(escape), S_OK);
    EXPECT_EQ(dialog->GetResult(), 2);
    // Passed up by a child that did not want it.
    dialog->HandleKey(escape);
    EXPECT_EQ(root->closes, (std::vector<int32_t>{2, 2}));
    // Other keys are the dialog's base's.
    dialog->HandleKey(RCPtr<LKeyParam>(new LKeyParam(KeyPress(0x41), 1)));
    EXPECT_EQ(root->closes.size(), 2u);
}

TEST_F(DialogTest, ASecondInitializeWiresTheButtonsOnItsNewHandler)
{
    RCPtr<LButton> no = AddButton(u"buttonNo");
    Init();
    ASSERT_GE(dialog->Initialize(), 0);
    Click(*no);
    EXPECT_EQ(root->closes, std::vector<int32_t>{7});
}

TEST_F(DialogTest, DoModalHandsItselfToTheApplication)
{
    Init();
    EXPECT_EQ(dialog->DoModal(), 6);
    ASSERT_EQ(app.shown.size(), 1u);
    EXPECT_EQ(app.shown[0].first, dialog.Get());
    EXPECT_EQ(app.shown[0].second, 1);
}

}  // namespace
}  // namespace control_test
