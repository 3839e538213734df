#pragma once
// One MIDI output of a comm. Its done gate is closed only while a long
// message is in the driver. A long message whose completion never came is
// taken back from the driver before its memory goes; one the driver still
// holds even then is kept until the device is closed.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "LMidiPort.h"
#include "MidiDefinitions.h"
#include "TrafficLight.h"

namespace QV {

class LMidiRenderPort final : public LMidiPort<MidiRenderDirection> {
    QV_TYPE_NAME("class QV::LMidiRenderPort")

public:
    LMidiRenderPort(const String& requestedName, const RCPtr<LMidiComm>& owner);
    ~LMidiRenderPort() override;

    // Opens the first device whose name matches the requested name: 0, the
    // services' error code, or 6 (no such device). Closes the port first
    // when it is open. Open and Close must not be called while holding the
    // comm's lock.
    uint32_t Open();
    void Close();

    // The services' result.
    uint32_t SendShort(uint32_t message);
    // count on success; E_FAIL when the driver refused the message or did
    // not take it within timeoutMs.
    [[nodiscard]] QVResult SendLong(const uint8_t* bytes, uint32_t count, uint32_t timeoutMs);

    TrafficLight& GetDoneGate() { return mDoneGate; }

private:
    // A long message's header and its own copy of the bytes.
    struct LongMessage {
        Platform::Midi::MidiHeader header{};
        std::vector<uint8_t> bytes;
    };

    TrafficLight mDoneGate;
    std::mutex mStrandedLock;
    // Messages the driver would not give back; freed once the device closed.
    std::vector<std::unique_ptr<LongMessage>> mStranded;
};

}  // namespace QV
