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
    // The target's answer (0 enabled, negative disabled, 1 no opinion); E_FAIL without a target.
    [[nodiscard]] QVResult QueryState(const RCPtr<LNotification>& command) const
    {
        return mTarget ? mTarget->QueryCommandState(command) : E_FAIL;
    }

private:
    RCPtr<LControl> mTarget;
};

}  // namespace QV
