#pragma once

// The codes, header and capability records of the MIDI services, with the
// numeric values the editor's MIDI port layer was written against.

#include <cstddef>
#include <cstdint>

namespace Platform::Midi {

using MMRESULT = std::uint32_t;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT MMSYSERR_HANDLEBUSY = 12;
inline constexpr MMRESULT MIDIERR_UNPREPARED = 64;
inline constexpr MMRESULT MIDIERR_STILLPLAYING = 65;
inline constexpr MMRESULT MIDIERR_NOTREADY = 67;

// Messages to the input and output callbacks.
inline constexpr std::uint32_t MIM_OPEN = 0x3C1;
inline constexpr std::uint32_t MIM_CLOSE = 0x3C2;
inline constexpr std::uint32_t MIM_DATA = 0x3C3;
inline constexpr std::uint32_t MIM_LONGDATA = 0x3C4;
inline constexpr std::uint32_t MIM_ERROR = 0x3C5;
inline constexpr std::uint32_t MIM_LONGERROR = 0x3C6;
inline constexpr std::uint32_t MOM_OPEN = 0x3C7;
inline constexpr std::uint32_t MOM_CLOSE = 0x3C8;
inline constexpr std::uint32_t MOM_DONE = 0x3C9;
inline constexpr std::uint32_t MIM_MOREDATA = 0x3CC;

// Open flags.
inline constexpr std::uint32_t CALLBACK_NULL = 0x00000;
inline constexpr std::uint32_t CALLBACK_FUNCTION = 0x30000;
inline constexpr std::uint32_t MIDI_IO_STATUS = 0x00020;

// Header flags.
inline constexpr std::uint32_t MHDR_DONE = 0x1;
inline constexpr std::uint32_t MHDR_PREPARED = 0x2;
inline constexpr std::uint32_t MHDR_INQUEUE = 0x4;

inline constexpr std::size_t MAXPNAMELEN = 32;

// A buffer handed to the services: System Exclusive input buffers and long
// output messages. The caller owns it and its bytes; while MHDR_INQUEUE is
// set the services hold it and it must be neither changed nor freed.
struct MidiHeader {
    std::uint8_t* lpData = nullptr;
    std::uint32_t dwBufferLength = 0;
    std::uint32_t dwBytesRecorded = 0;
    std::uintptr_t dwUser = 0;
    std::uint32_t dwFlags = 0;
};

// szPname: the port's name in UTF-16, NUL-terminated, at most 31 units.
struct MidiInCaps {
    char16_t szPname[MAXPNAMELEN] = {};
};

struct MidiOutCaps {
    char16_t szPname[MAXPNAMELEN] = {};
};

class MidiInputDevice;
class MidiOutputDevice;
using HMIDIIN = MidiInputDevice*;
using HMIDIOUT = MidiOutputDevice*;

// Called on a thread of the services, never inside the caller's own call
// except for MIM_OPEN/MOM_OPEN (inside the open) and MIM_CLOSE/MOM_CLOSE
// (inside the close). MIM_DATA: param1 the message, status byte in the
// lowest 8 bits; param2 milliseconds since the input was started.
// MIM_LONGDATA, MIM_LONGERROR (System Exclusive cut short by a status byte)
// and MOM_DONE: param1 the MidiHeader*. At MOM_DONE the header's
// dwBytesRecorded is dwBufferLength when the driver took the message and 0
// when it refused it or a reset took it back. MIM_ERROR: param1 a byte that
// belongs to no message. Closing a device from its own callback answers
// MMSYSERR_HANDLEBUSY.
using MidiInProc = void (*)(HMIDIIN handle, std::uint32_t message, std::uintptr_t instance, std::uintptr_t param1,
                            std::uintptr_t param2);
using MidiOutProc = void (*)(HMIDIOUT handle, std::uint32_t message, std::uintptr_t instance, std::uintptr_t param1,
                             std::uintptr_t param2);

}  // namespace Platform::Midi
