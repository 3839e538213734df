#pragma once

// One open MIDI output: short messages go out on the caller's thread, long
// messages one after another on a thread of the device, each answered with
// MOM_DONE once the driver took it.

#include "MidiDefinitions.h"
#include "MidiDevice.h"
#include "MidiDriver.h"

#include <deque>
#include <mutex>

namespace Platform::Midi {

class MidiOutputDevice final : public MidiDevice<MidiOutputDevice, MidiOutProc, MidiDriverOutput> {
public:
    MidiOutputDevice(MidiOutProc callback, std::uintptr_t instance);
    ~MidiOutputDevice();

    // Opens the driver's port and sends MOM_OPEN.
    MMRESULT Open(MidiDriver& driver, std::size_t index);

    // MIDIERR_NOTREADY while a long message is in the driver.
    MMRESULT ShortMsg(std::uint32_t message);
    MMRESULT LongMsg(MidiHeader* header);
    // Every long message still queued or in the driver comes back (MOM_DONE)
    // before this returns.
    MMRESULT Reset();

private:
    static constexpr std::uint32_t kCloseMessage = MOM_CLOSE;

    friend class MidiDevice<MidiOutputDevice, MidiOutProc, MidiDriverOutput>;

    bool HoldsHeadersLocked() const;
    void Shutdown();

    void Run();

    std::mutex mSendMutex;  // one send in the driver at a time

    // Guarded by the device's lock.
    std::deque<MidiHeader*> mQueue;  // the front one may be in the driver
    bool mDelivering = false;        // a MOM_DONE callback is running
    bool mResetting = false;
    bool mResetFromCallback = false;
};

}  // namespace Platform::Midi
