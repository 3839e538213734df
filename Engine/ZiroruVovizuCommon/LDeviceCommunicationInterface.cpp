#include "LDeviceCommunicationInterface.h"

#include <atomic>
#include <new>
#include <optional>

#include "Clock.h"
#include "DeviceControlClientInterface.h"
#include "LDeviceCommunicationThreadWorker.h"
#include "LEvent.h"
#include "LEventGatedThreader.h"
#include "LWrapper.h"
#include "Mutex.h"
#include "RCPtrQueue.h"
#include "RemoteDeviceList.h"

static_assert(LDeviceCommunicationInterface::kDeviceInfoSize == DeviceControlClient::kDeviceInfoSize);
static_assert(LDeviceCommunicationInterface::kConnectedFlagOffset == DeviceControlClient::kConnectedFlagOffset);

namespace {

using ValueSet = QV::LWrapper<QV::ParamValues>;

// The queue's lock: a framework mutex, in the form the queue takes.
class QueueLock {
public:
    void lock() { mMutex.Enter(); }
    void unlock() { mMutex.Leave(); }

private:
    QV::Mutex mMutex;
};

// Texts answered for -9 and -10 while no library is bound.
constexpr const char16_t* kLocalNames[] = {u"Corvane", u"Tarsel Preset Editor"};

const void* FilterData(const QV::Array<QV::Guid>& filters)
{
    return filters.GetCount() == 0 ? nullptr : filters.GetData();
}

}  // namespace

struct LDeviceCommunicationInterface::Record {
    explicit Record(const QV::String* path) : queue(256, &queueLock)
    {
        if (path) libraryPath = std::make_unique<QV::String>(*path);
    }

    QV::Mutex lock;  // guards device and connected
    QV::RCPtr<QV::LEventGatedThreader> threader;
    QV::RCPtr<QV::LEvent> event;
    QueueLock queueLock;
    QV::RCPtrQueue<ValueSet, 256, QueueLock> queue;
    QV::Mutex deliveryLock;
    QV::RCPtr<LDeviceCommunicationThreadWorker> worker;
    std::unique_ptr<QV::DeviceControlClientInterface> binding;
    QV::Variant device;
    // The device of the last connection the library accepted. It can differ
    // from device after a refused connection, and must be disconnected too
    // before the interface goes.
    std::optional<QV::Variant> connected;
    // Written on the UI thread, read on the device-communication thread.
    std::atomic<bool> deliveryEnabled{false};
    std::atomic<DeviceCommunicationReceiver*> receiver{nullptr};
    LDeviceCommunicationInterface* owner = nullptr;
    std::unique_ptr<QV::String> libraryPath;  // null: beside the executable
};

LDeviceCommunicationInterface::LDeviceCommunicationInterface(const QV::String* libraryPath)
    : mRecord(std::make_unique<Record>(libraryPath))
{
    mRecord->owner = this;
    mRecord->worker = new LDeviceCommunicationThreadWorker();
    mRecord->event = QV::LEvent::Create();
    mRecord->threader = new QV::LEventGatedThreader(mRecord->event, mRecord->worker,
                                                    QV::RCPtr<QV::LRefCountedObject>(this), 0);
    // The thread's parameters hold this interface: a cycle that
    // ReleaseInternalReferences breaks.
    AddInternalReference();
}

LDeviceCommunicationInterface::~LDeviceCommunicationInterface()
{
    // Normally gone already (ReleaseInternalReferences); its thread reads
    // everything below.
    mRecord->threader.Reset();
    SetDeliveryEnabled(false);
    if (mRecord->binding) {
        const QV::Variant device = CopyDevice();
        // Shutting down: a device that is already gone is no error here.
        (void)mRecord->binding->DisconnectDevice(&device);
        if (mRecord->connected && !(*mRecord->connected == device)) {
            (void)mRecord->binding->DisconnectDevice(&*mRecord->connected);
        }
        // Calls DVCL_ReleaseAll and unloads: no callback can follow.
        mRecord->binding.reset();
    }
    mRecord->receiver = nullptr;
}

QV::QVResult LDeviceCommunicationInterface::ReleaseInternalReferences()
{
    if (!mRecord->threader.IsNull()) {
        mRecord->threader.Reset();  // stops the thread, which drops its reference
        RemoveInternalReference();
    }
    return LRefCountedObject::ReleaseInternalReferences();
}

QV::Variant LDeviceCommunicationInterface::CopyDevice()
{
    QV::Mutex::Lock hold(mRecord->lock);
    return mRecord->device;
}

// ---- library and identity --------------------------------------------------

int32_t LDeviceCommunicationInterface::LoadClientLibrary()
{
    if (mRecord->binding) return 1;
    mRecord->binding.reset(new (std::nothrow) QV::DeviceControlClientInterface(mRecord->libraryPath.get()));
    return mRecord->binding ? 0 : QV::E_FAIL;
}

