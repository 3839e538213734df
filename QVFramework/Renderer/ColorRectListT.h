#pragma once
// Rectangles with one packed 0xAARRGGBB colour each, scaled by a horizontal
// and a vertical factor when drawn.
#include <cstdint>
#include <vector>

#include "RectT.h"

namespace QV {

template <class T>
class ColorRectListT {
public:
    void Add(const RectT<T>& rect, uint32_t argb)
    {
        mRects.push_back(rect);
        mColors.push_back(argb);
        mChanged = true;
    }
    void SetScale(T sx, T sy)
    {
        mScaleX = sx;
        mScaleY = sy;
        mChanged = true;
    }

    int32_t GetCount() const { return static_cast<int32_t>(mRects.size()); }
    const RectT<T>& GetRect(int32_t i) const { return mRects[i]; }
    uint32_t GetColor(int32_t i) const { return mColors[i]; }
    T GetScaleX() const { return mScaleX; }
    T GetScaleY() const { return mScaleY; }

    bool IsChanged() const { return mChanged; }
    void SetChanged(bool changed) const { mChanged = changed; }
    uintptr_t GetHandle() const { return reinterpret_cast<uintptr_t>(this); }

private:
    std::vector<RectT<T>> mRects;
    std::vector<uint32_t> mColors;
    T mScaleX = T{1};
    T mScaleY = T{1};
    mutable bool mChanged = true;
};

}  // namespace QV
