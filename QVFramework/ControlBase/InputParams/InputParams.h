#pragma once
// Parameter objects of pointer input and menu activation. All but
// LPointParam come from per-type pools, because every mouse move or wheel
// step makes one.
#include <cstdint>

#include "PointT.h"
#include "PooledAllocation.h"
#include "RefCountedObject.h"

namespace QV {

class LPointParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LPointParam")
public:
    explicit LPointParam(const LongPoint& point) : mX(point.x), mY(point.y) {}

    LongPoint GetPoint() const { return {mX, mY}; }
    void SetPoint(const LongPoint& point) { mX = point.x, mY = point.y; }

private:
    // In the receiving control's coordinates.
    int32_t mX;
    int32_t mY;
};

class LPointWithModifiersParam : public LPointParam {
    QV_TYPE_NAME("class QV::LPointWithModifiersParam")
    QV_POOLED_ALLOCATION(LPointWithModifiersParam, 32)
public:
    // Modifier flags: 1 Ctrl, 8 Shift, 0x40 Alt.
    static constexpr uint32_t kCtrl = 0x1;
    static constexpr uint32_t kShift = 0x8;
    static constexpr uint32_t kAlt = 0x40;

    static RCPtr<LPointWithModifiersParam> Create(const LongPoint& point, uint32_t modifiers, uint32_t pointerIndex);

    uint32_t GetModifiers() const { return mModifiers; }
    uint32_t GetPointerIndex() const { return mPointerIndex; }

protected:
    LPointWithModifiersParam(const LongPoint& point, uint32_t modifiers, uint32_t pointerIndex)
        : LPointParam(point), mModifiers(modifiers), mPointerIndex(pointerIndex)
    {}

private:
    uint32_t mModifiers;
    uint32_t mPointerIndex;
};

class LMouseButtonParam : public LPointWithModifiersParam {
    QV_TYPE_NAME("class QV::LMouseButtonParam")
    QV_POOLED_ALLOCATION(LMouseButtonParam, 32)
public:
    // Buttons, also the bits of the button-state mask.
    static constexpr uint32_t kLeft = 1;
    static constexpr uint32_t kMiddle = 2;
    static constexpr uint32_t kRight = 4;

    static RCPtr<LMouseButtonParam> Create(uint32_t button, const LongPoint& point, uint32_t modifiers,
                                           bool doubleClick, uint32_t buttonState, uint32_t pointerIndex);

    uint32_t GetButton() const { return mButton; }
    bool IsDoubleClick() const { return mDoubleClick != 0; }
    // The buttons down when the event was made.
    uint32_t GetButtonState() const { return mButtonState; }

private:
    LMouseButtonParam(uint32_t button, const LongPoint& point, uint32_t modifiers, bool doubleClick,
                      uint32_t buttonState, uint32_t pointerIndex)
        : LPointWithModifiersParam(point, modifiers, pointerIndex),
          mButton(button),
          mDoubleClick(doubleClick ? 1 : 0),
          mButtonState(buttonState)
    {}

    uint32_t mButton;
    uint8_t mDoubleClick;
    uint32_t mButtonState;
};

class LMouseWheelParam : public LPointWithModifiersParam {
    QV_TYPE_NAME("class QV::LMouseWheelParam")
    QV_POOLED_ALLOCATION(LMouseWheelParam, 4)
public:
    static constexpr uint32_t kDown = 0;
    static constexpr uint32_t kUp = 1;
    static constexpr uint32_t kLeft = 2;
    static constexpr uint32_t kRight = 3;

    static RCPtr<LMouseWheelParam> Create(const LongPoint& point, uint32_t modifiers, uint32_t direction);

    uint32_t GetDirection() const { return mDirection; }
    // Up and right step a value up; down and left step it down.
    bool IsUpOrRight() const { return mDirection == kUp || mDirection == kRight; }

private:
    LMouseWheelParam(const LongPoint& point, uint32_t modifiers, uint32_t direction)
        : LPointWithModifiersParam(point, modifiers, 0), mDirection(direction)
    {}

    uint32_t mDirection;
};

// Posted when a menu item is activated.
class LMenuActivationParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LMenuActivationParam")
    QV_POOLED_ALLOCATION(LMenuActivationParam, 4)
public:
    static RCPtr<LMenuActivationParam> Create(const RCPtr<LRefCountedObject>& object, int32_t value);

    const RCPtr<LRefCountedObject>& GetObject() const { return mObject; }
    int32_t GetValue() const { return mValue; }

private:
    LMenuActivationParam(const RCPtr<LRefCountedObject>& object, int32_t value) : mObject(object), mValue(value) {}

    RCPtr<LRefCountedObject> mObject;
    int32_t mValue;
};

}  // namespace QV
