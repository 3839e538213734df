#include "LRootModule.h"

#include "Device.h"
#include "PackedList.h"

LRootModule::LRootModule(bool offline) : mOffline(offline), mStore(std::make_unique<ParamStore>())
{
    (void)mStore->changes.SetCount(1);  // one slot always fits
}

LRootModule::~LRootModule()
{
    if (mLink) {
        mLink->SetDeliveryEnabled(false);
        (void)mLink->DisconnectDevice();  // going away: nothing to report to
        mLink->SetReceiver(nullptr);
    }
    mStore.reset();
    mCache = nullptr;
    mLink = nullptr;
    mDevice = nullptr;
}

QV::RCPtr<LRootModule> LRootModule::Create(bool offline)
{
    QV::RCPtr<LRootModule> root(new LRootModule(offline));
    root->CreateChildModules();
    return root;
}

void LRootModule::CreateChildModules()
{
    mDevice = LDevice::Create();
}

int32_t LRootModule::Initialize(ChangeCallback callback, void* userData, const QV::RCPtr<LParamCache>& cache,
                                const QV::RCPtr<LDeviceCommunicationInterface>& link, int32_t firstParamID)
{
    mCallback = callback;
    mUserData = userData;
    mCache = cache;
    mLink = link;
    SetFirstParamID(nullptr, firstParamID, 0);
    LoadDefaults();
    if (mLink) {
        mLink->SetReceiver(this);
        mLink->SetDeliveryEnabled(true);
    }
    return 0;
}

void LRootModule::LoadDefaults()
{
    if (!mCache) return;
    for (int32_t i = 0; i < kParamCount; ++i) {
        const int32_t id = GetFirstParamID() + i;
        if (QV::RCPtr<LParameterizedModule> module = GetModuleForParam(id)) {
            // i is below the cache's size, so the store cannot fail.
            (void)mCache->SetValue(QV::ParamDescriptor{i, QV::Variant()}, module->GetParamValueDefault(id), false);
        }
    }
}

int32_t LRootModule::ConnectDevice(const QV::Variant& device)
{
    if (!mLink) return -1;
    (void)mLink->DisconnectDevice();  // nothing connected yet is fine
    const int32_t result = mLink->ConnectDevice(device);
    if (result < 0) {
        mOffline = true;
        return result;
    }
    mOffline = false;
    const QV::Variant range[2] = {QV::Variant(GetFirstParamID()), QV::Variant(int32_t{kParamCount})};
    QV::Variant packedRange;
    packedRange.SetArray(range, 2);
    QV::ParamRanges ranges;
    ranges.SetArray(&packedRange, 1);
    // A refused request leaves the cache on its defaults; the connection stands.
    (void)mLink->RequestParamRanges(&ranges);
    const QV::ParamDescriptor deviceParam{kDeviceParamId, QV::Variant()};
    (void)mLink->RequestParamValueList(&deviceParam);
    return result;
}

int32_t LRootModule::StopReceiving()
{
    if (mLink) mLink->SetDeliveryEnabled(false);
    return 0;
}

QV::ParamDescriptor LRootModule::CacheKey(const QV::ParamDescriptor& descriptor) const
{
    return QV::ParamDescriptor{descriptor.id - GetFirstParamID(), descriptor.subDescriptor};
}

int32_t LRootModule::SetParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value)
{
    return StoreParamValue(descriptor, value);
}

QV::Variant LRootModule::GetParamValue(int32_t id)
{
    return GetStoredParamValue(QV::ParamDescriptor{id, QV::Variant()});
}

int32_t LRootModule::StoreParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value)
{
    const auto offset = static_cast<uint32_t>(descriptor.id) - static_cast<uint32_t>(GetFirstParamID());
    if (offset >= static_cast<uint32_t>(kParamCount) || !mCache) return -1;
    const QV::ParamDescriptor key = CacheKey(descriptor);
    QV::Variant cached;
    // The offset was checked above, so the cache answers for this key.
    (void)mCache->GetValue(key, cached);
    if (!(value == cached) && !value.IsEmpty()) {
        (void)mCache->SetValue(key, value, true);
        (void)OnParamValueChanged(descriptor, value);  // the engine's answer is not the store's
    }
    return 0;
}

QV::Variant LRootModule::GetStoredParamValue(const QV::ParamDescriptor& descriptor)
{
    QV::Variant value;
    if (!mCache || mCache->GetValue(CacheKey(descriptor), value) < 0) return QV::Variant();
    return value;
}

int32_t LRootModule::OnParamValueChanged(const QV::ParamDescriptor& descriptor, const QV::Variant& value)
{
    QV::Mutex::Lock lock(mStore->lock);
    *mStore->changes.GetItemPtr(0) = QV::ParamValue{descriptor, value};
    return InvokeChangeCallback(&mStore->changes);
}

int32_t LRootModule::InvokeChangeCallback(const QV::IArray<QV::ParamValue>* changes)
{
    return mCallback ? mCallback(mUserData, changes) : 0;
}

int32_t LRootModule::ApplyParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value)
{
    QV::Mutex::Lock lock(mStore->lock);
    const int32_t id = descriptor.id;
    if (id == kSelectionId) {
        // The echo comes back through ReceiveParamValues on this thread.
        return (mLink && mLink->ReportSelection(value.GetAsInt64())) ? 0 : 1;
    }
    if (mOffline) return StoreParamValue(descriptor, value);
    if (id >= 0) {
        if (QV::RCPtr<LParameterizedModule> module = GetModuleForParam(id)) {
            (void)module->SetParamValueLocal(descriptor, value, false);  // the device's answer decides
        }
    }
    return mLink ? mLink->SetParamValue(&descriptor, value) : -1;
}

int32_t LRootModule::FetchParamValue(const QV::ParamDescriptor& descriptor, QV::Variant& value)
{
    QV::Mutex::Lock lock(mStore->lock);
    if (descriptor.id < 0) return mLink ? mLink->GetParamValue(&descriptor, value) : -1;
    if (mOffline) {
        value = GetStoredParamValue(descriptor);
        return 0;
    }
    QV::RCPtr<LParameterizedModule> module = GetModuleForParam(descriptor.id);
    if (!module) {
        value.Clear();
        return QV::E_FAIL;
    }
    value = module->GetParamValueLocal(descriptor);
    return 0;
}

int32_t LRootModule::ReceiveParamValues(const QV::ParamValues& values)
{
    QV::Mutex::Lock lock(mStore->lock);
    for (uint32_t i = 0; i < PackedList::CountRecords(values); ++i) {
        QV::ParamValue record;
        // A record that cannot be read leaves an empty value under id 0.
        (void)PackedList::ReadValue(values, i, record);
        const int32_t id = record.descriptor.id;
        QV::RCPtr<LParameterizedModule> target;
        if (id >= 0) {
            target = GetModuleForParam(id);
        } else if (IsSubParamID(id)) {
            target = GetModuleForSubParam(id);
        } else if (id == kTreeHookId && record.value.GetAsBool()) {
            TreeHookA();
        }
        if (target) {
            (void)target->SetParamValueLocal(record.descriptor, record.value, true);  // the device's value stands
        } else {
            (void)OnParamValueChanged(QV::ParamDescriptor{id, QV::Variant()}, record.value);
        }
    }
    return 0;
}
