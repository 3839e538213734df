#include "SimulatedTarsel.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "TarselKeyboard.h"

namespace DeviceControlClient {

namespace {

// Every entry of the library, by the names the client binds.
constexpr std::array<const char*, 14> kEntryNames{
    "DVCL_FindDevices",      "DVCL_FindRemoteDevices", "DVCL_ConnectDevice",   "DVCL_RequestParamRanges",
    "DVCL_RequestParamValues", "DVCL_GetParamRanges",  "DVCL_GetParamValues",  "DVCL_GetParamValue",
    "DVCL_SetParamValue",    "DVCL_SetParamValues",    "DVCL_DisconnectDevice", "DVCL_IsDeviceConnected",
    "DVCL_GetDeviceInfo",    "DVCL_ReleaseAll"};

// Sub-parameter ids go straight to the keyboard's firmware; the simulation
// accepts them and keeps nothing.
constexpr int32_t kFirstSubParamId = -256;
constexpr int32_t kLastSubParamId = -129;

// The records of a type-16 list; an empty vector for anything else.
std::vector<QV::Variant> ListItems(const QV::Variant& list)
{
    std::vector<QV::Variant> items;
    QV::Variant item;
    for (uint32_t i = 0; list.GetArrayItem(i, item) == 0; ++i) items.push_back(item);
    return items;
}

// One packed value: [value, id, sub-descriptor].
QV::Variant PackValue(const QV::Variant& value, int32_t id, const QV::Variant& subDescriptor)
{
    const QV::Variant items[3] = {value, QV::Variant(id), subDescriptor};
    QV::Variant record;
    record.SetArray(items, 3);
    return record;
}

QV::ParamValues PackValueSet(const std::vector<QV::Variant>& records)
{
    QV::ParamValues set;
    set.SetArray(records.data(), static_cast<uint32_t>(records.size()));
    return set;
}

QV::Variant BlobVariant(const std::vector<uint8_t>& bytes)
{
    QV::Variant value;
    value.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return value;
}

std::vector<uint8_t> BlobBytes(const QV::Variant& value)
{
    uint32_t size = 0;
    const uint8_t* data = value.GetData(size);
    return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

}  // namespace

SimulatedTarsel::SimulatedTarsel() : mSwitchedOn(Platform::IsTarselSimulatorSwitchedOn())
{
    mKeyboardListener = Keyboard().AddChangeListener([this](const std::vector<int>& changed,
                                                           Platform::TarselChangeSource source) {
        if (source == Platform::TarselChangeSource::Keyboard) ReportKeyboardChange(changed);
    });
}

SimulatedTarsel::~SimulatedTarsel()
{
    Keyboard().RemoveChangeListener(mKeyboardListener);
    mDispatcher.Stop();
}

SimulatedTarsel& SimulatedTarsel::Instance()
{
    static SimulatedTarsel instance;
    return instance;
}

Platform::TarselKeyboard& SimulatedTarsel::Keyboard() { return Platform::GetTarselKeyboard(); }

bool SimulatedTarsel::IsEntryName(const std::string& entry)
{
    return std::find(kEntryNames.begin(), kEntryNames.end(), entry) != kEntryNames.end();
}

// ---- entries ---------------------------------------------------------------

int32_t SimulatedTarsel::FindRemoteDevices(QV::Variant* result)
{
    if (!result) return kBadParameter;
    std::lock_guard lock(mLock);
    // Switched off, no scan ever finds a keyboard.
    const std::vector<QV::Variant> none;
    const std::vector<QV::Variant>& devices = mSwitchedOn ? mRemoteDevices : none;
    result->SetArray(devices.data(), static_cast<uint32_t>(devices.size()));
    return 0;
}

int32_t SimulatedTarsel::ConnectDevice(const QV::Variant* device, DVCL_ValueSetCallback callback, void* context)
{
    if (!device || !callback) return kBadParameter;
    uint64_t previous = 0;
    {
        std::lock_guard lock(mLock);
        if (!IsKnownDevice(*device)) return kNoSuchDevice;
        if (!IsKeyboardAttached()) return kNotConnected;
        // One client at a time: a new connection replaces the old one.
        previous = mConnection.number;
        mConnection.number = ++mLastConnection;
        mConnection.device = *device;
        mConnection.callback = callback;
        mConnection.context = context;
    }
    if (previous != 0) mDispatcher.Cancel(previous);
    return 0;
}

int32_t SimulatedTarsel::RequestParamRanges(const QV::Variant* device, const QV::ParamRanges* ranges)
{
    if (!ranges) return kBadParameter;
    std::lock_guard lock(mLock);
    if (!IsConnectedTo(device)) return kNotConnected;
    std::vector<QV::Variant> records;
    const QV::Variant none;
    for (const QV::Variant& range : ListItems(*ranges)) {
        QV::Variant first;
        QV::Variant count;
        if (range.GetArrayItem(0, first) != 0 || range.GetArrayItem(1, count) != 0) return kBadParameter;
        const int64_t begin = std::max<int64_t>(first.GetAsInt32(), 0);
        const int64_t end =
            std::min<int64_t>(int64_t{first.GetAsInt32()} + count.GetAsInt32(), Platform::kTarselParameterCount);
        for (int64_t id = begin; id < end; ++id) {
            const int index = static_cast<int>(id);
            records.push_back(PackValue(BlobVariant(Keyboard().GetBlob(index)), index, none));
        }
    }
    if (!records.empty()) Post(PackValueSet(records));
    return 0;
}

int32_t SimulatedTarsel::RequestParamValues(const QV::Variant* device, const QV::ParamDescriptors* descriptors)
{
    if (!descriptors) return kBadParameter;
    std::lock_guard lock(mLock);
    if (!IsConnectedTo(device)) return kNotConnected;
    std::vector<QV::Variant> records;
    for (const QV::Variant& descriptor : ListItems(*descriptors)) {
        QV::Variant id;
        QV::Variant sub;
        if (descriptor.GetArrayItem(0, id) != 0) return kBadParameter;
        descriptor.GetArrayItem(1, sub);
        QV::Variant value;
        // Ids the keyboard does not know get no answer.
        if (sub.IsEmpty() && GetKeyboardValue(id.GetAsInt32(), &value) == 0) {
            records.push_back(PackValue(value, id.GetAsInt32(), sub));
        }
    }
    if (!records.empty()) Post(PackValueSet(records));
    return 0;
}

int32_t SimulatedTarsel::CheckConnected(const QV::Variant* device) const
{
    std::lock_guard lock(mLock);
    return IsConnectedTo(device) ? 0 : kNotConnected;
}

int32_t SimulatedTarsel::GetParamValue(const QV::Variant* device, const QV::ParamDescriptor* descriptor,
                                       QV::Variant* value)
{
    if (!descriptor || !value) return kBadParameter;
    std::lock_guard lock(mLock);
    if (!IsConnectedTo(device)) return kNotConnected;
    if (!descriptor->subDescriptor.IsEmpty()) return kBadParameter;
    return GetKeyboardValue(descriptor->id, value) == 0 ? 0 : kBadParameter;
}

int32_t SimulatedTarsel::SetParamValue(const QV::Variant* device, const QV::ParamDescriptor* descriptor,
                                       const QV::Variant* value)
{
    if (!descriptor || !value) return kBadParameter;
    {
        std::lock_guard lock(mLock);
        if (!IsConnectedTo(device)) return kNotConnected;
    }
    // Not under mLock: storing calls the keyboard's listeners, and ours takes it.
    // An unplugged keyboard takes nothing, whatever the client still holds.
    if (!IsKeyboardAttached()) return kNotConnected;
    const int32_t id = descriptor->id;
    if (id >= kFirstSubParamId && id <= kLastSubParamId) return 0;
    if (!descriptor->subDescriptor.IsEmpty()) return kBadParameter;
    Platform::TarselResult stored = Platform::TarselResult::BadParameter;
    if (id >= 0 && id < Platform::kTarselParameterCount) {
        if (value->GetType() != QV::Variant::kBlob) return kValueRefused;
        stored = Keyboard().SetBlob(id, BlobBytes(*value));
    } else if (id == Platform::kTarselDeviceParamId) {
        if (value->GetType() != QV::Variant::kBlob) return kValueRefused;
        stored = Keyboard().SetDeviceParam(BlobBytes(*value));
    } else {
        return kBadParameter;
    }
    return stored == Platform::TarselResult::Ok ? 0 : kValueRefused;
}

int32_t SimulatedTarsel::DisconnectDevice(const QV::Variant* device)
{
    {
        std::lock_guard lock(mLock);
        // Disconnecting what is not connected is harmless.
        if (!IsConnectedTo(device)) return 0;
    }
    DropConnection();
    return 0;
}

int32_t SimulatedTarsel::IsDeviceConnected() const { return IsClientConnected() ? 0 : 1; }

int32_t SimulatedTarsel::GetDeviceInfo(const QV::Variant* device, uint8_t* record) const
{
    if (!device || !record) return kBadParameter;
    std::lock_guard lock(mLock);
    if (!IsKnownDevice(*device)) return kNoSuchDevice;
    const auto info = Keyboard().BuildDeviceInfo();
    std::memcpy(record, info.data(), std::min<size_t>(info.size(), kDeviceInfoSize));
    if (mHideConnectedFlag || !mSwitchedOn) record[Platform::kTarselDeviceInfoConnectedByte] = 0;
    return 0;
}

int32_t SimulatedTarsel::ReleaseAll()
{
    {
        std::lock_guard lock(mLock);
        mConnection = Connection();
    }
    mDispatcher.Stop();
    return 0;
}

// ---- helpers ---------------------------------------------------------------

void SimulatedTarsel::ReportKeyboardChange(const std::vector<int>& changed)
{
    std::vector<QV::Variant> records;
    const QV::Variant none;
    for (const int index : changed) records.push_back(PackValue(BlobVariant(Keyboard().GetBlob(index)), index, none));
    std::lock_guard lock(mLock);
    Post(PackValueSet(records));
}

bool SimulatedTarsel::IsKnownDevice(const QV::Variant& device) const
{
    // The keyboard on this computer is the empty identifier.
    if (device.IsEmpty()) return true;
    return std::find(mRemoteDevices.begin(), mRemoteDevices.end(), device) != mRemoteDevices.end();
}

bool SimulatedTarsel::IsKeyboardAttached() const
{
    return mSwitchedOn && Keyboard().IsPresent() && Keyboard().IsConnected();
}

bool SimulatedTarsel::IsConnectedTo(const QV::Variant* device) const
{
    return device && mConnection.number != 0 && mConnection.device == *device;
}

bool SimulatedTarsel::Post(const QV::ParamValues& values)
{
    if (mConnection.number == 0) return false;
    mDispatcher.Post(mConnection.number, mConnection.callback, mConnection.context, values);
    return true;
}

void SimulatedTarsel::DropConnection()
{
    uint64_t number = 0;
    {
        std::lock_guard lock(mLock);
        number = std::exchange(mConnection, Connection()).number;
    }
    if (number != 0) mDispatcher.Cancel(number);
}

std::optional<int32_t> SimulatedTarsel::GetScriptedResult(const char* entry) const
{
    std::lock_guard lock(mLock);
    const auto found = mScripted.find(entry);
    if (found == mScripted.end()) return std::nullopt;
    return found->second;
}

void SimulatedTarsel::Record(const char* entry, std::initializer_list<uint64_t> args, int32_t result)
{
    SIM_CallRecord record{};
    std::strncpy(record.entry, entry, sizeof(record.entry) - 1);
    record.result = result;
    for (const uint64_t arg : args) {
        if (record.argCount == static_cast<int32_t>(std::size(record.args))) break;
        record.args[record.argCount++] = arg;
    }
    std::lock_guard lock(mLock);
    mCalls.push_back(record);
}

// ---- test controls ---------------------------------------------------------

void SimulatedTarsel::Reset()
{
    DropConnection();
    mDispatcher.SetBlocked(false);
    Keyboard().Reset();
    std::lock_guard lock(mLock);
    mRemoteDevices.clear();
    mScripted.clear();
    mCalls.clear();
    mHideConnectedFlag = false;
}

void SimulatedTarsel::HideConnectedFlag(bool hide)
{
    std::lock_guard lock(mLock);
    mHideConnectedFlag = hide;
}

int32_t SimulatedTarsel::SetScriptedResult(const char* entry, int32_t result)
{
    if (!entry || !IsEntryName(entry)) return -1;
    std::lock_guard lock(mLock);
    mScripted[entry] = result;
    return 0;
}

void SimulatedTarsel::ClearScriptedResults()
{
    std::lock_guard lock(mLock);
    mScripted.clear();
}

int32_t SimulatedTarsel::GetCallCount() const
{
    std::lock_guard lock(mLock);
    return static_cast<int32_t>(mCalls.size());
}

int32_t SimulatedTarsel::GetCall(int32_t index, SIM_CallRecord* record) const
{
    std::lock_guard lock(mLock);
    if (!record || index < 0 || index >= static_cast<int32_t>(mCalls.size())) return -1;
    *record = mCalls[static_cast<size_t>(index)];
    return 0;
}

void SimulatedTarsel::ClearCallLog()
{
    std::lock_guard lock(mLock);
    mCalls.clear();
}

void SimulatedTarsel::SetRemoteDevices(const QV::Variant* devices)
{
    std::vector<QV::Variant> list = devices ? ListItems(*devices) : std::vector<QV::Variant>();
    std::lock_guard lock(mLock);
    mRemoteDevices = std::move(list);
}

int32_t SimulatedTarsel::InjectValueSet(const QV::ParamValues& values)
{
    std::lock_guard lock(mLock);
    return Post(values) ? 0 : -1;
}

int32_t SimulatedTarsel::InjectBurst(int32_t id, int32_t count)
{
    std::lock_guard lock(mLock);
    if (mConnection.number == 0 || count < 0) return -1;
    const QV::Variant none;
    for (int32_t i = 0; i < count; ++i) Post(PackValueSet({PackValue(QV::Variant(i), id, none)}));
    return 0;
}

void SimulatedTarsel::SetPresent(bool present) { Keyboard().SetPresent(present); }

bool SimulatedTarsel::IsClientConnected() const
{
    std::lock_guard lock(mLock);
    return mConnection.number != 0;
}

int32_t SimulatedTarsel::GetKeyboardValue(int32_t id, QV::Variant* value) const
{
    if (!value) return -1;
    if (id >= 0 && id < Platform::kTarselParameterCount) {
        *value = BlobVariant(Keyboard().GetBlob(id));
    } else if (id == Platform::kTarselDeviceParamId) {
        *value = BlobVariant(Keyboard().GetDeviceParam());
    } else if (id == Platform::kTarselCompanyNameId) {
        value->SetString(Platform::TarselKeyboard::CompanyName().c_str());
    } else if (id == Platform::kTarselProductNameId) {
        value->SetString(Platform::TarselKeyboard::ProductName().c_str());
    } else {
        return -1;
    }
    return 0;
}

}  // namespace DeviceControlClient
