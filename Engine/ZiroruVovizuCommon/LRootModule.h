#pragma once
// The top of the engine's module tree: routes each change to its module, to
// the keyboard or both, keeps every value in the parameter cache, and reports
// real changes through the change callback. Calls from the editor and value
// sets from the keyboard are serialised by the store lock.
#include <atomic>
#include <cstdint>
#include <memory>

#include "Array.h"
#include "DeviceCommunicationReceiver.h"
#include "DeviceInterface.h"
#include "LDeviceCommunicationInterface.h"
#include "LParamCache.h"
#include "Mutex.h"
#include "RootModuleInterface.h"

class LRootModule final : public IRootModule, public DeviceCommunicationReceiver {
    QV_TYPE_NAME("class LRootModule")
public:
    // Called with the user data and the changed values; runs on the thread
    // that made the change, inside the store lock.
    using ChangeCallback = int32_t (*)(void* userData, const QV::IArray<QV::ParamValue>* changes);

    static constexpr int32_t kSelectionId = -4;
    static constexpr int32_t kTreeHookId = -2;
    static constexpr int32_t kDeviceParamId = -8;

    explicit LRootModule(bool offline);
    ~LRootModule() override;
    // Makes the root with its device tree.
    static QV::RCPtr<LRootModule> Create(bool offline);

    int32_t Initialize(ChangeCallback callback, void* userData, const QV::RCPtr<LParamCache>& cache,
                       const QV::RCPtr<LDeviceCommunicationInterface>& link, int32_t firstParamID);
    int32_t ConnectDevice(const QV::Variant& device);
    int32_t StopReceiving();
    bool IsOffline() const { return mOffline.load(); }

    int32_t OnParamValueChanged(const QV::ParamDescriptor& descriptor, const QV::Variant& value) override;
    QV::RCPtr<IDeviceCommunication> GetCommunicationInterface() override { return mLink; }
    int32_t ApplyParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value) override;
    int32_t FetchParamValue(const QV::ParamDescriptor& descriptor, QV::Variant& value) override;
    using IRootModule::GetDevice;
    QV::RCPtr<IDevice> GetDevice() override { return mDevice; }

    int32_t SetParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value) override;
    QV::Variant GetParamValue(int32_t id) override;
    int32_t StoreParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value) override;
    QV::Variant GetStoredParamValue(const QV::ParamDescriptor& descriptor) override;

    int32_t ReceiveParamValues(const QV::ParamValues& values) override;
    int32_t Reserved(int32_t, int32_t, int32_t) override { return QV::E_FAIL; }

    QV::RCPtr<LParamCache> GetParamCache() { return mCache; }
    int32_t InvokeChangeCallback(const QV::IArray<QV::ParamValue>* changes);
    virtual void CreateChildModules();

private:
    struct ParamStore {
        QV::Mutex lock;
        QV::Array<QV::ParamValue> changes;  // always exactly one element
    };

    void LoadDefaults();
    // The cache key of a descriptor: its offset from the first id.
    QV::ParamDescriptor CacheKey(const QV::ParamDescriptor& descriptor) const;

    std::atomic<bool> mOffline;
    QV::RCPtr<IDevice> mDevice;
    ChangeCallback mCallback = nullptr;
    void* mUserData = nullptr;
    QV::RCPtr<LDeviceCommunicationInterface> mLink;
    QV::RCPtr<LParamCache> mCache;
    std::unique_ptr<ParamStore> mStore;
};
