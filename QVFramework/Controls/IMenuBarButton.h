#pragma once
// What the menu bar needs of each of its menu buttons (a button with a
// drop-down menu of entries).
#include <vector>

#include "LMenuItemUpdater.h"
#include "LNotificationQueue.h"
#include "StringT.h"

namespace QV {

struct MenuEntry {
    String label;
    String help;
    // The notification the entry posts; empty for a separator.
    String notification;
    bool separator = false;
    bool operator==(const MenuEntry&) const = default;
};

class IMenuBarButton {
public:
    virtual void SetMenuEntries(const std::vector<MenuEntry>& entries) = 0;
    virtual std::vector<MenuEntry> GetMenuEntries() const = 0;
    virtual void ShowMenu(bool show) = 0;
    virtual bool IsMenuShown() const = 0;
    // The bar's one updater, shared by all its menus.
    virtual void SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>&) {}
    // Where the entries' commands are posted.
    virtual void SetNotificationTarget(const RCPtr<LNotificationQueue>&) {}

protected:
    ~IMenuBarButton() = default;
};

}  // namespace QV
