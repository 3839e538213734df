#pragma once
// A menu ("Framework.PopupMenu") shown as a checked list: one row per entry
// of its own copy of a menu descriptor. Shown at the mouse inside its
// parent; an activated entry posts its command, with an LMenuActivationParam
// of the entry and its index, to the notification target.
#include "ControlPopups.h"
#include "InputParams.h"
#include "LCheckedListBox.h"
#include "LMenuDescriptor.h"
#include "LMenuItemUpdater.h"
#include "LNotificationQueue.h"

namespace QV {

class LPopupMenu : public LCheckedListBox, public IContextMenuPopup {
    QV_TYPE_NAME("class QV::LPopupMenu")
public:
    LPopupMenu(LControl* parent, const String& name);
    ~LPopupMenu() override;

    QVResult Activate(LControl*) override { return S_OK; }
    QVResult SwapItems(int32_t, int32_t) override { return E_NOTIMPL; }
    bool IsItemSelectable(int32_t index) const override;

    // E_INVALIDARG for anything but a menu descriptor.
    QVResult SetMenuDescriptor(const RCPtr<LRefCountedObject>& menu) override;
    void ShowAtMousePosition() override;
    // E_INVALIDARG when null; E_FAIL when a target is set already.
    QVResult SetNotificationTarget(const RCPtr<LNotificationQueue>& target);
    void SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater);
    // Asks the updater for the state of every entry with a command.
    void UpdateEntryStates();
    // Posts the entry's command and closes the menu; E_INVALIDARG for an
    // entry that cannot be chosen, E_FAIL without a target.
    QVResult ActivateEntry(int32_t index);
    RCPtr<LMenuDescriptor> GetMenu() const { return mMenu; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    RCPtr<LNotificationHandler<LPopupMenu>> mPopupHandler;
    RCPtr<LRefCountedObject> mMenuDescriptor;
    int32_t mValues[4] = {0, 0, 0, 0};
    bool mFlag = false;
    bool mFlags[3] = {false, true, false};
    // Set when the rows are built; read when measuring labels with hot keys.
    int32_t mRowMeasures[2] = {0, 0};

private:
    void FillItems();

    RCPtr<LMenuDescriptor> mMenu;
    RCPtr<LNotificationQueue> mTarget;
    RCPtr<LMenuItemUpdater> mUpdater;
    std::vector<bool> mEnabled;
};

}  // namespace QV
