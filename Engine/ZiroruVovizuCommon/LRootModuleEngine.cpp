#include "LRootModuleEngine.h"

#include <mutex>

#include "Clock.h"
#include "LHolder.h"
#include "LNotificationCenterManager.h"
#include "LWrapper.h"
#include "NumberText.h"
#include "PackedList.h"
#include "RemoteDeviceList.h"

namespace {

constexpr const char16_t* kStateChange = u"NID_DEVICE_CONNECTION_STATE_CHANGE";
constexpr const char16_t* kRemoteListChange = u"NID_REMOTE_DEVICE_LIST_CHANGE";
constexpr const char16_t* kModuleStateChange = u"NID_PARAM_MODULE_STATE_CHANGE";
constexpr const char16_t* kModuleChangeRequest = u"NID_PARAM_MODULE_CHANGE_REQ";

void Post(const char16_t* name, const QV::RCPtr<QV::LRefCountedObject>& payload)
{
    if (QV::RCPtr<QV::LNotificationCenter> center = QV::GetDefaultNotificationCenter()) {
        // Only a shut-down center refuses: nobody is left to tell.
        (void)center->PostNamedNotification(name, payload);
    }
}

const QV::Array<QV::Guid>& NoFilter()
{
    static const QV::Array<QV::Guid> empty;
    return empty;
}

std::mutex gEngineLock;
QV::RCPtr<LRootModuleEngine>& EngineSlot()
{
    static QV::RCPtr<LRootModuleEngine>* slot = new QV::RCPtr<LRootModuleEngine>();
    return *slot;
}

}  // namespace

QV::String ParamDescriptorToString(const QV::ParamDescriptor& descriptor)
{
    return QV::FixedPointToString(static_cast<unsigned>(descriptor.id), -1);
}

QV::RCPtr<LRootModuleEngine> GetRootModuleEngine()
{
    std::lock_guard<std::mutex> lock(gEngineLock);
    return EngineSlot();
}

void SetRootModuleEngine(const QV::RCPtr<LRootModuleEngine>& engine)
{
    QV::RCPtr<LRootModuleEngine> previous;
    {
        std::lock_guard<std::mutex> lock(gEngineLock);
        previous = EngineSlot();
        EngineSlot() = engine;
    }
}

LRootModuleEngine::LRootModuleEngine(const QV::String* libraryPath)
    : mWorker(std::make_unique<QV::RetriggerableThreader>()),
      mLibraryPath(libraryPath ? std::make_unique<QV::String>(*libraryPath) : nullptr)
{
}

LRootModuleEngine::~LRootModuleEngine()
{
    if (mRoot) (void)mRoot->StopReceiving();  // nothing to do about a failure at the end
    mWorker.reset();
    mRoot = nullptr;
    mCache = nullptr;
    mLink = nullptr;
    mHandler = nullptr;
}

QV::QVResult LRootModuleEngine::ReleaseInternalReferences()
{
    WaitForWorkerStop();
    UnregisterAllNotifications();
    return QV::LRefCountedObject::ReleaseInternalReferences();
}

int32_t LRootModuleEngine::Initialize(int32_t firstParamID)
{
    mHandler = new QV::LNotificationHandler<LRootModuleEngine>(this);
    const QV::QVResult registered = mHandler->RegisterHandler(
        &LRootModuleEngine::OnParamModuleChangeRequest, QV::GetDefaultNotificationCenter(), kModuleChangeRequest);
    if (registered < 0) {
        QV::ThrowFailedResult(registered, "LRootModuleEngine::Initialize",
                              "Engine\\ZiroruVovizuCommon\\RootModuleEngine", 237);
    }
    mLink = new LDeviceCommunicationInterface(mLibraryPath.get());
    mCache = new LParamCache(IRootModule::kParamCount);

    QV::Array<QV::Variant> devices;
    mOffline = mLink->LoadClientLibrary() < 0;
    if (!mOffline) (void)FindDevices(devices);  // a failed scan leaves the list empty

    mRoot = LRootModule::Create(mOffline);
    // An offline root still answers with its defaults.
    (void)mRoot->Initialize(&LRootModuleEngine::ChangeCallback, this, mCache, mLink, firstParamID);
    mInitialized = true;

    std::vector<QV::Variant> packed;
    for (int32_t i = 0; i < IRootModule::kParamCount; ++i) {
        packed.push_back(PackedList::PackDescriptor(QV::ParamDescriptor{mRoot->GetFirstParamID() + i, {}}));
    }
    QV::ParamDescriptors descriptors;
    descriptors.SetArray(packed.data(), static_cast<uint32_t>(packed.size()));
    (void)PublishInitialValues(descriptors);  // receivers' results are not used

    // A device that cannot be selected leaves the engine not connected.
    if (!mOffline && devices.GetCount() > 0) (void)SelectDevice(*devices.GetItemPtr(0));
    return 0;
}

