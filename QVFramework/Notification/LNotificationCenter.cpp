#include "LNotificationCenter.h"

namespace QV {

LNotificationCenter::LNotificationCenter(const char16_t* name) : mName(name != nullptr ? name : u"") {}

LNotificationCenter::~LNotificationCenter() = default;

QVResult LNotificationCenter::ReleaseInternalReferences()
{
    ReleaseAllClients();
    Shutdown();
    return HeldOnlyByCaller();
}

}  // namespace QV
