#pragma once
// A named distributor that is its own queue: notifications posted to it from
// any thread are delivered to its own clients when it is drained.
#include "LNotificationDistributor.h"
#include "LNotificationQueue.h"
#include "StringT.h"

namespace QV {

class LNotificationCenter : public LNotificationDistributor, public LNotificationQueue {
    QV_TYPE_NAME("class QV::LNotificationCenter")
public:
    explicit LNotificationCenter(const char16_t* name);
    ~LNotificationCenter() override;

    // The id of a name or of an id; null for a null or empty name.
    static NotificationID GetNotificationID(const char16_t* nameOrId)
    {
        return NotificationNameTable::GetNotificationID(nameOrId);
    }

    const String& GetName() const { return mName; }

    // Unregisters every client and shuts the queue down.
    QVResult ReleaseInternalReferences() override;

private:
    const String mName;
};

}  // namespace QV
