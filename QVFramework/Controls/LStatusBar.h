#pragma once
// A bar that shows status text in its child "label1", given directly or
// posted from any thread ("NID_SET_STATUS_TEXT" with an LHolder<String>):
// posted text shows at the next idle tick, and only the newest of those
// posted since the last tick.
#include <mutex>
#include <optional>

#include "LControl.h"
#include "LNotificationQueue.h"
#include "OwnHandler.h"

namespace QV {

class LStatusBar : public LControl {
    QV_TYPE_NAME("class QV::LStatusBar")
public:
    LStatusBar(LControl* parent, const String& name);
    ~LStatusBar() override;

    [[nodiscard]] QVResult Initialize() override;
    void OnTimer() override;

    void SetStatusText(const String& text);
    // Any thread.
    void PostStatusText(const String& text);
    String GetStatusText() const;
    // The label's text as its skin gives it.
    String GetDefaultStatusText() const;

    // The bar made last and still alive; null when none. UI thread only.
    static LStatusBar* GetCurrent();

    QV_OWN_HANDLER_OVERRIDES

protected:
    // Posted text waits here until the next idle pass; Initialize connects it.
    RCPtr<LNotificationQueue> mQueue;
    RCPtr<LNotificationHandler<LStatusBar>> mStatusHandler;
    RCPtr<LControl> mLabel;

private:
    [[nodiscard]] QVResult OnSetStatusText(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    mutable std::mutex mPendingLock;
    std::optional<String> mPending;
    bool mIdleSubscribed = false;
};

}  // namespace QV
