#pragma once
// The input records a control receives. Pointer input stands in for the
// pooled pointer parameters until the window layer hands those in.
#include <cstdint>
#include <vector>

#include "KeyCode.h"
#include "RCPtr.h"
#include "RefCountedObject.h"

namespace QV {

class LControl;

namespace MouseButton {
inline constexpr int32_t kLeft = 1;
inline constexpr int32_t kMiddle = 2;
inline constexpr int32_t kRight = 4;
}  // namespace MouseButton

class LPointerInput : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LPointerInput")
public:
    // What a wheel route offers: 0 and 1 go to OnMouseWheel, others to OnScrollKey.
    enum Kind : int32_t { kWheel = 0, kWheelHorizontal = 1, kScrollKey = 2, kPointer = 3 };

    LPointerInput(int32_t x_, int32_t y_, uint32_t modifiers_ = 0) : x(x_), y(y_), modifiers(modifiers_) {}
    static RCPtr<LPointerInput> Button(int32_t button, int32_t x, int32_t y, uint32_t buttonState,
                                       uint32_t modifiers = 0, bool doubleClick = false)
    {
        RCPtr<LPointerInput> p(new LPointerInput(x, y, modifiers));
        p->button = button;
        p->buttonState = buttonState;
        p->doubleClick = doubleClick;
        return p;
    }

    int32_t x;
    int32_t y;
    uint32_t modifiers;
    int32_t pointerIndex = 0;
    int32_t button = 0;
    bool doubleClick = false;
    uint32_t buttonState = 0;
    int32_t kind = kPointer;
    int32_t direction = 0;
};

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
