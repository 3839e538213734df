#pragma once
// One MIDI input of a comm, with three 256-byte System Exclusive buffers kept
// with the driver. Its assembly state is guarded by the comm's lock; devices
// are stopped, reset and closed only outside that lock, since the driver
// hands buffers back through a callback that takes it.
#include <cstdint>

#include "LMidiPort.h"
#include "MidiDefinitions.h"

namespace QV {

class LMidiCaptureNotificationData;

class LMidiCapturePort final : public LMidiPort<MidiCaptureDirection> {
    QV_TYPE_NAME("class QV::LMidiCapturePort")

public:
    static constexpr uint32_t kBufferCount = 3;
    static constexpr uint32_t kBufferSize = 256;

    LMidiCapturePort(const String& requestedName, const RCPtr<LMidiComm>& owner);
    ~LMidiCapturePort() override;

    // Opens the first device whose name matches the requested name and
    // queues the buffers: 0, the services' error code, or 6 (no such
    // device). Closes the port first when it is open.
    // Open and Close must not be called while holding the comm's lock.
    uint32_t Open();
    uint32_t Start();
    // Stops, resets and closes the device; buffers handed back meanwhile
    // are not requeued.
    void Close();

    uint32_t QueueBuffers();
    // Under the comm's lock: gives a returned buffer back to the driver;
    // 12 while closing or closed, 1 for a header that is not one of ours.
    uint32_t RequeueBuffer(Platform::Midi::MidiHeader* header);
    uint32_t UnprepareBuffers();
    bool IsOwnHeader(const Platform::Midi::MidiHeader* header) const;

    // Under the comm's lock, on the callback thread.
    void OnShortMessage(const uint8_t bytes[4], uint32_t timestamp);
    void OnLongData(const uint8_t* bytes, uint32_t count, bool complete);
    // A message cut short by a status byte: what was pending of it goes.
    void OnLongError();

private:
    struct InputBuffer {
        InputBuffer();
        Platform::Midi::MidiHeader header;
        uint8_t data[kBufferSize];
        Platform::Midi::HMIDIIN preparedOn = nullptr;
    };

    InputBuffer mBuffers[kBufferCount];
    bool mClosing = false;
    RCPtr<LMidiCaptureNotificationData> mPending;
};

}  // namespace QV
