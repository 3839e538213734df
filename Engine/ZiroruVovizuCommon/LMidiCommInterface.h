#pragma once
// Access to MIDI ports: input (capture) and output (render) ports opened by a
// part of their name, sending, and "NID_MIDI_DATA_CAPTURED" for everything
// that arrives, published by the implementation as a distributor.
#include "IArray.h"
#include "LNotificationDistributor.h"
#include "RCPtr.h"
#include "Result.h"
#include "StringT.h"

namespace QV {

class LMidiCapturePort;
class LMidiRenderPort;

class LMidiCommInterface : public LNotificationDistributor {
    QV_TYPE_NAME("class QV::LMidiCommInterface")

public:
    // 0 with an open, started port; E_FAIL with port null.
    [[nodiscard]] virtual QVResult OpenCapturePort(const String& name, RCPtr<LMidiCapturePort>& port) = 0;
    // 0 with an open port; E_FAIL with port null.
    [[nodiscard]] virtual QVResult OpenRenderPort(const String& name, RCPtr<LMidiRenderPort>& port) = 0;
    // The number of bytes sent; E_INVALIDARG or E_FAIL.
    [[nodiscard]] virtual QVResult Send(const RCPtr<LRefCountedObject>& port, const IArray<signed char>& message) = 0;
};

}  // namespace QV
