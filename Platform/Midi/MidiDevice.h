#pragma once

// What an open MIDI input and an open MIDI output share: the caller's
// callback, the driver's port, the headers' life and a thread of the device
// that calls back. Derived is the device class; its address is the handle
// the callback gets. It provides Run (its thread), HoldsHeadersLocked,
// Shutdown (ends its thread and its port) and kCloseMessage.

#include "MidiDefinitions.h"
#include "MidiHeaderState.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace Platform::Midi {

template <class Derived, class Proc, class DriverPort>
class MidiDevice {
public:
    MidiDevice(const MidiDevice&) = delete;
    MidiDevice& operator=(const MidiDevice&) = delete;

    bool IsPresent() const { return mPort && mPort->IsPresent(); }

    // Refused while the device holds the caller's headers, and from the
    // device's own callback; sends the close message.
    MMRESULT Close()
    {
        {
            std::lock_guard lock(mMutex);
            if (static_cast<const Derived*>(this)->HoldsHeadersLocked()) {
                return MIDIERR_STILLPLAYING;
            }
        }
        if (OnOwnThread()) {
            return MMSYSERR_HANDLEBUSY;
        }
        static_cast<Derived*>(this)->Shutdown();
        Call(Derived::kCloseMessage, 0, 0);
        return MMSYSERR_NOERROR;
    }

    MMRESULT PrepareHeader(MidiHeader* header)
    {
        std::lock_guard lock(mMutex);
        return MidiHeaderState::Prepare(header);
    }

    MMRESULT UnprepareHeader(MidiHeader* header)
    {
        std::lock_guard lock(mMutex);
        return MidiHeaderState::Unprepare(header);
    }

protected:
    MidiDevice(Proc callback, std::uintptr_t instance) : mCallback(callback), mInstance(instance) {}
    ~MidiDevice() = default;

    // After the driver opened the port: the device's thread starts on
    // Derived::Run, then the open message goes out.
    MMRESULT Started(MMRESULT opened, std::uint32_t openMessage)
    {
        if (opened != MMSYSERR_NOERROR) {
            mPort.reset();
            return opened;
        }
        mThread = std::thread([this] { static_cast<Derived*>(this)->Run(); });
        Call(openMessage, 0, 0);
        return MMSYSERR_NOERROR;
    }

    void Call(std::uint32_t message, std::uintptr_t param1, std::uintptr_t param2)
    {
        if (mCallback != nullptr) {
            mCallback(static_cast<Derived*>(this), message, mInstance, param1, param2);
        }
    }

    bool OnOwnThread() const { return std::this_thread::get_id() == mThread.get_id(); }

    // Ends the device's thread and every wait on it.
    void StopThread()
    {
        {
            std::lock_guard lock(mMutex);
            mQuit = true;
        }
        mWake.notify_all();
        mProgress.notify_all();
        if (mThread.joinable()) {
            mThread.join();
        }
    }

    std::unique_ptr<DriverPort> mPort;
    mutable std::mutex mMutex;
    std::condition_variable mWake;      // the device's thread has work
    std::condition_variable mProgress;  // callers waiting on the device's thread
    bool mQuit = false;
    std::thread mThread;

private:
    const Proc mCallback;
    const std::uintptr_t mInstance;
};

}  // namespace Platform::Midi
