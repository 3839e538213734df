#pragma once
// A tool tip ("Framework.ToolTip"): its owner sets the text and asks for it
// at the cursor; it shows after the hover delay on the application's clock,
// just below the pointer, or at once when another tip was hidden moments
// ago. The root window dismisses it when the pointer leaves or presses.
#include "ControlPopups.h"
#include "LControl.h"

namespace QV {

class LToolTip : public LControl, public IToolTipPopup {
    QV_TYPE_NAME("class QV::LToolTip")
public:
    static constexpr double kHoverDelay = 0.5;
    // A tip asked for within this time of the last hide shows at once.
    static constexpr double kReshowWindow = 0.5;
    static constexpr int32_t kCursorGap = 20;

    LToolTip(LControl* parent, const String& name);

    void PlaceAtCursor() override;
    void Dismiss() override;
    void OnTimer() override;
    bool IsWaiting() const { return mWaiting; }

private:
    void ShowNow();

    bool mWaiting = false;
    double mRequestTime = 0.0;
    double mHideTime = -1.0e9;
};

}  // namespace QV
