#pragma once

// The life of a caller's MidiHeader, the same for inputs and outputs: prepared
// once, queued at most once at a time, marked done when it comes back. The
// header's flags are shared with the device's thread, so every call but
// HasBuffer expects the device's lock to be held.

#include "MidiDefinitions.h"

namespace Platform::Midi::MidiHeaderState {

// A header with bytes to fill or to send.
bool HasBuffer(const MidiHeader* header);

// MMSYSERR_INVALPARAM for a header without bytes.
MMRESULT Prepare(MidiHeader* header);
// MIDIERR_STILLPLAYING while the services hold the header.
MMRESULT Unprepare(MidiHeader* header);
// MIDIERR_UNPREPARED or MIDIERR_STILLPLAYING, else the services hold it from now on.
MMRESULT Queue(MidiHeader& header);
// Back to its owner.
void MarkDone(MidiHeader& header);

}  // namespace Platform::Midi::MidiHeaderState
