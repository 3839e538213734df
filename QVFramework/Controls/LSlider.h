#pragma once
// The linear slider ("Framework.Slider"): a thumb travelling on the straight
// segment between the skin's markers "thumbStart" and "thumbEnd". Dragged,
// stepped toward a held press on the track (after 0.3 s, then every 0.1 s on
// the application's clock), or moved by the arrow keys. UI thread only.
#include "LPanel.h"
#include "OwnHandler.h"
#include "PendingPosts.h"
#include "SliderTrack.h"

namespace QV {

class LSlider : public LPanel {
    QV_TYPE_NAME("class QV::LSlider")
public:
    // Look indices; a skin without one keeps showing the current look.
    enum Part : int32_t { kNormal = 0, kFocused = 1, kDisabled = 2 };

    static constexpr double kTrackStep = 0.1;
    static constexpr double kFirstRepeat = 0.3;
    static constexpr double kRepeat = 0.1;

    LSlider(LControl* parent, const String& name);
    ~LSlider() override;

    double SetValue(double t) override;
    void EndBoundsChange() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    [[nodiscard]] QVResult OnMouseWheel(const RCPtr<LMouseWheelParam>& param) override;
    [[nodiscard]] QVResult OnScrollKey(const RCPtr<LMouseWheelParam>& param) override;
    void OnLeftClick(const RCPtr<LMouseButtonParam>& param) override;
    void HandleKey(const RCPtr<LKeyParam>& key) override;
    void OnTimer() override;
    [[nodiscard]] QVResult Initialize() override;
    QVResult OnInitialized() override;
    // A child named "thumb" given without a descriptor is placed like
    // "thumbStart" (less its placement, which the value decides) and shown.
    [[nodiscard]] QVResult SetParent(const RCPtr<LControl>& child, const RCPtr<IControlDescriptor>& descriptor) override;

    RCPtr<LControl> GetThumb() const { return mThumb; }
    bool IsDragging() const { return mDragging; }
    bool IsTrackPressed() const { return mTrackPressed; }
    void SetResetValue(double value, bool onDoubleClick);

    QV_OWN_HANDLER_OVERRIDES

private:
    [[nodiscard]] QVResult OnThumbMove(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnThumbClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnThumbDrag(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    SliderTrack Track() const;
    void CreateThumb();
    ControlLayout ThumbLayout() const;
    void PlaceThumb(const LongPoint& at);
    void PositionThumb();
    void ValueFromThumb();
    void TrackStep(const DoublePoint& point);
    void StepBy(double units);
    void EndTrackPress();

    RCPtr<LNotificationHandler<LSlider>> mSliderHandler;
    RCPtr<LControl> mThumb;
    RCPtr<LControl> mThumbStart;
    RCPtr<LControl> mThumbEnd;
    bool mDragging = false;
    LongPoint mGrab;
    double mTrackStep = kTrackStep;
    bool mTrackPressed = false;
    bool mSteppedThisPress = false;
    double mLastTick = 0.0;
    double mCountdown = 0.0;
    double mResetValue = 0.0;
    int32_t mResetOnClick = 0;
    double mDeferredValue = -1.0;
    bool mApplyDeferredValue = true;
    bool mKeyHeld = false;
    LongPoint mAnchor;
    PendingPosts mPosts;
};

}  // namespace QV