int32_t LRootModuleEngine::GetFirstParamID()
{
    return mRoot ? mRoot->GetFirstParamID() : 0;
}

int32_t LRootModuleEngine::GetParamValue(const QV::ParamDescriptor& descriptor, QV::Variant& value)
{
    return mRoot ? mRoot->FetchParamValue(descriptor, value) : QV::E_FAIL;
}

int32_t LRootModuleEngine::GetParamValues(int32_t firstID, int32_t count, QV::Array<QV::ParamValue>& values,
                                          int32_t start)
{
    if (start < 0) {
        (void)values.SetCount(0);  // shrinking cannot fail
        start = 0;
    }
    const uint32_t needed = static_cast<uint32_t>(start) + static_cast<uint32_t>(count < 0 ? 0 : count);
    if (values.GetCount() < needed && QV::Failed(values.SetCount(needed))) return QV::E_FAIL;
    for (int32_t i = 0; i < count; ++i) {
        QV::ParamValue& entry = *values.GetItemPtr(static_cast<uint32_t>(start + i));
        entry.descriptor = QV::ParamDescriptor{firstID + i, {}};
        (void)GetParamValue(entry.descriptor, entry.value);  // a value not read stays empty
    }
    return 0;
}

int32_t LRootModuleEngine::SetParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value)
{
    if (mConnectionState.load() != kConnected || !mRoot) return QV::E_FAIL;
    const int32_t result = mRoot->ApplyParamValue(descriptor, value);
    if (result < 0) UpdateConnectionState();
    return result;
}

QV::QVResult LRootModuleEngine::OnParamModuleChangeRequest(const QV::RCPtr<QV::LNotificationDistributor>&,
                                                           const QV::RCPtr<QV::LNotification>& notification)
{
    const QV::RCPtr<ParamChangePair> pair = QV::RCPtr<ParamChangePair>::DynamicCast(notification->GetPayload());
    if (pair && mConnectionState.load() == kConnected && mRoot) {
        if (mRoot->ApplyParamValue(pair->GetKey(), pair->GetValue()) < 0) UpdateConnectionState();
    }
    return 1;
}

int32_t LRootModuleEngine::FindDevices(QV::Array<QV::Variant>& devices)
{
    if (mLink) (void)mLink->FindDevices(NoFilter(), devices);  // a failed scan leaves the list empty
    return 0;
}

int32_t LRootModuleEngine::SelectDevice(const QV::Variant& device)
{
    mSelecting = true;
    (void)DisconnectDevice();  // the old device may be gone already
    int32_t result;
    bool startWorker = false;
    {
        QV::Mutex::Lock lock(mLock);
        result = mRoot ? mRoot->ConnectDevice(device) : -1;
        if (result >= 0) {
            mSelectedDevice = device;
            startWorker = !device.IsEmpty() && IsDeviceConnected(device);
        } else {
            mSelectedDevice.Clear();
        }
    }
    // Started outside the lock: a restart waits for the old run, which
    // needs the lock for its connection test.
    // A worker that does not start leaves the state to the next selection.
    if (startWorker) (void)StartWorker();
    mSelecting = false;
    UpdateConnectionState();
    StopWorkerIfIdle();
    return result;
}

int32_t LRootModuleEngine::DisconnectDevice()
{
    int32_t result;
    {
        QV::Mutex::Lock lock(mLock);
        mSelectedDevice.Clear();
        result = mLink ? mLink->DisconnectDevice() : -1;
    }
    if (!mSelecting) {
        UpdateConnectionState();
        StopWorkerIfIdle();
    }
    return result;
}

