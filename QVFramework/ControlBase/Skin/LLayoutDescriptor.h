#pragma once
// The layout rules of one skin control. Shared between controls: a control
// copies it (Clone, or Unshare on its counted pointer) before changing it.
#include <cstdint>

#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

// Where a control's edge goes: reference 0 parent/screen, 1 client/active
// window, 2 the named control.
struct LPositionRule {
    static constexpr int32_t kParent = 0;
    static constexpr int32_t kClient = 1;
    static constexpr int32_t kNamed = 2;

    int32_t reference = kClient;
    String referenceName;
    float factor = 0.0f;
    double offset = 0.0;
};

// A control's extent: reference 0 parent/screen, 1 client/active window,
// 2 itself, 3 the named control.
struct LSizeRule {
    static constexpr int32_t kParent = 0;
    static constexpr int32_t kClient = 1;
    static constexpr int32_t kSelf = 2;
    static constexpr int32_t kNamed = 3;

    int32_t reference = kSelf;
    String referenceName;
    float factor = 0.0f;
    double offset = 0.0;
};

// A minimum or maximum extent, relative to a named child, "Children", or nothing.
struct LLimitRule {
    bool hasReference = false;
    String referenceName;
    float factor = 0.0f;
    double offset = 0.0;
};

class LLayoutDescriptor : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LLayoutDescriptor")
public:
    static constexpr int32_t kOverflowClip = 0;
    static constexpr int32_t kOverflowExpand = 1;
    static constexpr int32_t kOverflowWrap = 2;

    RCPtr<LLayoutDescriptor> Clone() const { return RCPtr<LLayoutDescriptor>(new LLayoutDescriptor(*this)); }
    RCPtr<LRefCountedObject> CreateCopy() const override { return Clone(); }

    bool clipToParent = true;
    int32_t zOrder = 0;
    int32_t tabStop = 0;
    bool visible = true;
    bool enabled = true;  // the control's own state; the skin never sets it
    bool xDocked = false;
    bool yDocked = false;
    float xPlacementAnchor = 0.0f;
    LPositionRule xPosition;
    float yPlacementAnchor = 0.0f;
    LPositionRule yPosition;
    LSizeRule xSize{LSizeRule::kSelf, String(), 0.0f, 16.0};
    LSizeRule ySize{LSizeRule::kSelf, String(), 0.0f, 40.0};
    LLimitRule xMinSize;
    LLimitRule yMinSize;
    LLimitRule xMaxSize;
    LLimitRule yMaxSize;
    String textDecoration;
    int32_t textOverflowX = kOverflowClip;
    int32_t textOverflowY = kOverflowClip;
    int32_t layoutOrder = 0;
};

}  // namespace QV
