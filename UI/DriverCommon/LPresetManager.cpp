#include "LPresetManager.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <optional>
#include <string>

#include "AtomicFileWriter.h"
#include "Exception.h"
#include "FileDescriptor.h"
#include "IParamEngine.h"
#include "LNotificationCenterManager.h"
#include "LPresetFileLoadNotificationData.h"

namespace QV {
namespace {

uint32_t ReadWord(const uint8_t* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void WriteWord(uint8_t* bytes, uint32_t word)
{
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(word >> (8 * i));
}

void AppendWord(std::string& out, uint32_t word)
{
    uint8_t bytes[4];
    WriteWord(bytes, word);
    out.append(reinterpret_cast<const char*>(bytes), 4);
}

}  // namespace

LPresetManager::LPresetManager() : mHandler(new LNotificationHandler<LPresetManager>(this)) {}

RCPtr<LPresetManager> LPresetManager::Create()
{
    RCPtr<LPresetManager> manager(new LPresetManager());
    const QVResult registered =
        manager->mHandler->RegisterHandler(&LPresetManager::OnLoadControlPanelSettings, GetDefaultNotificationCenter(),
                                           u"NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS");
    if (registered < 0)
        ThrowFailedResult(registered, "QV::LPresetManager::Create", "UI\\DriverCommon\\PresetManager", 29);
    manager->mRegistered = true;
    return manager;
}

QVResult LPresetManager::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                             const RCPtr<LNotification>& notification)
{
    return mHandler ? mHandler->ReceiveNotification(sender, notification) : S_OK;
}

QVResult LPresetManager::UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                const char16_t* nameOrId)
{
    if (mHandler) mHandler->UnregisterHandler(distributor, nameOrId);
    return LNotificationClient::UnregisterNotification(distributor, nameOrId);
}

QVResult LPresetManager::OnLoadControlPanelSettings(const RCPtr<LNotificationDistributor>&,
                                                    const RCPtr<LNotification>& notification)
{
    // The path comes in any wrapper of a string.
    const RCPtr<LRefCountedObject> payload = notification ? notification->GetPayload() : nullptr;
    if (const auto* path = dynamic_cast<const String*>(payload.Get())) (void)LoadPresetFile(*path);
    return 1;
}

int32_t LPresetManager::LoadPresetFile(const String& path)
{
    SendNotification(LNotification::Create(u"NID_PRESETFILE_PRE_LOAD"));
    const int32_t result = ReadPresetFile(path);
    SendNotification(LNotification::Create(u"NID_PRESETFILE_POST_LOAD",
                                           RCPtr<LRefCountedObject>(new LPresetFileLoadNotificationData(result))));
    return result;
}

int32_t LPresetManager::ReadPresetFile(const String& path)
{
    mFileError.clear();
    try {
        if (path.IsEmpty()) return kCorrupt;
        // Read whole and bounded: a FIFO or a huge file is refused, not waited on.
        const std::optional<std::string> bytes =
            Platform::Files::ReadWhole(path.ToUtf8(), kMaxFileBytes, &mFileError);
        if (!bytes) return kCorrupt;
        std::vector<PresetRecord> records;
        const int32_t result = ParsePresetFile(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size(),
                                               mCheckOnly, records);
        if (result == kLoaded && !mCheckOnly) Apply(records);
        return result;
    } catch (const std::exception&) {
        return kCorrupt;
    }
}

int32_t LPresetManager::ParsePresetFile(const uint8_t* bytes, size_t size, bool allowOlder,
                                        std::vector<PresetRecord>& records)
{
    records.clear();
    if (!bytes || size < kHeaderSize || size > UINT32_MAX) return kCorrupt;
    if (ReadWord(bytes + 4) != 0 || ReadWord(bytes + 8) != 0) return kOtherDevice;
    const uint32_t version = ReadWord(bytes);
    if (version > kFormatVersion) return kNewerFormat;
    if (version < kFormatVersion && !allowOlder) return kOlderFormat;
    size_t offset = kHeaderSize;
    while (offset < size) {
        // Bounded by what the file holds, so a length word never sizes a buffer alone.
        const uint32_t length = size - offset < 4 ? 0 : ReadWord(bytes + offset);
        PresetRecord record;
        if (length < 4 || length > size - offset ||
            DecodePresetRecord(bytes + offset, length, 0, record.index, record.value) < 0 ||
            !IsValidPresetValue(record.index, record.value)) {
            records.clear();
            return kCorrupt;
        }
        records.push_back(std::move(record));
        offset += length;
    }
    return kLoaded;
}

