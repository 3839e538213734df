#include "LNotificationCenterManager.h"

#include <utility>

namespace QV {

namespace {

struct ManagerInstance {
    Mutex lock;
    RCPtr<LNotificationCenterManager> manager;
};

// Released at process exit; the notification globals it relies on live on.
ManagerInstance& Instance()
{
    static ManagerInstance instance;
    return instance;
}

}  // namespace

RCPtr<LNotificationCenterManager> LNotificationCenterManager::GetInstance()
{
    ManagerInstance& instance = Instance();
    Mutex::Lock lock(instance.lock);
    if (!instance.manager) instance.manager = new LNotificationCenterManager();
    return instance.manager;
}

void LNotificationCenterManager::ResetInstance()
{
    RCPtr<LNotificationCenterManager> manager;
    {
        ManagerInstance& instance = Instance();
        Mutex::Lock lock(instance.lock);
        manager = std::move(instance.manager);
        instance.manager = nullptr;
    }
    if (!manager) return;
    RCPtrArray<LNotificationCenter> centers;
    {
        Mutex::Lock lock(manager->mLock);
        centers = manager->mCenters;
        (void)manager->mCenters.SetCount(0);  // shrinking cannot fail
    }
    for (uint32_t i = 0; i < centers.GetCount(); ++i) {
        const RCPtr<LNotificationCenter>& center = *centers.GetItemPtr(i);
        center->ReleaseAllClients();
        center->Shutdown();
    }
}

RCPtr<LNotificationCenter> LNotificationCenterManager::FindLocked(const char16_t* name) const
{
    if (name == nullptr || *name == u'\0') return nullptr;
    for (uint32_t i = 0; i < mCenters.GetCount(); ++i) {
        const RCPtr<LNotificationCenter>& center = *mCenters.GetItemPtr(i);
        if (center->GetName().GetChars() == name || center->GetName() == name) return center;
    }
    return nullptr;
}

RCPtr<LNotificationCenter> LNotificationCenterManager::FindNotificationCenter(const char16_t* name) const
{
    Mutex::Lock lock(mLock);
    return FindLocked(name);
}

RCPtr<LNotificationCenter> LNotificationCenterManager::CreateNotificationCenter(const char16_t* name)
{
    RCPtr<LNotificationCenter> center(new LNotificationCenter(name));
    if (center->GetPostingReceiver()) {
        (void)center->SetDistributor(center);  // a new center has none yet
    }
    return center;
}

RCPtr<LNotificationCenter> LNotificationCenterManager::GetNotificationCenter(const char16_t* name)
{
    if (name == nullptr || *name == u'\0') return nullptr;
    Mutex::Lock lock(mLock);
    if (RCPtr<LNotificationCenter> found = FindLocked(name)) return found;
    RCPtr<LNotificationCenter> center = CreateNotificationCenter(name);
    (void)mCenters.AddItem(center);  // the array grows
    return center;
}

bool LNotificationCenterManager::ProcessNotifications(bool sendIdle)
{
    RCPtrArray<LNotificationCenter> centers;
    {
        Mutex::Lock lock(mLock);
        centers = mCenters;
    }
    bool more = false;
    for (uint32_t i = centers.GetCount(); i-- > 0;) {
        if ((*centers.GetItemPtr(i))->ProcessNotifications(sendIdle)) more = true;
    }
    return more;
}

uint32_t LNotificationCenterManager::GetCenterCount() const
{
    Mutex::Lock lock(mLock);
    return mCenters.GetCount();
}

RCPtr<LNotificationCenter> GetDefaultNotificationCenter()
{
    return LNotificationCenterManager::GetInstance()->GetNotificationCenter(
        LNotificationCenterManager::kApplicationCenterName);
}

}  // namespace QV
