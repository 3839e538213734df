#pragma once
// The one object through which the editor reaches the keyboard's parameters:
// selects the device, keeps the connection state, gates every write on it,
// posts every change of the module tree to the UI, and watches the
// remote-device list on its worker thread while the UI asks for it.
#include <atomic>
#include <cstdint>
#include <memory>

#include "Array.h"
#include "Guid.h"
#include "LDeviceCommunicationInterface.h"
#include "LNotificationClient.h"
#include "LNotificationHandler.h"
#include "LPair.h"
#include "LParamCache.h"
#include "LRootModule.h"
#include "LThreadWorker.h"
#include "Mutex.h"
#include "ParamValues.h"
#include "RetriggerableThreader.h"

// The text form of a change-request pair: the id as an unsigned number.
QV::String ParamDescriptorToString(const QV::ParamDescriptor& descriptor);

using ParamChangePair = QV::LPair<QV::ParamDescriptor, QV::Variant, ParamDescriptorToString>;

class LRootModuleEngine : public QV::LNotificationClient, public QV::LThreadWorker {
    QV_TYPE_NAME("class LRootModuleEngine")
public:
    enum DeviceConnectionState : int32_t {
        kNotConnected = 0,
        kConnectionState1 = 1,  // never set
        kConnectionState2 = 2,  // never set
        kConnected = 3,
    };

    static constexpr uint32_t kCycleSleepMs = 1500;
    static constexpr uint32_t kPollTimeoutMs = 1500;
    static constexpr int32_t kPollsPerFullQuery = 8;
    static constexpr int32_t kStopPolls = 10000;

    // libraryPath: the device library to load instead of the one beside
    // the executable (tests).
    explicit LRootModuleEngine(const QV::String* libraryPath = nullptr);
    ~LRootModuleEngine() override;
    LRootModuleEngine(const LRootModuleEngine&) = delete;
    LRootModuleEngine& operator=(const LRootModuleEngine&) = delete;

    [[nodiscard]] int32_t Initialize(int32_t firstParamID);
    int32_t GetFirstParamID();
    [[nodiscard]] int32_t GetParamValue(const QV::ParamDescriptor& descriptor, QV::Variant& value);
    [[nodiscard]] int32_t GetParamValues(int32_t firstID, int32_t count, QV::Array<QV::ParamValue>& values,
                                         int32_t start);
    [[nodiscard]] int32_t SetParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value);
    [[nodiscard]] int32_t EnableDeviceScan(bool on);
    [[nodiscard]] int32_t RefreshRemoteDevices(QV::Array<QV::Variant>& devices);
    [[nodiscard]] int32_t SelectDevice(const QV::Variant& device);
    [[nodiscard]] int32_t DisconnectDevice();
    [[nodiscard]] int32_t FindDevices(QV::Array<QV::Variant>& devices);
    void UpdateConnectionState();
    bool IsSelectedDeviceConnected();
    // The selected keyboard's name from its info record; empty when none answers.
    QV::String GetSelectedDeviceName();
    // A device's name from its info record; empty when it does not answer.
    QV::String GetDeviceName(const QV::Variant& device);
    bool IsDeviceConnected(const QV::Variant& device);
    [[nodiscard]] int32_t StartWorker();
    bool WaitForWorkerStop();
    void StopWorkerIfIdle();
    [[nodiscard]] int32_t OnParamValuesChanged(const QV::IArray<QV::ParamValue>& changes);
    void PostParamValueChange(const QV::ParamDescriptor& descriptor, const QV::Variant& value);
    [[nodiscard]] QV::QVResult OnParamModuleChangeRequest(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                                          const QV::RCPtr<QV::LNotification>& notification);
    [[nodiscard]] int32_t PublishInitialValues(const QV::ParamDescriptors& descriptors);

    [[nodiscard]] QV::QVResult ReceiveNotification(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                                   const QV::RCPtr<QV::LNotification>& notification) override;
    [[nodiscard]] QV::QVResult UnregisterNotification(const QV::RCPtr<QV::LNotificationDistributor>& distributor,
                                                      const char16_t* nameOrId) override;
    [[nodiscard]] QV::QVResult Run(QV::RCPtr<QV::LRefCountedObject>& parameters) override;
    [[nodiscard]] QV::QVResult ReleaseInternalReferences() override;

    DeviceConnectionState GetConnectionState() const { return mConnectionState.load(); }
    // Connected, and the library took the device: writes then reach a keyboard,
    // not only the cache. What the status strip calls "connected".
    bool IsKeyboardConnected() const { return mKeyboardConnected.load(); }
    bool IsOffline() const { return mOffline.load(); }
    bool IsScanning() const { return mScanning.load(); }
    QV::RCPtr<LRootModule> GetRootModule() const { return mRoot; }

private:
    [[nodiscard]] static int32_t ChangeCallback(void* engine, const QV::IArray<QV::ParamValue>* changes);
    // Runs one scanning cycle of the worker.
    void RunScanCycle();
    void PostRemoteDeviceCount(uint32_t count);

    QV::RCPtr<QV::LNotificationHandler<LRootModuleEngine>> mHandler;
    std::atomic<bool> mInitialized{false};
    std::atomic<bool> mOffline{false};
    std::atomic<bool> mStopRequested{true};
    std::atomic<bool> mScanning{false};
    bool mFirstQueryDone = false;
    std::atomic<bool> mSelecting{false};
    int32_t mFirstQueryResult = 0;
    std::atomic<DeviceConnectionState> mConnectionState{kNotConnected};
    std::atomic<bool> mKeyboardConnected{false};
    QV::Array<QV::Variant> mRemoteDevices;
    QV::Variant mSelectedDevice;
    QV::RCPtr<LDeviceCommunicationInterface> mLink;
    QV::RCPtr<LParamCache> mCache;
    QV::RCPtr<LRootModule> mRoot;
    std::unique_ptr<QV::RetriggerableThreader> mWorker;
    QV::Mutex mLock;
    // Worker-thread state of the scanning cycle.
    int32_t mPollCount = 0;
    bool mFullQueryPending = false;
    std::unique_ptr<QV::String> mLibraryPath;
};

// The engine of the running editor, null when there is none.
QV::RCPtr<LRootModuleEngine> GetRootModuleEngine();
// Set by the application when it creates the engine, cleared at shutdown.
void SetRootModuleEngine(const QV::RCPtr<LRootModuleEngine>& engine);
