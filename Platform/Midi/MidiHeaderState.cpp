#include "MidiHeaderState.h"

namespace Platform::Midi::MidiHeaderState {

bool HasBuffer(const MidiHeader* header)
{
    return header != nullptr && header->lpData != nullptr && header->dwBufferLength != 0;
}

MMRESULT Prepare(MidiHeader* header)
{
    if (!HasBuffer(header)) {
        return MMSYSERR_INVALPARAM;
    }
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT Unprepare(MidiHeader* header)
{
    if (header == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    if (header->dwFlags & MHDR_INQUEUE) {
        return MIDIERR_STILLPLAYING;
    }
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT Queue(MidiHeader& header)
{
    if (!(header.dwFlags & MHDR_PREPARED)) {
        return MIDIERR_UNPREPARED;
    }
    if (header.dwFlags & MHDR_INQUEUE) {
        return MIDIERR_STILLPLAYING;
    }
    header.dwFlags = (header.dwFlags | MHDR_INQUEUE) & ~MHDR_DONE;
    return MMSYSERR_NOERROR;
}

void MarkDone(MidiHeader& header)
{
    header.dwFlags = (header.dwFlags | MHDR_DONE) & ~MHDR_INQUEUE;
}

}  // namespace Platform::Midi::MidiHeaderState
