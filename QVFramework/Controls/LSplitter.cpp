#include "LSplitter.h"

namespace QV {

LSplitterBase::LSplitterBase(LControl* parent, const String& name, int32_t orientation)
    : LControl(parent, name), mOrientation(orientation)
{}

}  // namespace QV
