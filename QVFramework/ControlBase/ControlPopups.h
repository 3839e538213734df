#pragma once
// What a control asks of the popups it raises: its context menu and its tool tip.
#include "RCPtr.h"

namespace QV {

class IContextMenuPopup {
public:
    virtual ~IContextMenuPopup() = default;
    [[nodiscard]] virtual QVResult SetMenuDescriptor(const RCPtr<LRefCountedObject>& menu) = 0;
    virtual void ShowAtMousePosition() = 0;
};

class IToolTipPopup {
public:
    virtual ~IToolTipPopup() = default;
    virtual void PlaceAtCursor() = 0;
    virtual void Dismiss() = 0;
};

}  // namespace QV
