#pragma once
// The editor's MIDI ports over the MIDI services. Input is taken over on the
// services' callback threads, assembled there under the comm's lock and
// handed to the comm's one-worker pool, so subscribers of
// "NID_MIDI_DATA_CAPTURED" always run on that worker, in the order of
// capture. Sending blocks the caller until the driver has taken the message.
//
// A port holds its comm; the comm's lists hold its ports only as internal
// references, so a port lives exactly as long as its user holds it.
#include <cstdint>

#include "LMidiCommInterface.h"
#include "LThreadPool.h"
#include "LThreadWorker.h"
#include "MidiServices.h"
#include "Mutex.h"
#include "RCPtrArray.h"

namespace QV {

class LMidiCaptureNotificationData;

class LMidiComm final : public LMidiCommInterface, public LThreadWorker {
    QV_TYPE_NAME("class QV::LMidiComm")

public:
    static constexpr const char16_t* kDataCapturedNotification = u"NID_MIDI_DATA_CAPTURED";
    // How long a send waits for the driver to take a long message.
    static constexpr uint32_t kSendTimeoutMs = 10000;
    static constexpr int32_t kPoolPriority = 2;
    static constexpr int32_t kCapturePriority = 0;

    // Works on the process-wide MIDI services as they are at this call, and
    // delivers on a pool of its own.
    static RCPtr<LMidiComm> Create(uint32_t sendTimeoutMs = kSendTimeoutMs);
    // Delivers on the given pool (one of its own when null), which may serve
    // one comm after another: its worker thread is then started once, not
    // with every comm.
    static RCPtr<LMidiComm> Create(uint32_t sendTimeoutMs, const RCPtr<LThreadPool>& pool);
    // A pool as a comm makes for itself: one worker, its queue run at kPoolPriority.
    static RCPtr<LThreadPool> CreatePool();
    ~LMidiComm() override;

    LMidiComm(const LMidiComm&) = delete;
    LMidiComm& operator=(const LMidiComm&) = delete;

    // The port of the list whose system name matches is reused while its
    // device answers, and opened anew (and started) when it does not; an
    // empty name only finds a listed port.
    [[nodiscard]] QVResult OpenCapturePort(const String& name, RCPtr<LMidiCapturePort>& port) override;
    [[nodiscard]] QVResult OpenRenderPort(const String& name, RCPtr<LMidiRenderPort>& port) override;
    // A message that begins with a status byte other than F0 and F7 goes out
    // as a short message and needs as many bytes as its status byte says
    // (GetShortMessageLength), else E_INVALIDARG; the result is that length.
    // Anything else goes out as one long message; the result is its length.
    // E_INVALIDARG for a port that is not a render port or an empty message;
    // E_FAIL when the driver refuses it or does not take it in time.
    [[nodiscard]] QVResult Send(const RCPtr<LRefCountedObject>& port, const IArray<signed char>& message) override;

    // Delivers one captured message to the subscribers; on the pool's worker.
    [[nodiscard]] QVResult Run(RCPtr<LRefCountedObject>& parameters) override;

    // 0, or E_FAIL when the port is not listed. The list's reference goes.
    [[nodiscard]] QVResult RemoveCapturePort(const LMidiCapturePort* port);
    [[nodiscard]] QVResult RemoveRenderPort(const LMidiRenderPort* port);

    // Whether requested, lower-cased, is part of the lower-cased system name.
    static bool IsNameMatch(const String& systemName, const String& requested);

    // The services' callbacks; instance is the comm.
    static void MidiInProc(Platform::Midi::HMIDIIN handle, uint32_t message, uintptr_t instance,
                           uintptr_t param1, uintptr_t param2);
    static void MidiOutProc(Platform::Midi::HMIDIOUT handle, uint32_t message, uintptr_t instance,
                            uintptr_t param1, uintptr_t param2);

    // For the ports.
    Platform::Midi::MidiServices& GetServices() const { return mServices; }
    Mutex& GetLock() { return mLock; }
    uint32_t GetSendTimeoutMs() const { return mSendTimeoutMs; }
    // Queues captured data for delivery; called under the lock.
    void QueueCapture(const RCPtr<LMidiCaptureNotificationData>& data);

    uint32_t GetCapturePortCount();
    uint32_t GetRenderPortCount();

private:
    LMidiComm(Platform::Midi::MidiServices& services, uint32_t sendTimeoutMs, const RCPtr<LThreadPool>& pool);

    void OnInputEvent(Platform::Midi::HMIDIIN handle, uint32_t message, uintptr_t param1, uintptr_t param2);
    void OnOutputEvent(Platform::Midi::HMIDIOUT handle, uint32_t message);
    // Both directions alike; a capture port is started once open.
    template <class Port>
    [[nodiscard]] QVResult OpenPort(RCPtrArray<Port>& list, const String& name, RCPtr<Port>& port);

    RCPtrArray<LMidiCapturePort> mCapturePorts;
    RCPtrArray<LMidiRenderPort> mRenderPorts;
    RCPtr<LThreadPool> mPool;
    // Guards both lists and every capture port's assembly; held by the
    // callbacks, so no device is stopped, reset or closed while it is held.
    Mutex mLock;
    // Serialises the open operations; never taken by a callback.
    Mutex mOpenLock;
    Platform::Midi::MidiServices& mServices;
    const uint32_t mSendTimeoutMs;
};

}  // namespace QV
