#include "LGlobalHotKeyManager.h"

namespace QV {

RCPtr<LGlobalHotKeyManager> LGlobalHotKeyManager::Create(const RCPtr<LNotificationReceiver>& target)
{
    return RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(target));
}

QVResult LGlobalHotKeyManager::HandleKey(const KeyCode& key)
{
    const String command = mKeyMap.FindCommandForKey(key);
    if (command.IsEmpty()) return kNotHandled;
    RCPtr<LNotification> notification = LNotification::Create(command.GetChars());
    if (mTarget && notification) (void)mTarget->ReceiveNotification(nullptr, notification);  // the target reports its own failures
    return S_OK;
}

}  // namespace QV
