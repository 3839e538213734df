#pragma once

// One open MIDI input: takes the bytes its driver delivers, splits them into
// short messages and System Exclusive data, fills the caller's buffers and
// calls the caller back on a thread of its own.

#include "MidiDefinitions.h"
#include "MidiDriver.h"
#include "MidiInputParser.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace Platform::Midi {

class MidiInputDevice final : private MidiInputSink, private MidiInputParser::Listener {
public:
    MidiInputDevice(MidiInProc callback, std::uintptr_t instance);
    ~MidiInputDevice();
    MidiInputDevice(const MidiInputDevice&) = delete;
    MidiInputDevice& operator=(const MidiInputDevice&) = delete;

    // Opens the driver's port and sends MIM_OPEN.
    MMRESULT Open(MidiDriver& driver, std::size_t index);
    bool IsPresent() const;

    MMRESULT PrepareHeader(MidiHeader* header);
    MMRESULT UnprepareHeader(MidiHeader* header);
    MMRESULT AddBuffer(MidiHeader* header);
    MMRESULT Start();
    // Input stops; a partly filled buffer comes back, empty ones stay queued.
    MMRESULT Stop();
    // Input stops; what arrived before is still delivered, then every queued
    // buffer comes back (MIM_LONGDATA), all before this returns.
    MMRESULT Reset();
    // Refused while buffers are queued; sends MIM_CLOSE.
    MMRESULT Close();

private:
    struct Item {
        enum class Kind { Bytes, Stop, Reset } kind;
        std::vector<std::uint8_t> bytes;
        std::uint32_t timestamp = 0;
    };

    void OnBytes(const std::uint8_t* data, std::size_t size) override;
    void OnShortMessage(std::uint32_t packed) override;
    void OnSysExByte(std::uint8_t byte) override;
    void OnSysExEnd(bool endsWithF7) override;
    void OnStrayByte(std::uint8_t byte) override;

    void Run();
    void Process(Item& item);
    void ReturnBuffers(bool all);
    void Call(std::uint32_t message, std::uintptr_t param1, std::uintptr_t param2);
    bool OnOwnThread() const;
    void StopThread();

    const MidiInProc mCallback;
    const std::uintptr_t mInstance;
    std::unique_ptr<MidiDriverInput> mInput;
    MidiInputParser mParser;              // used on the device thread only
    std::uint32_t mCurrentTimestamp = 0;  // device thread only

    mutable std::mutex mMutex;
    std::condition_variable mWake;
    std::condition_variable mResetDone;
    std::deque<Item> mItems;
    std::deque<MidiHeader*> mBuffers;
    bool mStarted = false;
    bool mDropping = false;
    bool mQuit = false;
    std::uint64_t mResetsRequested = 0;
    std::uint64_t mResetsDone = 0;
    std::chrono::steady_clock::time_point mStartTime;
    std::thread mThread;
};

}  // namespace Platform::Midi
