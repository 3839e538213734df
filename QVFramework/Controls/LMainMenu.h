#pragma once
// The menu bar: one menu button per menu, built from the string table's
// "MENU_LABEL.n" titles and "CONTEXT_MENUm.nn.NID" entries (BuildContextMenu);
// further menus can be inserted at run time from the template button. Left and Right move
// an open menu to its neighbour, Escape closes it. UI thread only.
#include <map>
#include <vector>

#include "IMenuBarButton.h"
#include "LControl.h"
#include "LMenuDescriptor.h"

namespace QV {

class LPopupMenu;

class LMainMenu : public LControl {
    QV_TYPE_NAME("class QV::LMainMenu")
public:
    LMainMenu(LControl* parent, const String& name);
    ~LMainMenu() override;

    [[nodiscard]] QVResult Initialize() override;
    // A skin change keeps the added menus, their labels and their contents.
    [[nodiscard]] QVResult ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor) override;
    // The first menu button joining, or a "templateMenu" descriptor without a
    // control, gives the template of added menus.
    [[nodiscard]] QVResult SetParent(const RCPtr<LControl>& child, const RCPtr<IControlDescriptor>& descriptor) override;
    [[nodiscard]] QVResult OnKeyDown(const RCPtr<LKeyParam>& key) override;
    // The control focused before a menu took the focus, when it handles edits; else the parent's.
    LControl* GetEditTarget() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;

    [[nodiscard]] QVResult AddMenu(const String& name);
    // A null menu gives an empty one.
    [[nodiscard]] QVResult InsertMenu(int32_t index, const String& name, const String& label,
                                      const RCPtr<LMenuDescriptor>& menu);
    // The new menu's index among the added menus, or E_INVALIDARG.
    [[nodiscard]] QVResult InsertMenuBefore(const String& before, const String& name, const String& label,
                                            const RCPtr<LMenuDescriptor>& menu);
    int32_t GetMenuIndex(const String& name) const;
    String GetMenuName(int32_t index) const;
    LControl* GetMenuButton(int32_t n) const;
    int32_t GetMenuButtonCount() const;
    int32_t FindMenuButton(const String& name) const;
    int32_t GetSkinMenuCount() const { return mSkinMenuCount; }
    // Every menu posts its entries' commands through the root window's queue;
    // a menu added later is connected as it is made.
    void ConnectNotifications() override;
    // One for all the menus: it asks the control focused before a menu opened.
    RCPtr<LMenuItemUpdater> GetMenuItemUpdater() const { return mUpdater; }
    // Every menu, now and later, asks this one.
    void SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater);
    // 1 without an updater, E_FAIL when it asks nobody, else its target's answer and state.
    [[nodiscard]] QVResult QueryCommandState(const RCPtr<LNotification>& command, bool& enabled) override;
    // The button whose menu is open; -1 when none.
    int32_t GetOpenMenu() const;
    // The button's "popupMenu" child and its menu; empty for anything else.
    static RCPtr<LPopupMenu> GetPopupMenu(LControl* button);
    static RCPtr<LMenuDescriptor> GetMenuDescriptor(LControl* button);
    static void SetPopupUpdater(LControl* button, const RCPtr<LMenuItemUpdater>& updater);
    void OpenMenu(int32_t n);

    // The "MENU_LABEL.n" titles of a string table by number.
    static std::map<int32_t, String> ReadLabels(const IControlStringTable& table);

private:
    // The attached root window's queue; empty while the bar is not shown.
    RCPtr<LNotificationQueue> RootQueue() const;

    RCPtr<IControlDescriptor> mTemplate;
    int32_t mSkinMenuCount = 0;
    bool mTemplateFound = false;
    RCPtr<LMenuItemUpdater> mUpdater{new LMenuItemUpdater()};
    RCPtr<LControl> mEditTarget;
};

}  // namespace QV
