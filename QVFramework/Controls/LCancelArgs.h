#pragma once
// The data of "NID_DIALOG_CLOSING": a receiver sets the flag to keep the
// dialog open.
#include "RefCountedObject.h"

namespace QV {

class LCancelArgs : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LCancelArgs")
public:
    static RCPtr<LCancelArgs> Create() { return RCPtr<LCancelArgs>(new LCancelArgs()); }
    bool cancel = false;
};

}  // namespace QV
