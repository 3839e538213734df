#pragma once
// One MIDI input of a comm, with three 256-byte System Exclusive buffers kept
// with the driver. Its assembly state is guarded by the comm's lock; devices
// are stopped, reset and closed only outside that lock, since the driver
// hands buffers back through a callback that takes it.
#include <atomic>
#include <cstdint>

#include "MidiDefinitions.h"
#include "RCPtr.h"
#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

class LMidiComm;
class LMidiCaptureNotificationData;

class LMidiCapturePort final : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LMidiCapturePort")

public:
    static constexpr uint32_t kBufferCount = 3;
    static constexpr uint32_t kBufferSize = 256;

    LMidiCapturePort(const String& requestedName, const RCPtr<LMidiComm>& owner);
    ~LMidiCapturePort() override;
    LMidiCapturePort(const LMidiCapturePort&) = delete;
    LMidiCapturePort& operator=(const LMidiCapturePort&) = delete;

    // Leaves the comm's list.
    [[nodiscard]] QVResult ReleaseInternalReferences() override;

    // Opens the first device whose name matches the requested name and
    // queues the buffers: 0, the services' error code, or 6 (no such
    // device). Closes the port first when it is open.
    // Open and Close must not be called while holding the comm's lock.
    uint32_t Open();
    uint32_t Start();
    // Stops, resets and closes the device; buffers handed back meanwhile
    // are not requeued.
    void Close();
    // Whether the open device still answers.
    bool IsDeviceAnswering();

    uint32_t QueueBuffers();
    // Under the comm's lock: gives a returned buffer back to the driver;
    // 12 while closing or closed, 1 for a header that is not one of ours.
    uint32_t RequeueBuffer(Platform::Midi::MidiHeader* header);
    uint32_t UnprepareBuffers();
    bool IsOwnHeader(const Platform::Midi::MidiHeader* header) const;

    // Under the comm's lock, on the callback thread.
    void OnShortMessage(const uint8_t bytes[4], uint32_t timestamp);
    void OnLongData(const uint8_t* bytes, uint32_t count, bool complete);

    bool IsOpen() const { return GetHandle() != nullptr; }
    Platform::Midi::HMIDIIN GetHandle() const { return mHandle.load(std::memory_order_acquire); }
    const String& GetRequestedName() const { return mRequestedName; }
    String GetSystemName() const;
    // Under the comm's lock.
    const String& GetSystemNameLocked() const { return mSystemName; }

private:
    struct InputBuffer {
        InputBuffer();
        Platform::Midi::MidiHeader header;
        uint8_t data[kBufferSize];
        Platform::Midi::HMIDIIN preparedOn = nullptr;
    };

    void SetSystemName(const char16_t* name);

    const String mRequestedName;
    String mSystemName;
    std::atomic<Platform::Midi::HMIDIIN> mHandle{nullptr};
    RCPtr<LMidiComm> mOwner;
    InputBuffer mBuffers[kBufferCount];
    bool mClosing = false;
    RCPtr<LMidiCaptureNotificationData> mPending;
};

}  // namespace QV
