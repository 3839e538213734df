#include "LEvent.h"

namespace QV {

RCPtr<LEvent> LEvent::Create(bool /*autoReset*/) { return RCPtr<LEvent>(new LEvent()); }

}  // namespace QV
