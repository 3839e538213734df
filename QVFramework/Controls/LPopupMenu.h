#pragma once
// A menu ("Framework.PopupMenu") shown as a checked list in menu mode: one
// "Framework.MenuItem" row per entry of its own copy of a menu descriptor,
// with the entry's hot-key text beside its label. Shown at the mouse inside
// its parent; an entry activated by a click or Enter posts its command, with
// an LMenuActivationParam of the entry and its index, to the notification
// target, and the menu closes. Escape closes it. UI thread only.
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

    [[nodiscard]] QVResult Initialize() override;
    QVResult Activate(LControl*) override { return S_OK; }
    [[nodiscard]] QVResult SwapItems(int32_t, int32_t) override { return E_NOTIMPL; }
    bool IsItemSelectable(int32_t index) const override;
    QVResult RefreshItem(int32_t index) override;
    void OnItemActivated(int32_t index) override;
    [[nodiscard]] QVResult OnKeyDown(const RCPtr<LKeyParam>& key) override;

    // E_INVALIDARG for anything but a menu descriptor.
    [[nodiscard]] QVResult SetMenuDescriptor(const RCPtr<LRefCountedObject>& menu) override;
    void ShowAtMousePosition() override;
    // Shows the menu and gives it the keyboard.
    void Popup();
    // E_INVALIDARG when null; E_FAIL when a target is set already.
    [[nodiscard]] QVResult SetNotificationTarget(const RCPtr<LNotificationQueue>& target);
    bool HasNotificationTarget() const { return !mTarget.IsNull(); }
    void SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater);
    // Asks the updater for the state of every entry with a command.
    void UpdateEntryStates();
    // Posts the entry's command and closes the menu; E_INVALIDARG for an
    // entry that cannot be chosen, E_FAIL without a target.
    [[nodiscard]] QVResult ActivateEntry(int32_t index);
    RCPtr<LMenuDescriptor> GetMenu() const { return mMenu; }
    // The entry's own second text, else the shortcut text of the first
    // control, from the updater's target up, with a key for its command,
    // else that of the window's hot keys, else the application's.
    String GetHotKeyText(int32_t index) const;

    QV_OWN_HANDLER_OVERRIDES

protected:
    RCPtr<LNotificationHandler<LPopupMenu>> mPopupHandler;

private:
    void FillItems();
    void FitToEntries();

    RCPtr<LMenuDescriptor> mMenu;
    RCPtr<LNotificationQueue> mTarget;
    RCPtr<LMenuItemUpdater> mUpdater;
    std::vector<bool> mEnabled;
};

}  // namespace QV
