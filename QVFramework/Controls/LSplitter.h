#pragma once
// A bar that moves to share space between its neighbours.
#include "LControl.h"

namespace QV {

class LSplitterBase : public LControl {
    QV_TYPE_NAME("class QV::LSplitterBase")
public:
    enum Orientation : int32_t { kHorizontal = 0, kVertical = 1 };

    LSplitterBase(LControl* parent, const String& name, int32_t orientation);

    int32_t GetOrientation() const { return mOrientation; }

protected:
    int32_t mOrientation;
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
