#pragma once

// What an open MIDI input and an open MIDI output share: the caller's
// callback, the driver's port and the headers' life. Derived is the device
// class; its address is the handle the callback gets. It provides
// HoldsHeadersLocked, Shutdown (ends its port and any thread of its own) and
// kCloseMessage.

#include "MidiDefinitions.h"
#include "MidiHeaderState.h"

#include <memory>
#include <mutex>

namespace Platform::Midi {

// The device whose callback or thread this thread is running, so a device
// can tell a call made from inside its own callback.
inline thread_local const void* tMidiDeviceOnThread = nullptr;

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
    // Marks the calling thread as running this device for the object's life.
    class OnThisDevice {
    public:
        explicit OnThisDevice(const void* device) : mPrevious(tMidiDeviceOnThread) { tMidiDeviceOnThread = device; }
        ~OnThisDevice() { tMidiDeviceOnThread = mPrevious; }
        OnThisDevice(const OnThisDevice&) = delete;
        OnThisDevice& operator=(const OnThisDevice&) = delete;

    private:
        const void* mPrevious;
    };

    MidiDevice(Proc callback, std::uintptr_t instance) : mCallback(callback), mInstance(instance) {}
    ~MidiDevice() = default;

    // After the driver opened the port: the open message goes out.
    MMRESULT Started(MMRESULT opened, std::uint32_t openMessage)
    {
        if (opened != MMSYSERR_NOERROR) {
            mPort.reset();
            return opened;
        }
        Call(openMessage, 0, 0);
        return MMSYSERR_NOERROR;
    }

    void Call(std::uint32_t message, std::uintptr_t param1, std::uintptr_t param2)
    {
        if (mCallback != nullptr) {
            const OnThisDevice marked(this);
            mCallback(static_cast<Derived*>(this), message, mInstance, param1, param2);
        }
    }

    // Inside this device's callback or on its own thread.
    bool OnOwnThread() const { return tMidiDeviceOnThread == this; }

    std::unique_ptr<DriverPort> mPort;
    mutable std::mutex mMutex;

private:
    const Proc mCallback;
    const std::uintptr_t mInstance;
};

}  // namespace Platform::Midi
