#include "LNotificationCenter.h"

namespace QV {

LNotificationCenter::LNotificationCenter(const char16_t* name) : mName(name != nullptr ? name : u"") {}

LNotificationCenter::~LNotificationCenter() = default;

QVResult LNotificationCenter::ReleaseInternalReferences()
{
    ReleaseAllClients();
    Shutdown();
    return (GetInternalRefCount() == 0 && GetRefCount() == 1) ? S_OK : E_FAIL;
}

}  // namespace QV
