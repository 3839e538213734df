#pragma once
// The choice between keyboards when more than one is connected: a combo box
// of their names, shown only then; picking one connects the engine to it.
#include <functional>
#include <vector>

#include "LPanel.h"
#include "OwnHandler.h"
#include "Variant.h"

class LDeviceSelector : public QV::LPanel {
    QV_TYPE_NAME("class LDeviceSelector")
public:
    struct Device {
        QV::Variant id;
        QV::String name;
    };
    // Where the keyboards come from and how one is chosen; the engine unless a test says otherwise.
    struct DeviceSource {
        std::function<std::vector<Device>()> find;
        std::function<int32_t(const QV::Variant&)> select;
    };

    LDeviceSelector(QV::LControl* parent, const QV::String& name);
    ~LDeviceSelector() override;

    [[nodiscard]] QV::QVResult Initialize() override;
    void SetDeviceSource(DeviceSource source) { mSource = std::move(source); }
    // Reads the keyboards again; shows the panel when there are two or more.
    void Refresh();
    const std::vector<Device>& GetDevices() const { return mDevices; }

    [[nodiscard]] QV::QVResult ReceiveNotification(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                     const QV::RCPtr<QV::LNotification>& notification) override;
    [[nodiscard]] QV::QVResult UnregisterNotification(const QV::RCPtr<QV::LNotificationDistributor>& distributor,
                                        const char16_t* nameOrId) override;

private:
    [[nodiscard]] QV::QVResult OnDeviceListChange(const QV::RCPtr<QV::LNotificationDistributor>&,
                                    const QV::RCPtr<QV::LNotification>&);
    [[nodiscard]] QV::QVResult OnSelectionChange(const QV::RCPtr<QV::LNotificationDistributor>&, const QV::RCPtr<QV::LNotification>&);

    QV::RCPtr<QV::LNotificationHandler<LDeviceSelector>> mSelectorHandler;
    QV::RCPtr<QV::LControl> mCombo;
    DeviceSource mSource;
    std::vector<Device> mDevices;
    bool mFilling = false;
};
