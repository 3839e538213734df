#pragma once
// The editor's one door to the keyboard through the device-control client
// library: remembers the current device, turns requests into library calls
// for it, and owns the inbound path, on which value sets from the library's
// thread are queued (never dropped) and delivered to the receiver on the
// device-communication thread.
#include <cstdint>
#include <memory>

#include "Array.h"
#include "DeviceCommunicationReceiver.h"
#include "Guid.h"
#include "IDeviceCommunication.h"
#include "ParamDescriptor.h"
#include "ParamValues.h"
#include "RCPtr.h"
#include "RefCountedObject.h"
#include "StringT.h"

class LDeviceCommunicationInterface : public IDeviceCommunication {
    QV_TYPE_NAME("class LDeviceCommunicationInterface")

public:
    // Ids with a meaning of their own on this interface.
    static constexpr int32_t kOnlineId = -2;
    static constexpr int32_t kSelectionId = -4;
    static constexpr int32_t kDeviceParamId = -8;
    static constexpr int32_t kCompanyNameId = -9;
    static constexpr int32_t kProductNameId = -10;
    static constexpr int32_t kFirstRefusedId = -242;
    static constexpr int32_t kLastRefusedId = -240;

    // The device-info record of GetDeviceInfo and its connected flag.
    static constexpr uint32_t kDeviceInfoSize = 256;
    static constexpr uint32_t kConnectedFlagOffset = 252;

    static constexpr int32_t kNoBinding = -1;
    static constexpr uint32_t kPollIntervalMs = 250;

    // Starts the device-communication thread. The library is loaded later,
    // by LoadClientLibrary: beside the executable, or from libraryPath when
    // one is given (tests).
    explicit LDeviceCommunicationInterface(const QV::String* libraryPath = nullptr);
    ~LDeviceCommunicationInterface() override;

    LDeviceCommunicationInterface(const LDeviceCommunicationInterface&) = delete;
    LDeviceCommunicationInterface& operator=(const LDeviceCommunicationInterface&) = delete;

    // 1 when the binding exists already, 0 when made, E_FAIL when it cannot be.
    [[nodiscard]] virtual int32_t LoadClientLibrary();
    virtual bool IsOnline();
    // Echoes a device selection to the receiver as the value set
    // {-4: [value, IsOnline()]}; false without a receiver.
    virtual bool ReportSelection(int64_t value);
    virtual void Synchronize();
    virtual void Reserved();
    // One empty identifier: the keyboard on this computer.
    [[nodiscard]] virtual int32_t FindDevices(const QV::Array<QV::Guid>& filters, QV::Array<QV::Variant>& devices);
    // 0 when the list changed, 1 when not within timeoutMs, E_FAIL on a
    // library failure, -1 without binding. Polls every 250 ms.
    [[nodiscard]] virtual int32_t WaitForRemoteDeviceListChange(const QV::Array<QV::Guid>& filters,
                                                                QV::Array<QV::Variant>& devices, uint32_t timeoutMs);
    [[nodiscard]] virtual int32_t FindRemoteDevices(const QV::Array<QV::Guid>& filters,
                                                    QV::Array<QV::Variant>& devices);
    [[nodiscard]] virtual int32_t ConnectDevice(const QV::Variant& device);
    [[nodiscard]] virtual int32_t RequestParamRanges(const QV::ParamRanges* ranges);
    [[nodiscard]] virtual int32_t RequestParamValues(const QV::ParamDescriptors* descriptors);
    [[nodiscard]] virtual int32_t RequestParamValueList(const QV::ParamDescriptor* descriptor);
    [[nodiscard]] virtual int32_t GetParamRanges(int32_t a, int32_t b);
    [[nodiscard]] virtual int32_t GetParamValues(int32_t a, int32_t b);
    [[nodiscard]] virtual int32_t GetParamValue(const QV::ParamDescriptor* descriptor, QV::Variant& value);
    [[nodiscard]] int32_t SetParamValue(const QV::ParamDescriptor* descriptor, const QV::Variant& value) override;
    [[nodiscard]] virtual int32_t SetParamValues(int32_t a);
    virtual bool IsReady();
    [[nodiscard]] virtual int32_t GetConnectedDevice(QV::Variant& device);
    [[nodiscard]] virtual int32_t DisconnectDevice();
    // Asks about the given device, not the current one.
    [[nodiscard]] virtual int32_t GetDeviceInfo(const QV::Variant* device, uint8_t* record);
    [[nodiscard]] virtual int32_t GetDeviceParam(QV::Variant& value);
    [[nodiscard]] virtual int32_t SetDeviceParam(const QV::Variant& value);
    [[nodiscard]] virtual int32_t GetDeviceIndex(int32_t& index);

    void SetReceiver(DeviceCommunicationReceiver* receiver);
    // Switching delivery off waits for a delivery pass in progress; never
    // call it while holding the receiver's store lock.
    void SetDeliveryEnabled(bool enabled);

    // Value sets received and not yet taken by the thread (for tests).
    uint32_t GetQueuedValueSetCount() const;

    // The library's value-set callback; runs on the library's thread.
    static void OnDeviceValueSet(void* context, int32_t reserved, const QV::ParamValues* values);

    // Stops the device-communication thread when only its own reference is left.
    [[nodiscard]] QV::QVResult ReleaseInternalReferences() override;

    // The device the link talks to; empty when none.
    QV::Variant GetDevice() { return CopyDevice(); }

private:
    friend class LDeviceCommunicationThreadWorker;
    struct Record;

    // The device-communication thread's pass: delivers every queued set.
    int32_t DeliverQueuedValueSets();
    // Copies the current device identifier under the lock.
    QV::Variant CopyDevice();

    std::unique_ptr<Record> mRecord;
};