bool LDeviceCommunicationInterface::IsOnline() { return true; }

bool LDeviceCommunicationInterface::ReportSelection(int64_t value)
{
    DeviceCommunicationReceiver* receiver = mRecord->receiver;
    if (!receiver) return false;
    QV::Mutex::Lock hold(mRecord->lock);
    const bool online = IsOnline();
    const QV::Variant pair[2] = {QV::Variant(value), QV::Variant(online)};
    QV::Variant selection;
    selection.SetArray(pair, 2);
    const QV::Variant record[3] = {selection, QV::Variant(kSelectionId), QV::Variant()};
    QV::Variant packed;
    packed.SetArray(record, 3);
    QV::ParamValues values;
    values.SetArray(&packed, 1);
    (void)receiver->ReceiveParamValues(values);  // a receiver that refuses has nothing to undo
    return online;
}

void LDeviceCommunicationInterface::Synchronize() { QV::Mutex::Lock hold(mRecord->lock); }

void LDeviceCommunicationInterface::Reserved() {}

int32_t LDeviceCommunicationInterface::FindDevices(const QV::Array<QV::Guid>&, QV::Array<QV::Variant>& devices)
{
    (void)devices.SetCount(1);  // one slot always fits
    devices.GetItemPtr(0)->Clear();
    return 0;
}

int32_t LDeviceCommunicationInterface::WaitForRemoteDeviceListChange(const QV::Array<QV::Guid>& filters,
                                                                      QV::Array<QV::Variant>& devices,
                                                                      uint32_t timeoutMs)
{
    if (!mRecord->binding) return kNoBinding;
    const QV::Array<QV::Variant> before = devices;
    for (uint32_t elapsed = 0;; elapsed += kPollIntervalMs) {
        QV::Variant result;
        const int32_t r = mRecord->binding->FindRemoteDevices(FilterData(filters),
                                                              static_cast<int32_t>(filters.GetCount()), &result, 0);
        if (r < 0) return QV::E_FAIL;
        RemoteDeviceList::Read(result, devices);
        if (!RemoteDeviceList::IsSame(devices, before)) return 0;
        if (elapsed >= timeoutMs) return 1;
        Platform::Clock::SleepMs(kPollIntervalMs);
    }
}

int32_t LDeviceCommunicationInterface::FindRemoteDevices(const QV::Array<QV::Guid>& filters,
                                                         QV::Array<QV::Variant>& devices)
{
    if (!mRecord->binding) return kNoBinding;
    QV::Variant result;
    const int32_t r = mRecord->binding->FindRemoteDevices(FilterData(filters),
                                                          static_cast<int32_t>(filters.GetCount()), &result, 1);
    if (r >= 0) RemoteDeviceList::Read(result, devices);
    return r;
}

int32_t LDeviceCommunicationInterface::ConnectDevice(const QV::Variant& device)
{
    if (!mRecord->binding) return kNoBinding;
    {
        QV::Mutex::Lock hold(mRecord->lock);
        mRecord->device = device;
    }
    const int32_t result = mRecord->binding->ConnectDevice(&device, &OnDeviceValueSet, this);
    if (result >= 0) {
        QV::Mutex::Lock hold(mRecord->lock);
        mRecord->connected = device;
    }
    return result;
}

// ---- device calls ----------------------------------------------------------

int32_t LDeviceCommunicationInterface::RequestParamRanges(const QV::ParamRanges* ranges)
{
    if (!mRecord->binding) return kNoBinding;
    const QV::Variant device = CopyDevice();
    return mRecord->binding->RequestParamRanges(&device, ranges);
}

int32_t LDeviceCommunicationInterface::RequestParamValues(const QV::ParamDescriptors* descriptors)
{
    if (!mRecord->binding) return kNoBinding;
    const QV::Variant device = CopyDevice();
    return mRecord->binding->RequestParamValues(&device, descriptors);
}

int32_t LDeviceCommunicationInterface::RequestParamValueList(const QV::ParamDescriptor* descriptor)
{
    if (!mRecord->binding) return kNoBinding;
    const QV::Variant device = CopyDevice();
    return mRecord->binding->RequestParamValues(&device, descriptor);
}

int32_t LDeviceCommunicationInterface::GetParamRanges(int32_t a, int32_t b)
{
    if (!mRecord->binding) return kNoBinding;
    const QV::Variant device = CopyDevice();
    return mRecord->binding->GetParamRanges(&device, a, b);
}

int32_t LDeviceCommunicationInterface::GetParamValues(int32_t a, int32_t b)
{
    if (!mRecord->binding) return kNoBinding;
    const QV::Variant device = CopyDevice();
    return mRecord->binding->GetParamValues(&device, a, b);
}

