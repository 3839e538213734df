#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

String LRefCountedObject::ToString() const
{
    return String(GetTypeName());
}

}  // namespace QV
