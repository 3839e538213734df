#pragma once
// A unit of work that a threader runs on its thread.
#include "RCPtr.h"
#include "RefCountedObject.h"
#include "Result.h"

namespace QV {

class LThreadWorker : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LThreadWorker")

public:
    // parameters is the job's parameter object as it was given; may be null.
    [[nodiscard]] virtual QVResult Run(RCPtr<LRefCountedObject>& parameters) = 0;
};

}  // namespace QV