void LRootModuleEngine::UpdateConnectionState()
{
    QV::Mutex::Lock lock(mLock);
    const DeviceConnectionState state = (mLink && mLink->IsReady()) ? kConnected : kNotConnected;
    // The state alone says "connected" even when the connection was refused
    // and edits go only to the cache; listeners also hear when that changes.
    const bool keyboard = state == kConnected && mRoot && !mRoot->IsOffline();
    if (state == mConnectionState.load() && keyboard == mKeyboardConnected.load()) return;
    mConnectionState = state;
    mKeyboardConnected = keyboard;
    Post(kStateChange, QV::RCPtr<QV::LRefCountedObject>(new QV::LHolder<DeviceConnectionState>(state)));
}

bool LRootModuleEngine::IsDeviceConnected(const QV::Variant& device)
{
    uint8_t record[256] = {};
    return mLink && mLink->GetDeviceInfo(&device, record) >= 0 && record[252] != 0;
}

bool LRootModuleEngine::IsSelectedDeviceConnected()
{
    QV::Mutex::Lock lock(mLock);
    return !mSelectedDevice.IsEmpty() && IsDeviceConnected(mSelectedDevice);
}

QV::String LRootModuleEngine::GetSelectedDeviceName()
{
    QV::Mutex::Lock lock(mLock);
    if (!mLink) return {};
    // A device the link connected to on its own counts as the selected one.
    return GetDeviceName(mSelectedDevice.IsEmpty() ? mLink->GetDevice() : mSelectedDevice);
}

QV::String LRootModuleEngine::GetDeviceName(const QV::Variant& device)
{
    uint8_t record[LDeviceCommunicationInterface::kDeviceInfoSize] = {};
    if (!mLink || mLink->GetDeviceInfo(&device, record) < 0) return {};
    // The name leads the record as narrow text, ended by a NUL before the flags.
    std::string name;
    for (uint32_t i = 0; i < LDeviceCommunicationInterface::kConnectedFlagOffset && record[i] != 0; ++i) {
        name.push_back(static_cast<char>(record[i]));
    }
    return QV::String(name.c_str());
}

int32_t LRootModuleEngine::StartWorker()
{
    if (mWorker->IsBusy()) {
        if (!mStopRequested) return 1;
        if (!WaitForWorkerStop()) return QV::E_FAIL;
    }
    mStopRequested = false;
    return mWorker->Trigger(QV::RCPtr<QV::LThreadWorker>(this), nullptr, 0);
}

bool LRootModuleEngine::WaitForWorkerStop()
{
    if (!mWorker || !mWorker->IsBusy()) return true;
    mStopRequested = true;
    for (int32_t i = 0; i < kStopPolls; ++i) {
        if (!mWorker->IsBusy()) return true;
        Platform::Clock::SleepMs(1);
    }
    return !mWorker->IsBusy();
}

void LRootModuleEngine::StopWorkerIfIdle()
{
    if (!mWorker->IsBusy() || mStopRequested || mScanning || mSelecting) return;
    const DeviceConnectionState state = mConnectionState.load();
    if (state == kNotConnected || (state == kConnected && !IsSelectedDeviceConnected())) mStopRequested = true;
}

int32_t LRootModuleEngine::EnableDeviceScan(bool on)
{
    if (on == mScanning.load()) return 0;
    mScanning = on;
    if (!on) {
        StopWorkerIfIdle();
        return 0;
    }
    if (!mFirstQueryDone) {
        QV::Array<QV::Variant> discarded;
        mFirstQueryResult = mLink ? mLink->WaitForRemoteDeviceListChange(NoFilter(), discarded, 0) : -1;
        mFirstQueryDone = true;
    }
    if (mFirstQueryResult < 0) {
        mScanning = false;
        return mFirstQueryResult;
    }
    (void)StartWorker();  // scanning resumes with the next start
    return mFirstQueryResult;
}

int32_t LRootModuleEngine::RefreshRemoteDevices(QV::Array<QV::Variant>& devices)
{
    if (mScanning) {
        QV::Mutex::Lock lock(mLock);
        devices = mRemoteDevices;
        return 0;
    }
    QV::Array<QV::Variant> fresh;
    const int32_t result = mLink ? mLink->WaitForRemoteDeviceListChange(NoFilter(), fresh, 0) : -1;
    QV::Mutex::Lock lock(mLock);
    mRemoteDevices = fresh;
    if (result < 0) return result;
    devices = mRemoteDevices;
    return 0;
}

int32_t LRootModuleEngine::ChangeCallback(void* engine, const QV::IArray<QV::ParamValue>* changes)
{
    return changes ? static_cast<LRootModuleEngine*>(engine)->OnParamValuesChanged(*changes) : 0;
}

