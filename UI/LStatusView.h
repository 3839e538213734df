#pragma once
// The strip under the panels that says whether a keyboard is connected and
// which one. The engine posts its connection changes to the application's
// notification center; this view only shows them.
#include "LPanel.h"
#include "OwnHandler.h"

class LStatusView : public QV::LPanel {
    QV_TYPE_NAME("class LStatusView")
public:
    LStatusView(QV::LControl* parent, const QV::String& name);
    ~LStatusView() override;

    [[nodiscard]] QV::QVResult Initialize() override;
    // The device name is shown only while connected.
    void ShowConnection(bool connected, const QV::String& deviceName);
    QV::String GetConnectionText() const;

    [[nodiscard]] QV::QVResult ReceiveNotification(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                     const QV::RCPtr<QV::LNotification>& notification) override;
    [[nodiscard]] QV::QVResult UnregisterNotification(const QV::RCPtr<QV::LNotificationDistributor>& distributor,
                                        const char16_t* nameOrId) override;

private:
    [[nodiscard]] QV::QVResult OnConnectionStateChange(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                         const QV::RCPtr<QV::LNotification>& notification);

    QV::RCPtr<QV::LNotificationHandler<LStatusView>> mStatusHandler;
    QV::RCPtr<QV::LControl> mLabel;
};
