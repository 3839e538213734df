#pragma once
// A menu button ("Framework.ComboMenu"): its "popupMenu" child drops down
// below it on a press, a press that goes on into the menu and picks the entry
// it is released over. A left release outside the button closes the menu.
// The class of every menu button of the menu bar. UI thread only.
#include "IMenuBarButton.h"
#include "LDropDownControl.h"
#include "LPopupMenu.h"

namespace QV {

class LComboMenu : public LDropDownControl, public IMenuBarButton {
    QV_TYPE_NAME("class QV::LComboMenu")
public:
    LComboMenu(LControl* parent, const String& name);
    ~LComboMenu() override;

    // E_FAIL without a "popupMenu" child.
    [[nodiscard]] QVResult Initialize() override;
    QVResult OnInitialized() override;
    [[nodiscard]] QVResult HandleMouseDown(const RCPtr<LMouseButtonParam>& param) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    // Keys the menu leaves go to the parent first (the bar moves between menus).
    void HandleKey(const RCPtr<LKeyParam>& key) override;

    bool IsDropDownOpen() const override;
    [[nodiscard]] QVResult ShowDropDown(bool show) override;

    void SetMenu(const RCPtr<LMenuDescriptor>& menu) override;
    RCPtr<LMenuDescriptor> GetMenu() const override;
    void ShowMenu(bool show) override { (void)ShowDropDown(show); }  // the caller has no use for a failure
    bool IsMenuShown() const override { return IsDropDownOpen(); }
    void SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater) override;
    void SetNotificationTarget(const RCPtr<LNotificationQueue>& target) override;

    RCPtr<LPopupMenu> GetPopupMenu() const { return mPopup; }
    RCPtr<LMenuItemUpdater> GetMenuItemUpdater() const { return mUpdater; }

    QV_OWN_HANDLER_OVERRIDES

private:
    [[nodiscard]] QVResult OnPopupMouseUp(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnPopupVisibility(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&);
    void PlacePopup();
    void RememberFocus();
    void RestoreFocus();

    RCPtr<LNotificationHandler<LComboMenu>> mMenuHandler;
    RCPtr<LPopupMenu> mPopup;
    RCPtr<LMenuItemUpdater> mUpdater{new LMenuItemUpdater()};
    // Kept until the popup exists.
    RCPtr<LMenuDescriptor> mMenu;
    // Where the last left press fell, in the button's own coordinates.
    DoublePoint mPressPoint;
};

}  // namespace QV
