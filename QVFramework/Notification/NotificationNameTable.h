#pragma once
// Interned notification names. A notification id is the address of the
// characters of its interned name, so an id can be passed wherever a name is
// expected and maps to itself.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "NotificationLocks.h"

namespace QV {

// Pointer-sized: the address of the interned name; null means none.
using NotificationID = const char16_t*;

class NotificationNameTable {
public:
    // The id of a name or of an id; null for a null or empty name.
    static NotificationID GetNotificationID(const char16_t* nameOrId);
    // As GetNotificationID, for a caller that holds GetNotificationLock().
    static NotificationID GetNotificationIDLocked(const char16_t* nameOrId);

    // Readers hold GetNotificationLock() around these.
    uint32_t GetCount() const { return static_cast<uint32_t>(mNames.size()); }
    NotificationID GetAt(uint32_t index) const { return mNames[index].c_str(); }
    // The index of an id, searched from the last entry; -1 when absent.
    int32_t FindID(NotificationID id) const;

private:
    NotificationID Intern(const char16_t* name);

    // A deque never moves its elements, so the characters stay put.
    std::deque<std::u16string> mNames;
    // Both found in constant time: every post looks its name up.
    std::unordered_set<NotificationID> mIds;
    std::unordered_map<std::u16string_view, NotificationID> mByText;
};

// The process-wide table; entries are only ever appended.
NotificationNameTable& GetNotificationNameTable();

}  // namespace QV
