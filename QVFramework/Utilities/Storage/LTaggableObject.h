#pragma once
// A counted object that carries a tag for its owner's use.
#include <cstdint>

#include "RefCountedObject.h"

namespace QV {

class LTaggableObject : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LTaggableObject")

public:
    uintptr_t GetTag() const { return mTag; }
    void SetTag(uintptr_t tag) { mTag = tag; }

private:
    uintptr_t mTag = 0;
};

}  // namespace QV
