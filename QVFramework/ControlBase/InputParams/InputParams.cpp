#include "InputParams.h"

namespace QV {

RCPtr<LPointWithModifiersParam> LPointWithModifiersParam::Create(const LongPoint& point, uint32_t modifiers,
                                                                 uint32_t pointerIndex)
{
    return RCPtr<LPointWithModifiersParam>(new LPointWithModifiersParam(point, modifiers, pointerIndex));
}

RCPtr<LMouseButtonParam> LMouseButtonParam::Create(uint32_t button, const LongPoint& point, uint32_t modifiers,
                                                   bool doubleClick, uint32_t buttonState, uint32_t pointerIndex)
{
    return RCPtr<LMouseButtonParam>(
        new LMouseButtonParam(button, point, modifiers, doubleClick, buttonState, pointerIndex));
}

RCPtr<LMouseWheelParam> LMouseWheelParam::Create(const LongPoint& point, uint32_t modifiers, uint32_t direction)
{
    return RCPtr<LMouseWheelParam>(new LMouseWheelParam(point, modifiers, direction));
}

RCPtr<LMenuActivationParam> LMenuActivationParam::Create(const RCPtr<LRefCountedObject>& object, int32_t value)
{
    return RCPtr<LMenuActivationParam>(new LMenuActivationParam(object, value));
}

}  // namespace QV
