#pragma once
// Turns a bound key into its command's notification and hands it to a target
// at once: a root window's posting receiver, or the application.
#include "KeyMap.h"
#include "LNotificationDistributor.h"
#include "LNotificationReceiver.h"

namespace QV {

class LGlobalHotKeyManager : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LGlobalHotKeyManager")
public:
    static RCPtr<LGlobalHotKeyManager> Create(const RCPtr<LNotificationReceiver>& target);

    KeyMap& GetKeyMap() { return mKeyMap; }
    const KeyMap& GetKeyMap() const { return mKeyMap; }
    const RCPtr<LNotificationReceiver>& GetTarget() const { return mTarget; }
    // 0 when the key's command was delivered; 1 when no command has the key.
    [[nodiscard]] QVResult HandleKey(const KeyCode& key);

private:
    explicit LGlobalHotKeyManager(const RCPtr<LNotificationReceiver>& target) : mTarget(target) {}

    KeyMap mKeyMap;
    RCPtr<LNotificationReceiver> mTarget;
};

}  // namespace QV
