#pragma once

// The MIDI services the editor's port layer expects of the operating system:
// numbered input and output ports with names, opened with a callback; input
// System Exclusive data in the caller's buffers; short and long output
// messages. The ports of every driver are numbered one after another, in the
// order the drivers were given.

#include "MidiDefinitions.h"
#include "MidiDriver.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Platform::Midi {

class LoopbackMidiDriver;
class MidiInputDevice;
class MidiOutputDevice;

class MidiServices {
public:
    explicit MidiServices(std::vector<std::shared_ptr<MidiDriver>> drivers);
    // Closes whatever is still open, without callbacks.
    ~MidiServices();
    MidiServices(const MidiServices&) = delete;
    MidiServices& operator=(const MidiServices&) = delete;

    std::uint32_t InGetNumDevs();
    MMRESULT InGetDevCaps(std::uint32_t deviceId, MidiInCaps& caps);
    // By an open handle: MMSYSERR_NODRIVER once its device is gone.
    MMRESULT InGetDevCaps(HMIDIIN handle, MidiInCaps& caps);
    MMRESULT InOpen(HMIDIIN* handle, std::uint32_t deviceId, MidiInProc callback, std::uintptr_t instance,
                    std::uint32_t flags);
    MMRESULT InPrepareHeader(HMIDIIN handle, MidiHeader* header, std::uint32_t headerSize);
    MMRESULT InUnprepareHeader(HMIDIIN handle, MidiHeader* header, std::uint32_t headerSize);
    MMRESULT InAddBuffer(HMIDIIN handle, MidiHeader* header, std::uint32_t headerSize);
    MMRESULT InStart(HMIDIIN handle);
    MMRESULT InStop(HMIDIIN handle);
    MMRESULT InReset(HMIDIIN handle);
    MMRESULT InClose(HMIDIIN handle);

    std::uint32_t OutGetNumDevs();
    MMRESULT OutGetDevCaps(std::uint32_t deviceId, MidiOutCaps& caps);
    MMRESULT OutGetDevCaps(HMIDIOUT handle, MidiOutCaps& caps);
    MMRESULT OutOpen(HMIDIOUT* handle, std::uint32_t deviceId, MidiOutProc callback, std::uintptr_t instance,
                     std::uint32_t flags);
    MMRESULT OutShortMsg(HMIDIOUT handle, std::uint32_t message);
    MMRESULT OutPrepareHeader(HMIDIOUT handle, MidiHeader* header, std::uint32_t headerSize);
    MMRESULT OutUnprepareHeader(HMIDIOUT handle, MidiHeader* header, std::uint32_t headerSize);
    MMRESULT OutLongMsg(HMIDIOUT handle, MidiHeader* header, std::uint32_t headerSize);
    MMRESULT OutReset(HMIDIOUT handle);
    MMRESULT OutClose(HMIDIOUT handle);

    // The simulated Tarsel's driver among the drivers, or null.
    LoopbackMidiDriver* GetLoopback() const;

private:
    struct Port {
        MidiDriver* driver;
        std::size_t index;
        std::string name;
    };
    bool FindPort(bool input, std::uint32_t deviceId, Port& port);
    std::shared_ptr<MidiInputDevice> FindInput(HMIDIIN handle);
    std::shared_ptr<MidiOutputDevice> FindOutput(HMIDIOUT handle);

    const std::vector<std::shared_ptr<MidiDriver>> mDrivers;
    std::mutex mMutex;  // guards the two handle maps
    std::map<HMIDIIN, std::shared_ptr<MidiInputDevice>> mInputs;
    std::map<HMIDIOUT, std::shared_ptr<MidiOutputDevice>> mOutputs;
    std::map<HMIDIIN, std::string> mInputNames;
    std::map<HMIDIOUT, std::string> mOutputNames;
};

// The process-wide services: the ALSA sequencer's ports, then the simulated
// Tarsel's unless the environment holds TARSEL_SIMULATOR=0.
MidiServices& GetMidiServices();

// Puts other services in place of the process-wide ones for the life of the
// object (tests); they must not be used once it is gone.
class ScopedMidiServices {
public:
    explicit ScopedMidiServices(MidiServices& services);
    ~ScopedMidiServices();
    ScopedMidiServices(const ScopedMidiServices&) = delete;
    ScopedMidiServices& operator=(const ScopedMidiServices&) = delete;

private:
    MidiServices* mPrevious;
};

// UTF-8 port name to a capability record's UTF-16 name, cut to 31 units
// without splitting a surrogate pair.
void CopyPortName(const std::string& utf8, char16_t (&name)[MAXPNAMELEN]);

}  // namespace Platform::Midi
