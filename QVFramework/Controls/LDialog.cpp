#include "LDialog.h"

#include "IControlApplication.h"
#include "KeyCode.h"

namespace QV {
namespace {

struct StandardButton {
    const char16_t* name;
    int32_t result;
    bool needsFocus;
};

constexpr uint32_t kEscapeKey = KeyCode::Pressed(Keys::kEscape);

// The message-box identifiers; OK and Close must take the focus first.
constexpr StandardButton kButtons[] = {
    {u"buttonOK", 1, true},     {u"buttonClose", 1, true},   {u"buttonCancel", 2, false}, {u"buttonAbort", 3, false},
    {u"buttonRetry", 4, false}, {u"buttonIgnore", 5, false}, {u"buttonYes", 6, false},    {u"buttonNo", 7, false},
};

}  // namespace

LDialog::LDialog(LControl* parent, const String& name) : LScrollView(parent, name) {}

LDialog::~LDialog() = default;

QV_OWN_HANDLER_DEFINITIONS(LDialog, LScrollView, mDialogHandler)

QVResult LDialog::Initialize()
{
    const QVResult result = LScrollView::Initialize();
    mDialogHandler = new LNotificationHandler<LDialog>(this);
    for (auto it = std::rbegin(kButtons); it != std::rend(kButtons); ++it) {
        if (RCPtr<LControl> button = FindChildControl(it->name)) {
            (void)mDialogHandler->RegisterHandler(&LDialog::OnButtonClick,
                                                  RCPtr<LNotificationDistributor>(button.Get()), u"NID_LEFT_CLICK");
        }
    }
    return result;
}

QVResult LDialog::DoModal()
{
    IControlApplication* application = GetControlApplication();
    if (!application) return E_FAIL;
    return application->ShowModal(RCPtr<LControl>(this), 1);
}

QVResult LDialog::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    if (key && key->code.code == kEscapeKey) {
        EndDialog(2);
        return S_OK;
    }
    return LScrollView::OnKeyDown(key);
}

void LDialog::HandleKey(const RCPtr<LKeyParam>& key)
{
    if (key && key->code.code == kEscapeKey) {
        EndDialog(2);
        return;
    }
    LScrollView::HandleKey(key);
}

bool LDialog::CancelFromCloseBox(LControl& control)
{
    auto* dialog = dynamic_cast<LDialog*>(&control);
    if (dialog) dialog->EndDialog(2);
    return dialog != nullptr;
}

RCPtr<LCancelArgs> LDialog::NotifyClosing()
{
    RCPtr<LCancelArgs> args = LCancelArgs::Create();
    Notify(u"NID_DIALOG_CLOSING", RCPtr<LRefCountedObject>(args.Get()));
    return args;
}

void LDialog::EndDialog(int32_t result)
{
    // Receivers may drop the last outside reference while we run.
    RCPtr<LDialog> self(this);
    mResult = result;
    if (NotifyClosing()->cancel) return;
    // A refused close leaves nothing to undo; the dialog is over either way.
    if (RCPtr<IRootWindow> root = GetRootWindow()) (void)root->RequestClose(mResult);
    Notify(u"NID_DIALOG_CLOSED");
    OnClosed();
}

QVResult LDialog::OnButtonClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    auto* control = dynamic_cast<LControl*>(sender.Get());
    if (!control) return 1;
    for (const StandardButton& button : kButtons) {
        if (!(control->GetName() == button.name)) continue;
        if (button.needsFocus && control->SetFocus(true) < 0) return 1;
        EndDialog(button.result);
        return 1;
    }
    return 1;
}

}  // namespace QV
