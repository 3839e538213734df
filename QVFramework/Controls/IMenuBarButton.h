#pragma once
// What the menu bar needs of each of its menu buttons (a button with a
// drop-down menu of entries).
#include <vector>

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

protected:
    ~IMenuBarButton() = default;
};

}  // namespace QV
