#include "ControlInput.h"
#include "LControl.h"

namespace QV {

LKeyParam::LKeyParam(const KeyCode& code_, int32_t stayInside_) : code(code_), stayInside(stayInside_) {}

LKeyParam::~LKeyParam() = default;

LControl* LKeyParam::GetSource() const
{
    return route.empty() ? nullptr : route.back().Get();
}

}  // namespace QV
