#pragma once

// The simulated Tarsel's keyboard: its fifteen parameter blobs, the values
// outside the preset, and its System Exclusive conversation. One instance is
// shared by the simulated device-control library and the simulated MIDI
// ports, so a preset sent one way shows up the other way.
//
// Concurrency: the values are guarded by one mutex. Change listeners run
// after it is released, one at a time, on the thread that made the change.
// A listener must not change the keyboard, and no one may change it while
// holding a lock that a listener takes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
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

// Who changed a blob: the computer (the device-control library, a preset dump
// over MIDI, a reset) or the keyboard itself, which the keyboard reports back.
enum class TarselChangeSource {
    Host,
    Keyboard,
};

using TarselBlobs = std::array<std::vector<std::uint8_t>, kTarselParameterCount>;
// The indexes of the blobs a change altered, in rising order, never empty.
using TarselChangeListener = std::function<void(const std::vector<int>& changed, TarselChangeSource source)>;

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
    TarselBlobs GetAllBlobs() const;
    // Refuses a foreign index, a blob of another length or a byte out of its
    // range; the stored blob is then unchanged.
    TarselResult SetBlob(int index, const std::vector<std::uint8_t>& blob,
                         TarselChangeSource source = TarselChangeSource::Host);
    // Several blobs by index at once, or none when any of them is refused.
    TarselResult SetBlobs(const std::map<int, std::vector<std::uint8_t>>& blobs, TarselChangeSource source);
    // Checks a blob as SetBlob does, without storing it.
    static TarselResult CheckBlob(int index, const std::vector<std::uint8_t>& blob);

    // Called after every change that altered a blob. Answers a token for
    // RemoveChangeListener, which returns once the listener no longer runs.
    int AddChangeListener(TarselChangeListener listener);
    void RemoveChangeListener(int token);

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
    // Stores the blobs and answers which ones differ from before.
    std::vector<int> Store(const TarselBlobs& blobs);
    void Notify(const std::vector<int>& changed, TarselChangeSource source);

    mutable std::mutex mMutex;
    TarselBlobs mBlobs;
    std::vector<std::uint8_t> mDeviceParam;
    bool mPresent = true;
    bool mConnected = true;

    std::mutex mListenerMutex;  // held while listeners run
    std::vector<std::pair<int, TarselChangeListener>> mListeners;
    int mLastListenerToken = 0;
};

// False when the environment holds TARSEL_SIMULATOR=0: the simulated keyboard
// is then left out whole, its MIDI ports and its device-control library alike.
bool IsTarselSimulatorSwitchedOn();

// The process-wide keyboard. An executable that links this library exports
// the instance, so a loaded library that links it too sees the same one.
TarselKeyboard& GetTarselKeyboard();

}  // namespace Platform
