#pragma once
// What the menu bar needs of each of its menu buttons (a button with a
// drop-down menu).
#include "LMenuDescriptor.h"
#include "LMenuItemUpdater.h"
#include "LNotificationQueue.h"

namespace QV {

class IMenuBarButton {
public:
    // A null menu shows as an empty one.
    virtual void SetMenu(const RCPtr<LMenuDescriptor>& menu) = 0;
    // The menu the button shows; null before it was given one.
    virtual RCPtr<LMenuDescriptor> GetMenu() const = 0;
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
