#pragma once
// The skinned scroll bar: a normalised value moved by line and page steps
// and by keys, shown by a thumb sized to the visible share of the content.
// UI thread only.
#include <cstdint>

#include "LControl.h"

namespace QV {

class LScrollbar : public LControl {
    QV_TYPE_NAME("class QV::LScrollbar")
public:
    LScrollbar(LControl* parent, const String& name);

    // Deferred while the thumb is dragged.
    double SetValue(double t) override;
    double ApplyValue(double t);
    // Keeps the mapped value across the change.
    QVResult SetValueRange(double minimum, double maximum, int32_t scale) override;
    void EndBoundsChange() override;
    QVResult Initialize() override;
    QVResult OnInitialized() override;

    void UpdateThumb();
    void UpdateThumbPosition();
    void SetValueFromThumb();
    // E_INVALIDARG for a mask beyond a byte (its low byte is kept).
    QVResult SetKeyMask(int32_t mask);
    QVResult OnScrollbarKey(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    void SetDragging(bool dragging);

    bool IsVertical() const { return mVertical != 0; }
    void SetVertical(bool vertical) { mVertical = vertical ? 1 : 0; }
    double GetThumbLength() const { return mThumbLength; }

    double lineStep = 0.02;
    double pageStep = 0.2;
    double thumbFraction = 0.1;
    double minimumThumbLength = 10.0;

    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;

private:
    int Axis() const { return mVertical ? 1 : 0; }
    double ThumbPosition() const;

    RCPtr<LNotificationHandler<LScrollbar>> mOwnHandler;
    int32_t mVertical = 1;
    RCPtr<LControl> mThumb;
    double mThumbLength = 0.0;
    double mChannelStart = 0.0;
    double mChannelEnd = 0.0;
    double mChannelOffset = 0.0;
    bool mDragging = false;
    double mPendingDragValue = -1.0;
    uint8_t mKeyMask = 0;
};

}  // namespace QV
