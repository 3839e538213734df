#include "TarselKeyboard.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

extern "C" __attribute__((visibility("default"))) Platform::TarselKeyboard* TarselKeyboardSharedInstance();

namespace Platform {
namespace {

constexpr std::size_t kDeviceParamLength = 4;

bool HasPrefix(const std::uint8_t* data, std::size_t size, std::uint8_t command)
{
    if (data == nullptr || size < kTarselSysExPrefix.size() + 1) {
        return false;
    }
    return std::equal(kTarselSysExPrefix.begin(), kTarselSysExPrefix.end(), data) &&
           data[kTarselSysExPrefix.size()] == command;
}

bool FitsRanges(const std::vector<std::uint8_t>& blob, const std::vector<TarselByteRange>& ranges)
{
    if (blob.size() != ranges.size()) {
        return false;
    }
    for (std::size_t i = 0; i < blob.size(); ++i) {
        if (blob[i] < ranges[i].min || blob[i] > ranges[i].max) {
            return false;
        }
    }
    return true;
}

}  // namespace

TarselKeyboard::TarselKeyboard()
{
    Reset();
}

std::vector<std::uint8_t> TarselKeyboard::DefaultBlob(int index)
{
    switch (index) {
    case 0: return {1};
    case 1: return {3, 2, 12};
    case 2:
    case 3:
    case 4:
    case 5: return {0, static_cast<std::uint8_t>(index - 2), 0, 87, 6, 12};
    case 6: return {0, 0, 1, 0, 127};
    case 7: return {0, 0, 127};
    case 8: return {0, 0, 7, 0, 127};
    case 9: return {0, 0, 11, 0, 127};
    case 10: return {0};
    case 11:
    case 12: return {0, 0, 127, 0, 0, 0, 0, 127};
    case 13: return {0x00, 0x06, 0x00, 0x7F, 0x00, 0x00, 0x7F, 0x00, 0x00, 0x40, 0x00, 0x7F, 0x00};
    case 14: return {0x00, 0x06, 0x00, 0x7F, 0x00, 0x00, 0x7F, 0x00, 0x00, 0x43, 0x00, 0x7F, 0x00};
    default: return {};
    }
}

std::vector<TarselByteRange> TarselKeyboard::ByteRanges(int index)
{
    constexpr TarselByteRange data{0, 127};
    constexpr TarselByteRange channelOrGlobalOrOmni{0, 17};
    switch (index) {
    case 0: return {{1, 16}};
    // velocity curve, octave + 2, transpose + 12
    case 1: return {{0, 6}, {0, 4}, {0, 24}};
    // enable, channel (0 = global), start note, end note, octave + 6, transpose + 12
    case 2:
    case 3:
    case 4:
    case 5: return {{0, 1}, {0, 16}, {0, 87}, {0, 87}, {0, 12}, {0, 24}};
    // channel, type (CC, aftertouch, pitch bend), controller, lower, upper
    case 6:
    case 8:
    case 9: return {channelOrGlobalOrOmni, {0, 2}, data, data, data};
    case 7: return {channelOrGlobalOrOmni, data, data};
    case 10: return {{0, 7}};
    // byte 0 is a channel or, for MMC, a device ID
    case 11:
    case 12: return std::vector<TarselByteRange>(8, data);
    case 13:
    case 14: {
        std::vector<TarselByteRange> ranges(13, data);
        ranges[1] = {0, 10};
        ranges[12] = {0, 1};
        return ranges;
    }
    default: return {};
    }
}

std::vector<std::uint8_t> TarselKeyboard::GetBlob(int index) const
{
    if (index < 0 || index >= kTarselParameterCount) {
        return {};
    }
    std::lock_guard lock(mMutex);
    return mBlobs[index];
}

TarselBlobs TarselKeyboard::GetAllBlobs() const
{
    std::lock_guard lock(mMutex);
    return mBlobs;
}

TarselResult TarselKeyboard::CheckBlob(int index, const std::vector<std::uint8_t>& blob)
{
    if (index < 0 || index >= kTarselParameterCount) {
        return TarselResult::BadParameter;
    }
    if (blob.size() != kTarselParameterLengths[index]) {
        return TarselResult::WrongLength;
    }
    return FitsRanges(blob, ByteRanges(index)) ? TarselResult::Ok : TarselResult::OutOfRange;
}

TarselResult TarselKeyboard::SetBlob(int index, const std::vector<std::uint8_t>& blob, TarselChangeSource source)
{
    return SetBlobs({{index, blob}}, source);
}

TarselResult TarselKeyboard::SetBlobs(const std::map<int, std::vector<std::uint8_t>>& blobs, TarselChangeSource source)
{
    for (const auto& [index, blob] : blobs) {
        const TarselResult checked = CheckBlob(index, blob);
        if (checked != TarselResult::Ok) {
            return checked;
        }
    }
    std::vector<int> changed;
    {
        std::lock_guard lock(mMutex);
        for (const auto& [index, blob] : blobs) {
            if (mBlobs[index] != blob) {
                changed.push_back(index);
                mBlobs[index] = blob;
            }
        }
    }
    Notify(changed, source);
    return TarselResult::Ok;
}

std::vector<int> TarselKeyboard::Store(const TarselBlobs& blobs)
{
    std::vector<int> changed;
    std::lock_guard lock(mMutex);
    for (int i = 0; i < kTarselParameterCount; ++i) {
        if (mBlobs[i] != blobs[i]) {
            changed.push_back(i);
        }
    }
    mBlobs = blobs;
    return changed;
}

int TarselKeyboard::AddChangeListener(TarselChangeListener listener)
{
    std::lock_guard lock(mListenerMutex);
    mListeners.emplace_back(++mLastListenerToken, std::move(listener));
    return mLastListenerToken;
}

void TarselKeyboard::RemoveChangeListener(int token)
{
    std::lock_guard lock(mListenerMutex);
    std::erase_if(mListeners, [token](const auto& entry) { return entry.first == token; });
}

void TarselKeyboard::Notify(const std::vector<int>& changed, TarselChangeSource source)
{
    if (changed.empty()) {
        return;
    }
    std::lock_guard lock(mListenerMutex);
    for (const auto& entry : mListeners) {
        entry.second(changed, source);
    }
}

std::vector<std::uint8_t> TarselKeyboard::GetDeviceParam() const
{
    std::lock_guard lock(mMutex);
    return mDeviceParam;
}

TarselResult TarselKeyboard::SetDeviceParam(const std::vector<std::uint8_t>& blob)
{
    if (blob.size() != kDeviceParamLength) {
        return TarselResult::WrongLength;
    }
    if (!FitsRanges(blob, std::vector<TarselByteRange>(kDeviceParamLength, {0, 127}))) {
        return TarselResult::OutOfRange;
    }
    std::lock_guard lock(mMutex);
    mDeviceParam = blob;
    return TarselResult::Ok;
}

std::vector<std::uint8_t> TarselKeyboard::DefaultDeviceParam()
{
    return std::vector<std::uint8_t>(kDeviceParamLength, 0);
}

std::string TarselKeyboard::CompanyName()
{
    return "Corvane";
}

std::string TarselKeyboard::ProductName()
{
    return "Tarsel Preset Editor";
}

bool TarselKeyboard::IsPresent() const
{
    std::lock_guard lock(mMutex);
    return mPresent;
}

void TarselKeyboard::SetPresent(bool present)
{
    std::lock_guard lock(mMutex);
    mPresent = present;
}

bool TarselKeyboard::IsConnected() const
{
    std::lock_guard lock(mMutex);
    return mConnected;
}

void TarselKeyboard::SetConnected(bool connected)
{
    std::lock_guard lock(mMutex);
    mConnected = connected;
}

std::array<std::uint8_t, kTarselDeviceInfoSize> TarselKeyboard::BuildDeviceInfo() const
{
    std::array<std::uint8_t, kTarselDeviceInfoSize> info{};
    static constexpr char kName[] = "Tarsel";
    std::copy(std::begin(kName), std::end(kName) - 1, info.begin());
    std::lock_guard lock(mMutex);
    info[kTarselDeviceInfoConnectedByte] = (mPresent && mConnected) ? 1 : 0;
    return info;
}

std::vector<std::uint8_t> TarselKeyboard::BuildPresetDump() const
{
    std::vector<std::uint8_t> dump(kTarselSysExPrefix.begin(), kTarselSysExPrefix.end());
    dump.reserve(kTarselPresetDumpSize);
    dump.push_back(kTarselCommandDumpFromKeyboard);
    dump.push_back(0x00);
    dump.push_back(static_cast<std::uint8_t>(kTarselPresetDumpSize - kTarselPresetDumpDataOffset - 1));
    {
        std::lock_guard lock(mMutex);
        for (const auto& blob : mBlobs) {
            dump.insert(dump.end(), blob.begin(), blob.end());
        }
    }
    dump.push_back(0xF7);
    return dump;
}

TarselResult TarselKeyboard::ApplyPresetDump(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size != kTarselPresetDumpSize) {
        return TarselResult::WrongLength;
    }
    constexpr std::uint8_t kDataCount = kTarselPresetDumpSize - kTarselPresetDumpDataOffset - 1;
    if (!HasPrefix(data, size, kTarselCommandDumpToKeyboard) || data[8] != 0x00 || data[9] != kDataCount ||
        data[size - 1] != 0xF7) {
        return TarselResult::WrongHeader;
    }
    if (std::any_of(data + 1, data + size - 1, [](std::uint8_t b) { return b > 0x7F; })) {
        return TarselResult::NotSevenBit;
    }
    TarselBlobs blobs;
    const std::uint8_t* at = data + kTarselPresetDumpDataOffset;
    for (int i = 0; i < kTarselParameterCount; ++i) {
        blobs[i].assign(at, at + kTarselParameterLengths[i]);
        at += kTarselParameterLengths[i];
    }
    Notify(Store(blobs), TarselChangeSource::Host);
    return TarselResult::Ok;
}

