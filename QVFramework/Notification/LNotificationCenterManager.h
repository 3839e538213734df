#pragma once
// The process-wide owner of the named notification centers. The UI thread's
// idle processing drains every center through it.
#include "LNotificationCenter.h"
#include "Mutex.h"
#include "RCPtrArray.h"

namespace QV {

class LNotificationCenterManager : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LNotificationCenterManager")
public:
    // The name of the application's center.
    static constexpr const char16_t* kApplicationCenterName = u"application";

    // The process-wide manager, made on first use, without centers: the
    // "application" center is made by its first GetNotificationCenter.
    static RCPtr<LNotificationCenterManager> GetInstance();
    // For tests: ends every center of the current manager (clients
    // unregistered, queues shut down) and drops it; the next GetInstance
    // makes a new one.
    static void ResetInstance();

    // The center of that name, made and appended when there is none; null
    // for an empty name. Any thread.
    RCPtr<LNotificationCenter> GetNotificationCenter(const char16_t* name);
    RCPtr<LNotificationCenter> FindNotificationCenter(const char16_t* name) const;
    // A new center, not appended, that delivers its own notifications.
    RCPtr<LNotificationCenter> CreateNotificationCenter(const char16_t* name);

    // Drains every center once, from the last to the first; true when any
    // still holds notifications.
    bool ProcessNotifications(bool sendIdle);

    uint32_t GetCenterCount() const;

private:
    RCPtr<LNotificationCenter> FindLocked(const char16_t* name) const;

    mutable Mutex mLock;
    RCPtrArray<LNotificationCenter> mCenters;
};

// The center named "application", whose queue the UI thread drains.
RCPtr<LNotificationCenter> GetDefaultNotificationCenter();

}  // namespace QV