int32_t LRootModuleEngine::OnParamValuesChanged(const QV::IArray<QV::ParamValue>& changes)
{
    const uint32_t count = changes.GetCount();
    if (count == 0) return 0;
    if (count <= 2) {
        for (uint32_t i = 0; i < count; ++i) {
            const QV::ParamValue& change = *changes.GetItemPtr(i);
            PostParamValueChange(change.descriptor, change.value);
        }
        return 0;
    }
    std::vector<QV::ParamValue> all(changes.GetData(), changes.GetData() + count);
    Post(kModuleStateChange,
         QV::RCPtr<QV::LRefCountedObject>(new QV::LWrapper<QV::ParamValues>(PackedList::PackValues(all))));
    return 0;
}

void LRootModuleEngine::PostParamValueChange(const QV::ParamDescriptor& descriptor, const QV::Variant& value)
{
    Post(kModuleStateChange, QV::RCPtr<QV::LRefCountedObject>(new ParamChangePair(descriptor, value)));
}

int32_t LRootModuleEngine::PublishInitialValues(const QV::ParamDescriptors& descriptors)
{
    QV::Array<QV::ParamValue> values;
    const uint32_t count = PackedList::CountRecords(descriptors);
    if (QV::Failed(values.SetCount(count))) return QV::E_FAIL;
    for (uint32_t i = 0; i < count; ++i) {
        QV::ParamValue& entry = *values.GetItemPtr(i);
        QV::Variant packed, id;
        descriptors.GetArrayItem(i, packed);
        packed.GetArrayItem(0, id);
        packed.GetArrayItem(1, entry.descriptor.subDescriptor);
        entry.descriptor.id = id.GetAsInt32();
        (void)GetParamValue(entry.descriptor, entry.value);  // a value not read stays empty
    }
    return OnParamValuesChanged(values);
}

QV::QVResult LRootModuleEngine::ReceiveNotification(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                                    const QV::RCPtr<QV::LNotification>& notification)
{
    if (!mInitialized || !mHandler) return 0;
    return mHandler->ReceiveNotification(sender, notification);
}

QV::QVResult LRootModuleEngine::UnregisterNotification(const QV::RCPtr<QV::LNotificationDistributor>& distributor,
                                                       const char16_t* nameOrId)
{
    if (mHandler) mHandler->UnregisterHandler(distributor, nameOrId);
    return QV::LNotificationClient::UnregisterNotification(distributor, nameOrId);
}

void LRootModuleEngine::PostRemoteDeviceCount(uint32_t count)
{
    Post(kRemoteListChange, QV::RCPtr<QV::LRefCountedObject>(new QV::LHolder<unsigned int>(count)));
}

QV::QVResult LRootModuleEngine::Run(QV::RCPtr<QV::LRefCountedObject>&)
{
    const QV::InternalReference threadParameters(*this);
    if (!QV::GetDefaultNotificationCenter()) return 0;
    while (!mStopRequested) {
        if (IsSelectedDeviceConnected()) UpdateConnectionState();
        if (!mScanning) {
            Platform::Clock::SleepMs(kCycleSleepMs);
        } else {
            RunScanCycle();
        }
    }
    return 0;
}

void LRootModuleEngine::RunScanCycle()
{
    if (!mFullQueryPending && mPollCount < kPollsPerFullQuery) {
        ++mPollCount;
        QV::Array<QV::Variant> devices;
        {
            QV::Mutex::Lock lock(mLock);
            devices = mRemoteDevices;
        }
        const int32_t result = mLink->WaitForRemoteDeviceListChange(NoFilter(), devices, kPollTimeoutMs);
        if (!mStopRequested && result == 0) {
            QV::Mutex::Lock lock(mLock);
            mRemoteDevices = devices;
            PostRemoteDeviceCount(devices.GetCount());
        }
        return;
    }
    mPollCount = 0;
    QV::Array<QV::Variant> fresh;
    const int32_t result = mLink->FindRemoteDevices(NoFilter(), fresh);
    if (mStopRequested) return;
    if (result >= 0) {
        mFullQueryPending = result == 1;
        QV::Mutex::Lock lock(mLock);
        if (!RemoteDeviceList::IsSame(fresh, mRemoteDevices)) {
            mRemoteDevices = fresh;
            PostRemoteDeviceCount(fresh.GetCount());
        }
    }
    Platform::Clock::SleepMs(kCycleSleepMs);
}
