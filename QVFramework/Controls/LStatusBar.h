#pragma once
// A bar that shows status text, given directly or posted.
#include "LControl.h"
#include "LNotificationQueue.h"
#include "OwnHandler.h"

namespace QV {

class LStatusBar : public LControl {
    QV_TYPE_NAME("class QV::LStatusBar")
public:
    LStatusBar(LControl* parent, const String& name);
    ~LStatusBar() override;

    QV_OWN_HANDLER_OVERRIDES

protected:
    // Posted text waits here until the next idle pass; Initialize connects it.
    RCPtr<LNotificationQueue> mQueue;
    RCPtr<LNotificationHandler<LStatusBar>> mStatusHandler;
    RCPtr<LControl> mLabel;
};

}  // namespace QV
