#include "NotificationNameTable.h"

namespace QV {

namespace {

// Never destroyed: ids must stay valid for notifications released by other
// static objects during process exit.
struct NotificationGlobals {
    // Each lock on a line of its own: the poster holding one and the drainer
    // taking the other do not pull the same line back and forth.
    alignas(64) Mutex nameLock;
    alignas(64) Mutex queueLock;
    alignas(64) NotificationNameTable names;
};

NotificationGlobals& Globals()
{
    static auto* globals = new NotificationGlobals();
    return *globals;
}

}  // namespace

Mutex& GetNotificationLock()
{
    return Globals().nameLock;
}
Mutex& GetNotificationQueueLock()
{
    return Globals().queueLock;
}
NotificationNameTable& GetNotificationNameTable()
{
    return Globals().names;
}

int32_t NotificationNameTable::FindID(NotificationID id) const
{
    for (size_t i = mNames.size(); i-- > 0;) {
        if (mNames[i].c_str() == id) return static_cast<int32_t>(i);
    }
    return -1;
}

NotificationID NotificationNameTable::Intern(const char16_t* name)
{
    if (mIds.count(name) != 0) return name;
    const std::u16string_view text(name);
    if (const auto found = mByText.find(text); found != mByText.end()) return found->second;
    const std::u16string& entry = mNames.emplace_back(text);
    mIds.insert(entry.c_str());
    mByText.emplace(std::u16string_view(entry), entry.c_str());
    return entry.c_str();
}

NotificationID NotificationNameTable::GetNotificationID(const char16_t* nameOrId)
{
    if (nameOrId == nullptr || *nameOrId == u'\0') return nullptr;
    Mutex::Lock lock(GetNotificationLock());
    return GetNotificationNameTable().Intern(nameOrId);
}

NotificationID NotificationNameTable::GetNotificationIDLocked(const char16_t* nameOrId)
{
    if (nameOrId == nullptr || *nameOrId == u'\0') return nullptr;
    return GetNotificationNameTable().Intern(nameOrId);
}

}  // namespace QV
