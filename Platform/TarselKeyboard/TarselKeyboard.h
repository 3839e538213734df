#pragma once

// The simulated Tarsel's keyboard: its fifteen parameter blobs, the values
// outside the preset, and its System Exclusive conversation. One instance is
// shared by the simulated device-control library and the simulated MIDI
// ports, so a preset sent one way shows up the other way.

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

inline constexpr int kTarselParameterCount = 15;
inline constexpr std::array<std::size_t, kTarselParameterCount> kTarselParameterLengths{1, 3, 6, 6, 6, 6,  5, 3,
                                                                                        5, 5, 1, 8, 8, 13, 13};

inline constexpr std::size_t kTarselPresetDumpSize = 100;
inline constexpr std::size_t kTarselPresetDumpDataOffset = 10;
// F0, manufacturer 00 5A 3C, 7F, 00, 15; the command byte follows at offset 7.
inline constexpr std::array<std::uint8_t, 7> kTarselSysExPrefix{0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15};
inline constexpr std::uint8_t kTarselCommandDumpToKeyboard = 0x01;
inline constexpr std::uint8_t kTarselCommandPresetRequest = 0x02;
inline constexpr std::uint8_t kTarselCommandDumpFromKeyboard = 0x03;

inline constexpr std::int32_t kTarselDeviceParamId = -8;
inline constexpr std::int32_t kTarselCompanyNameId = -9;
inline constexpr std::int32_t kTarselProductNameId = -10;

inline constexpr std::size_t kTarselDeviceInfoSize = 256;
inline constexpr std::size_t kTarselDeviceInfoConnectedByte = 252;

// The lowest and highest value one byte of a blob may take.
struct TarselByteRange {
    std::uint8_t min;
    std::uint8_t max;
};

enum class TarselResult {
    Ok,
    BadParameter,  // no such parameter index
    WrongLength,
    WrongHeader,
    NotSevenBit,
    OutOfRange,
};

class TarselKeyboard {
public:
    TarselKeyboard();
    TarselKeyboard(const TarselKeyboard&) = delete;
    TarselKeyboard& operator=(const TarselKeyboard&) = delete;

    // Factory setting of parameter `index` (0-14); empty for any other index.
    static std::vector<std::uint8_t> DefaultBlob(int index);
    // Allowed values of each byte of parameter `index`; empty for any other index.
    static std::vector<TarselByteRange> ByteRanges(int index);

    std::vector<std::uint8_t> GetBlob(int index) const;
    std::array<std::vector<std::uint8_t>, kTarselParameterCount> GetAllBlobs() const;
    // Refuses a foreign index, a blob of another length or a byte out of its
    // range; the stored blob is then unchanged.
    TarselResult SetBlob(int index, const std::vector<std::uint8_t>& blob);

    // Parameter -8: the keyboard's settings outside the preset.
    std::vector<std::uint8_t> GetDeviceParam() const;
    TarselResult SetDeviceParam(const std::vector<std::uint8_t>& blob);
    static std::vector<std::uint8_t> DefaultDeviceParam();
    static std::string CompanyName();  // parameter -9
    static std::string ProductName();  // parameter -10

    bool IsPresent() const;
    void SetPresent(bool present);
    bool IsConnected() const;
    void SetConnected(bool connected);
    // 256 bytes; byte 252 is nonzero while the keyboard is present and connected.
    std::array<std::uint8_t, kTarselDeviceInfoSize> BuildDeviceInfo() const;

    // The 100-byte dump the keyboard sends: header with command 03, 00 59,
    // the 89 parameter bytes, F7.
    std::vector<std::uint8_t> BuildPresetDump() const;
    // Stores a dump sent to the keyboard (command 01, count 00 59). A dump of
    // another length, with another header or a byte above 7F between F0 and F7
    // is refused and changes nothing.
    TarselResult ApplyPresetDump(const std::uint8_t* data, std::size_t size);

    static bool IsIdentityRequest(const std::uint8_t* data, std::size_t size);
    static bool IsPresetRequest(const std::uint8_t* data, std::size_t size);
    static std::vector<std::uint8_t> IdentityReply();

    // Factory settings, present and connected.
    void Reset();

private:
    mutable std::mutex mMutex;
    std::array<std::vector<std::uint8_t>, kTarselParameterCount> mBlobs;
    std::vector<std::uint8_t> mDeviceParam;
    bool mPresent = true;
    bool mConnected = true;
};

// The process-wide keyboard. An executable that links this library exports
// the instance, so a loaded library that links it too sees the same one.
TarselKeyboard& GetTarselKeyboard();

}  // namespace Platform
