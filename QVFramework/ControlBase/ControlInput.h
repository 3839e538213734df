#pragma once
// The key input records a control receives.
#include <cstdint>
#include <vector>

#include "KeyCode.h"
#include "RCPtr.h"
#include "RefCountedObject.h"

namespace QV {

class LControl;

class LKeyParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LKeyParam")
public:
    explicit LKeyParam(const KeyCode& code_, int32_t stayInside_ = 1);
    ~LKeyParam() override;

    KeyCode code;
    int32_t stayInside;
    // The controls the key passed through, the most recent last.
    std::vector<RCPtr<LControl>> route;

    LControl* GetSource() const;
};

class LSiblingKeyParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LSiblingKeyParam")
public:
    explicit LSiblingKeyParam(RCPtr<LKeyParam> key) : keyParam(std::move(key)) {}
    RCPtr<LKeyParam> keyParam;
    int32_t unhandled = 1;
};

}  // namespace QV
