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

    // The open devices of one direction by handle, with their ports' names.
    template <class Device>
    class OpenDevices {
    public:
        std::shared_ptr<Device> Find(Device* handle) const
        {
            std::lock_guard lock(mMutex);
            const auto it = mEntries.find(handle);
            return it == mEntries.end() ? nullptr : it->second.device;
        }
        bool FindName(Device* handle, std::string& name) const
        {
            std::lock_guard lock(mMutex);
            const auto it = mEntries.find(handle);
            if (it == mEntries.end()) {
                return false;
            }
            name = it->second.name;
            return true;
        }
        void Add(const std::shared_ptr<Device>& device, const std::string& name)
        {
            std::lock_guard lock(mMutex);
            mEntries[device.get()] = {device, name};
        }
        void Remove(Device* handle)
        {
            std::lock_guard lock(mMutex);
            mEntries.erase(handle);
        }
        // Destroyed outside the lock: a callback still running may look a handle up.
        void Clear()
        {
            std::map<Device*, Entry> entries;
            std::lock_guard lock(mMutex);
            entries.swap(mEntries);
        }

    private:
        struct Entry {
            std::shared_ptr<Device> device;
            std::string name;
        };
        mutable std::mutex mMutex;
        std::map<Device*, Entry> mEntries;
    };

    bool FindPort(bool input, std::uint32_t deviceId, Port& port);
    std::uint32_t CountPorts(bool input);
    template <class Caps>
    MMRESULT GetDevCaps(bool input, std::uint32_t deviceId, Caps& caps);
    template <class Device, class Caps>
    static MMRESULT GetDevCaps(const OpenDevices<Device>& devices, Device* handle, Caps& caps);
    template <class Device, class Proc>
    MMRESULT Open(OpenDevices<Device>& devices, bool input, Device** handle, std::uint32_t deviceId, Proc callback,
                  std::uintptr_t instance, std::uint32_t flags);
    template <class Device>
    static MMRESULT Close(OpenDevices<Device>& devices, Device* handle);

    const std::vector<std::shared_ptr<MidiDriver>> mDrivers;
    OpenDevices<MidiInputDevice> mInputs;
    OpenDevices<MidiOutputDevice> mOutputs;
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
