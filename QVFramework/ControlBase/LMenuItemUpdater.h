#pragma once
// Answers a menu's question about the state of an entry by asking the
// control the menu belongs to (its QueryCommandState).
#include "LControl.h"

namespace QV {

class LMenuItemUpdater : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LMenuItemUpdater")
public:
    explicit LMenuItemUpdater(RCPtr<LControl> target = nullptr) : mTarget(std::move(target)) {}
    void SetTarget(const RCPtr<LControl>& target) { mTarget = target; }
    const RCPtr<LControl>& GetTarget() const { return mTarget; }
    // The target's answer and state (LControl::QueryCommandState); E_FAIL without a target.
    [[nodiscard]] QVResult QueryState(const RCPtr<LNotification>& command, bool& enabled) const
    {
        return mTarget ? mTarget->QueryCommandState(command, enabled) : E_FAIL;
    }

private:
    RCPtr<LControl> mTarget;
};

}  // namespace QV
