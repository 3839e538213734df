#pragma once

// One open MIDI output: short messages go out on the caller's thread. A long
// message goes out on the caller's thread too when the driver takes it at
// once, answered by MOM_DONE before the call returns; one that the driver
// would hold goes out on a thread of the device, started on first need, and
// is answered from there once the driver took it.

#include "MidiDefinitions.h"
#include "MidiDevice.h"
#include "MidiDriver.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

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
    void StartThreadLocked();
    // The front header leaves the queue with the driver's result.
    void Finish(std::unique_lock<std::mutex>& lock, MMRESULT sent);

    std::mutex mSendMutex;  // one send in the driver at a time

    // Guarded by the device's lock.
    std::deque<MidiHeader*> mQueue;  // the front one may be in the driver
    bool mSendingHere = false;       // the caller's thread has the front one
    bool mDelivering = false;        // a MOM_DONE callback is running
    bool mResetting = false;
    bool mResetFromCallback = false;
    bool mQuit = false;
    std::condition_variable mWake;      // the device's thread has work
    std::condition_variable mProgress;  // callers waiting for the queue
    std::thread mThread;
};

}  // namespace Platform::Midi
