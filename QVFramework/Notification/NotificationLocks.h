#pragma once
// The two process-wide locks of the notification system.
#include "Mutex.h"

namespace QV {

// Guards the name table and the recycle pool.
Mutex& GetNotificationLock();

// Guards the rings of every notification queue and the pending marks of
// pending-only registrations, which posters write from any thread.
Mutex& GetNotificationQueueLock();

}  // namespace QV
