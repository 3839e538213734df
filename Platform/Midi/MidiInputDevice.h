#pragma once

// One open MIDI input: takes the bytes its driver delivers, splits them into
// short messages and System Exclusive data, fills the caller's buffers and
// calls the caller back on the driver's thread as the bytes arrive, so no
// further thread stands between the driver and the caller.

#include "MidiDefinitions.h"
#include "MidiDevice.h"
#include "MidiDriver.h"
#include "MidiInputParser.h"

#include <chrono>
#include <mutex>
#include <vector>

namespace Platform::Midi {

class MidiInputDevice final : public MidiDevice<MidiInputDevice, MidiInProc, MidiDriverInput>,
                              private MidiInputSink,
                              private MidiInputParser::Listener {
public:
    MidiInputDevice(MidiInProc callback, std::uintptr_t instance);
    ~MidiInputDevice();

    // Opens the driver's port and sends MIM_OPEN.
    MMRESULT Open(MidiDriver& driver, std::size_t index);

    MMRESULT AddBuffer(MidiHeader* header);
    MMRESULT Start();
    // Input stops; a partly filled buffer comes back, empty ones stay queued.
    MMRESULT Stop();
    // Input stops; what arrived before has been delivered, then every queued
    // buffer comes back (MIM_LONGDATA), all before this returns.
    MMRESULT Reset();

private:
    static constexpr std::uint32_t kCloseMessage = MIM_CLOSE;

    friend class MidiDevice<MidiInputDevice, MidiInProc, MidiDriverInput>;

    bool HoldsHeadersLocked() const;
    void Shutdown();

    void OnBytes(const std::uint8_t* data, std::size_t size) override;
    void OnShortMessage(std::uint32_t packed) override;
    void OnSysExByte(std::uint8_t byte) override;
    void OnSysExEnd(bool endsWithF7) override;
    void OnStrayByte(std::uint8_t byte) override;

    MMRESULT Halt(bool allBuffers);
    void ReturnBuffers(bool all);

    // One delivery at a time, in arrival order; a callback may stop or reset
    // its own device.
    std::recursive_mutex mDeliveryMutex;
    MidiInputParser mParser;              // under the delivery lock
    std::uint32_t mCurrentTimestamp = 0;  // under the delivery lock

    // Guarded by the device's lock. Oldest first, in a vector: a buffer that
    // comes back and is queued again, as every capture buffer is, then
    // allocates nothing on the driver's thread, where a deque would now and
    // then.
    std::vector<MidiHeader*> mBuffers;
    bool mStarted = false;
    bool mClosed = false;
    bool mDropping = false;
    std::chrono::steady_clock::time_point mStartTime;
};

}  // namespace Platform::Midi
