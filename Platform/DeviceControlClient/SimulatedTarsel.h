#pragma once
// The state behind the simulated device-control library: one keyboard
// (shared with the simulated MIDI ports), at most one client connection,
// the remote devices a scan reports, and what tests script and read.
#include <cstdint>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "DeviceControlClientApi.h"
#include "SimulatorControl.h"
#include "ValueSetDispatcher.h"

namespace Platform {
class TarselKeyboard;
}

namespace DeviceControlClient {

// Failures the simulated library reports.
inline constexpr int32_t kNoSuchDevice = -2;
inline constexpr int32_t kNotConnected = -3;
inline constexpr int32_t kBadParameter = -4;
inline constexpr int32_t kValueRefused = -5;

class SimulatedTarsel {
public:
    SimulatedTarsel();
    ~SimulatedTarsel();
    SimulatedTarsel(const SimulatedTarsel&) = delete;
    SimulatedTarsel& operator=(const SimulatedTarsel&) = delete;

    // The library's one instance; lives until the library is unloaded.
    static SimulatedTarsel& Instance();

    // The DVCL_* entries' work. Each answers what the entry returns.
    [[nodiscard]] int32_t FindRemoteDevices(QV::Variant* result);
    [[nodiscard]] int32_t ConnectDevice(const QV::Variant* device, DVCL_ValueSetCallback callback, void* context);
    [[nodiscard]] int32_t RequestParamRanges(const QV::Variant* device, const QV::ParamRanges* ranges);
    [[nodiscard]] int32_t RequestParamValues(const QV::Variant* device, const QV::ParamDescriptors* descriptors);
    // 0 when the device is the connected one, else kNotConnected.
    [[nodiscard]] int32_t CheckConnected(const QV::Variant* device) const;
    [[nodiscard]] int32_t GetParamValue(const QV::Variant* device, const QV::ParamDescriptor* descriptor,
                                        QV::Variant* value);
    [[nodiscard]] int32_t SetParamValue(const QV::Variant* device, const QV::ParamDescriptor* descriptor,
                                        const QV::Variant* value);
    [[nodiscard]] int32_t DisconnectDevice(const QV::Variant* device);
    // 0 while a client is connected, 1 otherwise.
    int32_t IsDeviceConnected() const;
    [[nodiscard]] int32_t GetDeviceInfo(const QV::Variant* device, uint8_t* record) const;
    [[nodiscard]] int32_t ReleaseAll();

    // Runs one entry: a scripted negative result replaces the work, a
    // scripted other result replaces the work's answer. Logs the call.
    template <class Work>
    int32_t Call(const char* entry, std::initializer_list<uint64_t> args, Work work)
    {
        const std::optional<int32_t> scripted = GetScriptedResult(entry);
        int32_t result = 0;
        if (scripted && *scripted < 0) {
            result = *scripted;
        } else {
            result = work();
            if (scripted) result = *scripted;
        }
        Record(entry, args, result);
        return result;
    }

    // Test controls (SIM_*).
    void Reset();
    [[nodiscard]] int32_t SetScriptedResult(const char* entry, int32_t result);
    void ClearScriptedResults();
    int32_t GetCallCount() const;
    [[nodiscard]] int32_t GetCall(int32_t index, SIM_CallRecord* record) const;
    void ClearCallLog();
    void SetRemoteDevices(const QV::Variant* devices);
    [[nodiscard]] int32_t InjectValueSet(const QV::ParamValues& values);
    [[nodiscard]] int32_t InjectBurst(int32_t id, int32_t count);
    void BlockCallbacks(bool block) { mDispatcher.SetBlocked(block); }
    bool WaitForCallbacks(uint32_t timeoutMs) { return mDispatcher.WaitUntilIdle(timeoutMs); }
    void SetPresent(bool present);
    // While set, device-info records report the keyboard as not connected.
    void HideConnectedFlag(bool hide);
    bool IsClientConnected() const;
    [[nodiscard]] int32_t GetKeyboardValue(int32_t id, QV::Variant* value) const;

    static bool IsEntryName(const std::string& entry);

private:
    struct Connection {
        uint64_t number = 0;  // 0: none
        QV::Variant device;
        DVCL_ValueSetCallback callback = nullptr;
        void* context = nullptr;
    };

    std::optional<int32_t> GetScriptedResult(const char* entry) const;
    void Record(const char* entry, std::initializer_list<uint64_t> args, int32_t result);
    bool IsKnownDevice(const QV::Variant& device) const;
    bool IsConnectedTo(const QV::Variant* device) const;
    // Whether a keyboard is there to talk to: never with the simulator switched off.
    bool IsKeyboardAttached() const;
    // Posts to the connected client; false without a connection.
    bool Post(const QV::ParamValues& values);
    // Drops the client connection and waits for its callbacks to end.
    void DropConnection();
    static Platform::TarselKeyboard& Keyboard();
    // A change made on the keyboard itself reaches the client as a value set,
    // as a real keyboard reports it.
    void ReportKeyboardChange(const std::vector<int>& changed);

    mutable std::mutex mLock;  // everything below but the dispatcher
    Connection mConnection;
    uint64_t mLastConnection = 0;
    std::vector<QV::Variant> mRemoteDevices;
    std::map<std::string, int32_t> mScripted;
    std::vector<SIM_CallRecord> mCalls;
    bool mHideConnectedFlag = false;
    // TARSEL_SIMULATOR=0: the library answers as one with no keyboard attached.
    const bool mSwitchedOn;
    ValueSetDispatcher mDispatcher;
    int mKeyboardListener = 0;
};

}  // namespace DeviceControlClient
