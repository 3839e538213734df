#pragma once
// A bar that moves to share space between its neighbours: the sibling
// before it and the sibling after it in its parent. "Framework.SplitterH"
// moves along x, "Framework.SplitterV" along y; neither neighbour may get
// smaller than its layout's minimum size.
#include "LControl.h"

namespace QV {

class LSplitterBase : public LControl {
    QV_TYPE_NAME("class QV::LSplitterBase")
public:
    enum Orientation : int32_t { kHorizontal = 0, kVertical = 1 };

    LSplitterBase(LControl* parent, const String& name, int32_t orientation);

    int32_t GetOrientation() const { return mOrientation; }
    void GetMoveLimits(DoubleRect& limits) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;

protected:
    int32_t mOrientation;

private:
    int Axis() const { return mOrientation == kVertical ? 1 : 0; }
    double mPressOffset = 0.0;
};

class LSplitterH : public LSplitterBase {
    QV_TYPE_NAME("class QV::LSplitterH")
public:
    LSplitterH(LControl* parent, const String& name) : LSplitterBase(parent, name, kHorizontal) {}
};

class LSplitterV : public LSplitterBase {
    QV_TYPE_NAME("class QV::LSplitterV")
public:
    LSplitterV(LControl* parent, const String& name) : LSplitterBase(parent, name, kVertical) {}
};

}  // namespace QV
