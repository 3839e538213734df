#pragma once
// The root control of the main window and the root of the editor's module
// tree: edit panels' values go up through it to the engine, the device's
// values come down through it to the panels. A value being applied from the
// device is never sent back. UI thread only; the device's changes arrive as
// notifications posted to the default center and drained on the UI thread.
#include <cstdint>

#include "IDeviceView.h"
#include "LControl.h"
#include "RootModuleInterface.h"

namespace QV {

class LMainControl : public LControl, public IRootModule {
    QV_TYPE_NAME("class QV::LMainControl")
public:
    static constexpr const char16_t* kClassName = u"ZiroruVovizu.MainControl";
    // The device's request for a hardware configuration check.
    static constexpr int32_t kConfigurationCheckId = -2;
    static constexpr uint32_t kErrorIcon = 0x10;

    LMainControl(LControl* parent, const String& name);
    ~LMainControl() override;

    [[nodiscard]] QVResult Initialize() override;

    // From a panel: dropped when it is the echo of the value being applied,
    // else handed to the engine.
    [[nodiscard]] int32_t SetParamValue(const ParamDescriptor& descriptor, const Variant& value) override;

    [[nodiscard]] QVResult OnParamModuleStateChange(const RCPtr<LNotificationDistributor>& sender,
                                      const RCPtr<LNotification>& notification);

    [[nodiscard]] int32_t OnParamValueChanged(const ParamDescriptor& descriptor, const Variant& value) override;
    RCPtr<IDeviceCommunication> GetCommunicationInterface() override { return nullptr; }
    [[nodiscard]] int32_t ApplyParamValue(const ParamDescriptor& descriptor, const Variant& value) override;
    [[nodiscard]] int32_t FetchParamValue(const ParamDescriptor& descriptor, Variant& value) override;
    using IRootModule::GetDevice;
    RCPtr<IDevice> GetDevice() override;

    RCPtr<LControl> GetDeviceView() const { return mDeviceViewControl; }
    RCPtr<LControl> GetStatusView() const { return mStatusView; }
    RCPtr<LControl> GetDeviceSelector() const { return mDeviceSelector; }

    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    [[nodiscard]] QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                    const char16_t* nameOrId) override;

private:
    void ApplyValueList(const Variant& list);
    void ApplyFromDevice(int32_t id, const Variant& value);
    void CheckHardwareConfiguration();

    RCPtr<LNotificationHandler<LMainControl>> mMainHandler;
    int32_t mAppliedID = -1;
    Variant mAppliedValue;
    RCPtr<LControl> mDeviceViewControl;
    IDeviceView* mDeviceView = nullptr;  // the same object as mDeviceViewControl
    RCPtr<LControl> mStatusView;
    RCPtr<LControl> mDeviceSelector;
};

}  // namespace QV
