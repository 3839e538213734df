#include "LEvent.h"

namespace QV {

RCPtr<LEvent> LEvent::Create(bool /*autoReset*/) { return MakeRC<LEvent>(); }

}  // namespace QV
