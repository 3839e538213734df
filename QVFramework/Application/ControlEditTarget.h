#pragma once
// The clipboard bridge's view of a control: the edit requests of the
// application reach the focused control's edit target through it.
#include "LClipboard.h"
#include "LControl.h"
#include "LRootWindow.h"

namespace QV {

class ControlEditTarget : public IEditCommandTarget {
public:
    explicit ControlEditTarget(LControl* control) : mControl(control) {}
    bool HandlesEditCommands() override { return mControl->HandlesEditCommands(); }
    bool CanPerformEdit(int32_t command) override { return mControl->CanPerformEdit(command); }
    [[nodiscard]] QVResult PerformEdit(int32_t command) override { return mControl->PerformEdit(command); }

    // The edit target of the window's focused control; null when the window,
    // its focus or the target is missing.
    static std::shared_ptr<IEditCommandTarget> OfFocus(const RCPtr<LRootWindow>& root)
    {
        const RCPtr<LControl> focus = root ? root->GetFocusControl() : RCPtr<LControl>();
        LControl* target = focus ? focus->GetEditTarget() : nullptr;
        return target ? std::make_shared<ControlEditTarget>(target) : nullptr;
    }

private:
    RCPtr<LControl> mControl;  // kept while a command runs, even if the tree lets go
};

}  // namespace QV
