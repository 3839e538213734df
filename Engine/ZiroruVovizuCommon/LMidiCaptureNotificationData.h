#pragma once
// The payload of "NID_MIDI_DATA_CAPTURED": one captured MIDI message, the
// name of the port it came in on, and for a short message the driver's time
// stamp. Blocks come from one process-wide reuse pool, and a short message
// stays inside the object, so capturing costs no heap allocation once the
// pool is warm.
#include <cstddef>
#include <cstdint>

#include "ArrayBufferM.h"
#include "RCPtr.h"
#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

class LMidiCaptureNotificationData final : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LMidiCaptureNotificationData")

public:
    static RCPtr<LMidiCaptureNotificationData> Create(const String& portName);

    static void* operator new(std::size_t size);
    static void operator delete(void* block);

    void AppendBytes(const uint8_t* bytes, uint32_t count);

    const IArray<signed char>& GetBytes() const { return mBytes; }
    const String& GetPortName() const { return mPortName; }
    // Milliseconds since the input was started; 0 for System Exclusive data.
    uint32_t GetTimestamp() const { return mTimestamp; }
    void SetTimestamp(uint32_t timestamp) { mTimestamp = timestamp; }

private:
    explicit LMidiCaptureNotificationData(const String& portName) : mPortName(portName) {}

    ArrayBufferM<signed char> mBytes;
    String mPortName;
    uint32_t mTimestamp = 0;
};

}  // namespace QV
