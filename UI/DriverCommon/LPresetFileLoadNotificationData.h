#pragma once
// The payload of "NID_PRESETFILE_POST_LOAD": the result of the load.
#include <cstdint>

#include "RefCountedObject.h"

namespace QV {

class LPresetFileLoadNotificationData : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LPresetFileLoadNotificationData")
public:
    explicit LPresetFileLoadNotificationData(int32_t result) : mResult(result) {}
    int32_t GetResult() const { return mResult; }

private:
    int32_t mResult;
};

}  // namespace QV