bool TarselKeyboard::IsIdentityRequest(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::uint8_t kRequest[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    return data != nullptr && size == sizeof kRequest && std::equal(data, data + size, kRequest);
}

bool TarselKeyboard::IsPresetRequest(const std::uint8_t* data, std::size_t size)
{
    return size == kTarselSysExPrefix.size() + 2 && HasPrefix(data, size, kTarselCommandPresetRequest) &&
           data[size - 1] == 0xF7;
}

std::vector<std::uint8_t> TarselKeyboard::IdentityReply()
{
    // Universal identity reply from device 7F: manufacturer, family 0015,
    // model 0000, firmware 1.0.0.0.
    return {0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x00, 0x5A, 0x3C, 0x15, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xF7};
}

void TarselKeyboard::Reset()
{
    TarselBlobs defaults;
    for (int i = 0; i < kTarselParameterCount; ++i) {
        defaults[i] = DefaultBlob(i);
    }
    {
        std::lock_guard lock(mMutex);
        mDeviceParam = DefaultDeviceParam();
        mPresent = true;
        mConnected = true;
    }
    Notify(Store(defaults), TarselChangeSource::Host);
}

TarselKeyboard& GetTarselKeyboard()
{
    return *TarselKeyboardSharedInstance();
}

bool IsTarselSimulatorSwitchedOn()
{
    const char* setting = std::getenv("TARSEL_SIMULATOR");
    return setting == nullptr || std::strcmp(setting, "0") != 0;
}

}  // namespace Platform
