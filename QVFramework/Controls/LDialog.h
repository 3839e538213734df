#pragma once
// A modal dialog: the skin fills it with children, it runs in a root window
// of its own, and its standard buttons end it with the message-box result
// codes. Receivers of "NID_DIALOG_CLOSING" may veto the end.
#include "LCancelArgs.h"
#include "LScrollView.h"
#include "OwnHandler.h"

namespace QV {

class LDialog : public LScrollView {
    QV_TYPE_NAME("class QV::LDialog")
public:
    LDialog(LControl* parent, const String& name);
    ~LDialog() override;

    [[nodiscard]] QVResult Initialize() override;
    // Escape ends the dialog as its Cancel button would (2).
    [[nodiscard]] QVResult OnKeyDown(const RCPtr<LKeyParam>& key) override;
    // The same for an Escape that a child left unhandled.
    void HandleKey(const RCPtr<LKeyParam>& key) override;
    // What the application's modal run answers; E_FAIL without a window.
    [[nodiscard]] virtual QVResult DoModal();
    virtual void OnClosed() {}

    void EndDialog(int32_t result);
    // The close box of a window: a dialog ends as its Cancel button would (2);
    // false for any other control, whose window then simply closes.
    static bool CancelFromCloseBox(LControl& control);
    RCPtr<LCancelArgs> NotifyClosing();
    int32_t GetResult() const { return mResult; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    [[nodiscard]] QVResult OnButtonClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LDialog>> mDialogHandler;
    int32_t mResult = 0;
};

}  // namespace QV
