#include "LiveObjects.h"

#include <mutex>
#include <unordered_map>

#include "RefCountedObject.h"

namespace QV::LiveObjects {

namespace {

struct Register {
    std::mutex lock;
    uint64_t lastSerial = 0;
    std::unordered_map<const LRefCountedObject*, uint64_t> serials;
};

// Never destroyed: objects released by other statics' destructors still find it.
Register& TheRegister()
{
    static Register* live = new Register();
    return *live;
}

}  // namespace

#ifndef NDEBUG
void Add(const LRefCountedObject* object)
{
    Register& live = TheRegister();
    std::lock_guard hold(live.lock);
    live.serials[object] = ++live.lastSerial;
}

void Remove(const LRefCountedObject* object)
{
    Register& live = TheRegister();
    std::lock_guard hold(live.lock);
    live.serials.erase(object);
}
#endif

uint64_t Mark()
{
    Register& live = TheRegister();
    std::lock_guard hold(live.lock);
    return live.lastSerial;
}

std::map<std::string, int> CountByClass(uint64_t mark)
{
    std::map<std::string, int> counts;
    Register& live = TheRegister();
    // Held while names are read: an object leaves the register before its
    // destructor runs, so every object listed here is whole.
    std::lock_guard hold(live.lock);
    for (const auto& [object, serial] : live.serials) {
        if (serial > mark) ++counts[object->GetTypeName()];
    }
    return counts;
}

}  // namespace QV::LiveObjects