void LPresetManager::Apply(const std::vector<PresetRecord>& records) const
{
    IParamEngine& engine = GetParamEngine();
    const int32_t firstID = engine.GetFirstParamID();
    for (const PresetRecord& record : records) {
        if (std::find(mPassOver.begin(), mPassOver.end(), record.index) != mPassOver.end()) continue;
        // A value the engine refuses (no device) is lost; the others still go.
        (void)engine.SetParamValue(ParamDescriptor{firstID + record.index, Variant()}, record.value);
    }
}

int32_t LPresetManager::DecodePresetRecord(const uint8_t* buffer, uint32_t size, uint32_t offset, int32_t& index,
                                           Variant& value)
{
    if (!buffer || offset > size || size - offset < kRecordHeaderSize) return E_FAIL;
    const uint8_t* record = buffer + offset;
    const uint32_t length = ReadWord(record);
    if (length > size - offset || length > static_cast<uint32_t>(INT32_MAX)) return E_FAIL;
    if (ReadWord(record + 4) != 0) return E_FAIL;
    index = static_cast<int32_t>(ReadWord(record + 8));
    if (length <= 15) return E_FAIL;
    // The packed value fills the rest of the record exactly.
    if (ReadWord(record + kRecordHeaderSize) != length - kRecordHeaderSize) return E_FAIL;
    const QVResult unpacked = VariantFromRecord(value, record + kRecordHeaderSize, length - kRecordHeaderSize);
    return unpacked < 0 ? unpacked : static_cast<int32_t>(length);
}

QVResult LPresetManager::EncodePresetRecord(int32_t index, const Variant& value, std::vector<uint8_t>& buffer)
{
    uint32_t dataSize = 0;
    value.GetData(dataSize);
    const uint32_t length = dataSize + 24;
    buffer.assign(length, 0);
    WriteWord(buffer.data(), length);
    WriteWord(buffer.data() + 8, static_cast<uint32_t>(index));
    if (VariantToRecord(value, buffer.data() + kRecordHeaderSize, length - kRecordHeaderSize) < 0) {
        buffer.clear();
        return E_FAIL;
    }
    return S_OK;
}

bool LPresetManager::IsValidPresetValue(int32_t index, const Variant& value)
{
    return index >= 0 && index < kParamCount && value.GetType() == Variant::kBlob &&
           value.GetLength() == kBlobLengths[index];
}

QVResult LPresetManager::SavePresetFile(const String& path)
{
    mFileError.clear();
    if (path.IsEmpty()) return E_FAIL;
    IParamEngine& engine = GetParamEngine();
    Array<ParamValue> values;
    // Everything is fetched and checked before the file is touched.
    if (engine.GetParamValues(engine.GetFirstParamID(), kParamCount, values) < 0 ||
        values.GetCount() != static_cast<uint32_t>(kParamCount))
        return E_FAIL;
    std::string content;
    AppendWord(content, kFormatVersion);
    AppendWord(content, 0);
    AppendWord(content, 0);
    std::vector<uint8_t> record;
    for (int32_t i = 0; i < kParamCount; ++i) {
        const Variant& value = values.GetItemPtr(static_cast<uint32_t>(i))->value;
        if (!IsValidPresetValue(i, value) || EncodePresetRecord(i, value, record) < 0) return E_FAIL;
        content.append(reinterpret_cast<const char*>(record.data()), record.size());
    }
    if (Platform::AtomicFileWriter::Write(path.ToUtf8(), content, &mFileError)) return S_OK;
    if (mFileError.empty()) mFileError = "the file could not be written";
    return E_FAIL;
}

}  // namespace QV