int32_t LDeviceCommunicationInterface::GetParamValue(const QV::ParamDescriptor* descriptor, QV::Variant& value)
{
    if (!mRecord->binding) {
        const int32_t id = descriptor ? descriptor->id : 0;
        if (id == kOnlineId) {
            value.SetBool(IsOnline());
            return 0;
        }
        if (id == kDeviceParamId) return GetDeviceParam(value);
        if (id == kCompanyNameId || id == kProductNameId) {
            int32_t index = 0;
            (void)GetDeviceIndex(index);  // without a device the index stays 0
            if (id == kProductNameId) ++index;
            value.SetString(QV::String(kLocalNames[index]).ToUtf8().c_str());
            return 0;
        }
        return QV::E_FAIL;
    }
    const QV::Variant device = CopyDevice();
    return mRecord->binding->GetParamValue(&device, descriptor, &value);
}

int32_t LDeviceCommunicationInterface::SetParamValue(const QV::ParamDescriptor* descriptor, const QV::Variant& value)
{
    if (!mRecord->receiver || !descriptor) return QV::E_FAIL;
    const int32_t id = descriptor->id;
    if (id == kSelectionId) return ReportSelection(value.GetAsInt64()) ? 0 : 1;
    if (id >= kFirstRefusedId && id <= kLastRefusedId) return QV::E_FAIL;
    if (mRecord->binding) {
        const QV::Variant device = CopyDevice();
        return mRecord->binding->SetParamValue(&device, descriptor, &value);
    }
    return id == kDeviceParamId ? SetDeviceParam(value) : QV::E_FAIL;
}

int32_t LDeviceCommunicationInterface::SetParamValues(int32_t a)
{
    if (!mRecord->binding) return kNoBinding;
    const QV::Variant device = CopyDevice();
    return mRecord->binding->SetParamValues(&device, a);
}

bool LDeviceCommunicationInterface::IsReady() { return true; }

int32_t LDeviceCommunicationInterface::GetConnectedDevice(QV::Variant& device)
{
    if (!mRecord->binding) return kNoBinding;
    device = CopyDevice();
    return IsReady() ? 0 : -3;
}

int32_t LDeviceCommunicationInterface::DisconnectDevice()
{
    if (!mRecord->binding) return kNoBinding;
    const QV::Variant device = CopyDevice();
    return mRecord->binding->DisconnectDevice(&device);
}

int32_t LDeviceCommunicationInterface::GetDeviceInfo(const QV::Variant* device, uint8_t* record)
{
    if (!mRecord->binding) return kNoBinding;
    return mRecord->binding->GetDeviceInfo(device, record);
}

int32_t LDeviceCommunicationInterface::GetDeviceParam(QV::Variant& value)
{
    if (!mRecord->binding) return kNoBinding;
    const QV::ParamDescriptor descriptor{kDeviceParamId, QV::Variant()};
    const QV::Variant device = CopyDevice();
    return mRecord->binding->GetParamValue(&device, &descriptor, &value);
}

int32_t LDeviceCommunicationInterface::SetDeviceParam(const QV::Variant& value)
{
    if (!mRecord->binding) return kNoBinding;
    const QV::ParamDescriptor descriptor{kDeviceParamId, QV::Variant()};
    const QV::Variant device = CopyDevice();
    return mRecord->binding->SetParamValue(&device, &descriptor, &value);
}

int32_t LDeviceCommunicationInterface::GetDeviceIndex(int32_t& index)
{
    index = 0;
    return 0;
}

// ---- inbound value sets ----------------------------------------------------

void LDeviceCommunicationInterface::SetReceiver(DeviceCommunicationReceiver* receiver)
{
    mRecord->receiver = receiver;
}

void LDeviceCommunicationInterface::SetDeliveryEnabled(bool enabled)
{
    mRecord->deliveryEnabled = enabled;
    if (!enabled) QV::Mutex::Lock wait(mRecord->deliveryLock);
}

uint32_t LDeviceCommunicationInterface::GetQueuedValueSetCount() const { return mRecord->queue.GetCount(); }

void LDeviceCommunicationInterface::OnDeviceValueSet(void* context, int32_t, const QV::ParamValues* values)
{
    auto* self = static_cast<LDeviceCommunicationInterface*>(context);
    if (!self || !values) return;
    try {
        const QV::RCPtr<ValueSet> wrapped(new ValueSet(*values));
        if (QV::Succeeded(self->mRecord->queue.Enqueue(wrapped))) self->mRecord->event->Set();
    } catch (...) {
        // Nothing may escape into the library's thread.
    }
}

int32_t LDeviceCommunicationInterface::DeliverQueuedValueSets()
{
    QV::Mutex::Lock hold(mRecord->deliveryLock);
    while (mRecord->queue.GetCount() > 0) {
        QV::RCPtr<ValueSet> values;
        mRecord->queue.Dequeue(values);
        DeviceCommunicationReceiver* receiver = mRecord->receiver;
        if (mRecord->deliveryEnabled && receiver && values) (void)receiver->ReceiveParamValues(*values);  // nothing to undo
    }
    return 0;
}
