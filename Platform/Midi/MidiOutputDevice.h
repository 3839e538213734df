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

    const MidiOutProc callback_;
    const std::uintptr_t instance_;
    std::unique_ptr<MidiDriverOutput> output_;
    std::mutex sendMutex_;  // one send in the driver at a time

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable drained_;
    std::deque<MidiHeader*> queue_;  // the front one may be in the driver
    bool delivering_ = false;        // a MOM_DONE callback is running
    bool resetting_ = false;
    bool resetFromCallback_ = false;
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace Platform::Midi
