#pragma once

// One open MIDI output: short messages go out on the caller's thread, long
// messages one after another on a thread of the device, each answered with
// MOM_DONE once the driver took it.

#include "MidiDefinitions.h"
#include "MidiDriver.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace Platform::Midi {

class MidiOutputDevice final {
public:
    MidiOutputDevice(MidiOutProc callback, std::uintptr_t instance);
    ~MidiOutputDevice();
    MidiOutputDevice(const MidiOutputDevice&) = delete;
    MidiOutputDevice& operator=(const MidiOutputDevice&) = delete;

    // Opens the driver's port and sends MOM_OPEN.
    MMRESULT Open(MidiDriver& driver, std::size_t index);
    bool IsPresent() const;

    // MIDIERR_NOTREADY while a long message is in the driver.
    MMRESULT ShortMsg(std::uint32_t message);
    MMRESULT PrepareHeader(MidiHeader* header);
    MMRESULT UnprepareHeader(MidiHeader* header);
    MMRESULT LongMsg(MidiHeader* header);
    // Every long message still queued or in the driver comes back (MOM_DONE)
    // before this returns.
    MMRESULT Reset();
    // Refused while long messages are queued; sends MOM_CLOSE.
    MMRESULT Close();

private:
    void Run();
    void Call(std::uint32_t message, std::uintptr_t param1);
    bool OnOwnThread() const;
    void StopThread();

    const MidiOutProc mCallback;
    const std::uintptr_t mInstance;
    std::unique_ptr<MidiDriverOutput> mOutput;
    std::mutex mSendMutex;  // one send in the driver at a time

    mutable std::mutex mMutex;
    std::condition_variable mWake;
    std::condition_variable mDrained;
    std::deque<MidiHeader*> mQueue;  // the front one may be in the driver
    bool mDelivering = false;        // a MOM_DONE callback is running
    bool mResetting = false;
    bool mResetFromCallback = false;
    bool mQuit = false;
    std::thread mThread;
};

}  // namespace Platform::Midi
