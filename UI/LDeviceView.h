#pragma once
// The keyboard's view: the edit panels as the device module's parts, and
// the File and Help commands that move whole presets between the keyboard,
// preset files and the screen.
#include "DeviceInterface.h"
#include "IDeviceView.h"
#include "LMidiManager.h"
#include "LPanel.h"
#include "LPresetManager.h"
#include "OwnHandler.h"

class LDeviceView : public QV::LPanel, public IDevice, public QV::IDeviceView {
    QV_TYPE_NAME("class LDeviceView")
public:
    LDeviceView(QV::LControl* parent, const QV::String& name);
    ~LDeviceView() override;

    [[nodiscard]] QV::QVResult Initialize() override;
    QV::QVResult ReleaseInternalReferences() override;

    // Menu rows and hot keys post their commands to the window's queue, which
    // exists only once the view's tree is in its window: the application
    // points the view at it then.
    void ListenForCommands(const QV::RCPtr<QV::LNotificationDistributor>& source);
    // The application hands its MIDI manager over once the window stands.
    void SetMidiManager(const QV::RCPtr<QV::LMidiManager>& manager) { mMidiManager = manager; }
    const QV::RCPtr<QV::LPresetManager>& GetPresetManager() const { return mPresetManager; }

    // The menu commands; each reports its outcome in a message box.
    void SendPresetToDevice();
    void GetPresetFromDevice();
    void LoadPresetFromFile();
    void SavePresetToFile();
    void ShowAbout();
    void RequestExit();

    // ---- IDeviceView ----
    void SetEngine(QV::IParamEngine* engine, QV::QVResult result) override;
    void SetDeviceConfiguration(const QV::Variant& configuration) override;
    QV::RCPtr<IDevice> GetDeviceModule() override { return QV::RCPtr<IDevice>(this); }

    // ---- IDevice: the panels found by name; null when the skin lacks one ----
    using IDevice::GetAbsoluteController;
    using IDevice::GetFootSwitch;
    using IDevice::GetGlobalChannel;
    using IDevice::GetHardwareButtons;
    using IDevice::GetKeybed;
    using IDevice::GetPitchWheel;
    using IDevice::GetWheelController;
    using IDevice::GetZone;
    QV::RCPtr<IGlobalChannel> GetGlobalChannel() override;
    QV::RCPtr<IKeybed> GetKeybed() override;
    QV::RCPtr<IZone> GetZone(int32_t index) override;
    QV::RCPtr<IAbsoluteController> GetWheelController() override;
    QV::RCPtr<IPitchWheel> GetPitchWheel() override;
    QV::RCPtr<IAbsoluteController> GetAbsoluteController(int32_t index) override;
    QV::RCPtr<IHardwareButtons> GetHardwareButtons() override;
    QV::RCPtr<IFootSwitch> GetFootSwitch(int32_t index) override;

    [[nodiscard]] QV::QVResult ReceiveNotification(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                     const QV::RCPtr<QV::LNotification>& notification) override;
    [[nodiscard]] QV::QVResult UnregisterNotification(const QV::RCPtr<QV::LNotificationDistributor>& distributor,
                                        const char16_t* nameOrId) override;

private:
    [[nodiscard]] QV::QVResult OnMenuCommand(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                               const QV::RCPtr<QV::LNotification>& notification);

    QV::RCPtr<QV::LNotificationHandler<LDeviceView>> mViewHandler;
    QV::RCPtr<QV::LPresetManager> mPresetManager;
    QV::RCPtr<QV::LMidiManager> mMidiManager;
};
