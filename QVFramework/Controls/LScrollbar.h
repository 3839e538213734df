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
    // Look indices of the "channel" child: kChannelPressed draws over the
    // stretch being paged, kChannelNormal elsewhere. The "thumb" is a button
    // (LButton::Part).
    enum Part : int32_t { kChannelNormal = 0, kChannelPressed = 1 };
    // Where a point along the channel lies: a press off the thumb pages toward it.
    enum ChannelSide : int32_t { kOnThumb = 0, kBeforeThumb = 1, kAfterThumb = 2 };

    LScrollbar(LControl* parent, const String& name);

    // Deferred while the thumb is dragged.
    double SetValue(double t) override;
    double ApplyValue(double t);
    // Keeps the mapped value across the change.
    [[nodiscard]] QVResult SetValueRange(double minimum, double maximum, int32_t scale) override;
    void EndBoundsChange() override;
    [[nodiscard]] QVResult Initialize() override;
    QVResult OnInitialized() override;

    void UpdateThumb();
    void UpdateThumbPosition();
    void SetValueFromThumb();
    // E_INVALIDARG for a mask beyond a byte (its low byte is kept).
    [[nodiscard]] QVResult SetKeyMask(int32_t mask);
    [[nodiscard]] QVResult OnScrollbarKey(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    void SetDragging(bool dragging);
    void OnTimer() override;
    [[nodiscard]] QVResult OnChannelLeftDragChange(const RCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnChannelHoverChange(const RCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnThumbLeftDragChange(const RCPtr<LNotificationDistributor>& sender,
                                   const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnThumbMouseMove(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnButtonAutoRepeat(const RCPtr<LNotificationDistributor>& sender,
                                const RCPtr<LNotification>& notification);
    // Shows the channel's pressed look over the stretch being paged while the pointer is on it.
    void UpdateChannelHighlight();
    void ClearChannelHighlight();
    // Along the axis, in the channel's part.
    ChannelSide HitTestChannel(double along) const;
    // kOnThumb while the channel is not paging.
    ChannelSide GetPagingSide() const { return mPagingSide; }

    bool IsVertical() const { return mVertical != 0; }
    void SetVertical(bool vertical) { mVertical = vertical ? 1 : 0; }
    double GetThumbLength() const { return mThumbLength; }

    double lineStep = 0.02;
    double pageStep = 0.2;
    double thumbFraction = 0.1;
    double minimumThumbLength = 10.0;

    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    // Forgets this class's own handler entry as well as the base's.
    [[nodiscard]] QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                  const char16_t* nameOrId) override;

protected:
    void LeaveParentSiblingKeys() override;
    void JoinParentSiblingKeys() override;

private:
    int Axis() const { return mVertical ? 1 : 0; }
    double ThumbPosition() const;
    void PageTowardSide();
    bool IsPointerOnPagingSide() const;
    void MoveThumbTo(double along);
    // The channel's pressed stretch for the current paging side, in the channel's coordinates.
    DoubleRect PagedStretch() const;

    RCPtr<LNotificationHandler<LScrollbar>> mOwnHandler;
    int32_t mVertical = 1;
    RCPtr<LControl> mThumb;
    double mThumbLength = 0.0;
    double mChannelStart = 0.0;
    double mChannelEnd = 0.0;
    double mChannelOffset = 0.0;
    bool mDragging = false;
    double mPendingDragValue = -1.0;
    bool mApplyPendingOnRelease = true;
    int32_t mGrab[2] = {0, 0};
    uint8_t mKeyMask = 0;
    RCPtr<LControl> mChannel;
    ChannelSide mPagingSide = kOnThumb;
    double mLastPagingTime = 0.0;
    double mPagingCountdown = 0.0;
    double mPagingRepeat = 0.2;
    double mPagingFirstDelay = 0.4;
};

}  // namespace QV
