#pragma once
// The skin's container: a scroll view that keeps keys inside itself until it
// has nothing more to offer, then hands them to its parent, and at the top of
// the tree to the application's hot keys. Panels of one parent also see the
// keys their siblings pass on. UI thread only.
#include "LScrollView.h"

namespace QV {

class LPanel : public LScrollView {
    QV_TYPE_NAME("class QV::LPanel")
public:
    LPanel(LControl* parent, const String& name);

    RCPtr<LControl> GetNextTabChild(LControl* current, bool backward) override;
    void HandleKey(const RCPtr<LKeyParam>& key) override;
    void HandleTabNavigation(const RCPtr<LKeyParam>& key) override;
    [[nodiscard]] QVResult Initialize() override;
    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    // Forgets this class's own handler entry as well as the base's.
    [[nodiscard]] QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                  const char16_t* nameOrId) override;

    [[nodiscard]] QVResult OnPanelSiblingKey(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

protected:
    void LeaveParentSiblingKeys() override;
    void JoinParentSiblingKeys() override;

private:
    RCPtr<LNotificationHandler<LPanel>> mPanelHandler;
};

}  // namespace QV
