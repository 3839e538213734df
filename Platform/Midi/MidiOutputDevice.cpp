#include "MidiOutputDevice.h"

#include "MidiHeaderState.h"
#include "MidiInputParser.h"

namespace Platform::Midi {

MidiOutputDevice::MidiOutputDevice(MidiOutProc callback, std::uintptr_t instance) : MidiDevice(callback, instance) {}

MidiOutputDevice::~MidiOutputDevice()
{
    Shutdown();
}

MMRESULT MidiOutputDevice::Open(MidiDriver& driver, std::size_t index)
{
    return Started(driver.OpenOutput(index, mPort), MOM_OPEN);
}

MMRESULT MidiOutputDevice::ShortMsg(std::uint32_t message)
{
    const auto status = static_cast<std::uint8_t>(message & 0xFF);
    if (status < 0x80 || status == 0xF0 || status == 0xF7) {
        return MMSYSERR_INVALPARAM;
    }
    std::unique_lock send(mSendMutex, std::try_to_lock);
    if (!send.owns_lock()) {
        return MIDIERR_NOTREADY;
    }
    const std::uint8_t bytes[3] = {status, static_cast<std::uint8_t>(message >> 8),
                                   static_cast<std::uint8_t>(message >> 16)};
    return mPort->Send(bytes, MidiMessageLength(status));
}

MMRESULT MidiOutputDevice::LongMsg(MidiHeader* header)
{
    if (!MidiHeaderState::HasBuffer(header)) {
        return MMSYSERR_INVALPARAM;
    }
    if (!IsPresent()) {
        return MMSYSERR_NODRIVER;
    }
    std::unique_lock lock(mMutex);
    if (const MMRESULT result = MidiHeaderState::Queue(*header); result != MMSYSERR_NOERROR) {
        return result;
    }
    mQueue.push_back(header);
    // Nothing before it: offer it to the driver here, saving a hand-over.
    if (mQueue.size() == 1 && !mDelivering && !mResetting) {
        mSendingHere = true;
        lock.unlock();
        MMRESULT sent;
        {
            std::lock_guard send(mSendMutex);
            sent = mPort->TrySend(header->lpData, header->dwBufferLength);
        }
        lock.lock();
        mSendingHere = false;
        if (sent != MIDIERR_NOTREADY) {
            Finish(lock, sent);
            return MMSYSERR_NOERROR;
        }
    }
    StartThreadLocked();
    mWake.notify_one();
    return MMSYSERR_NOERROR;
}

MMRESULT MidiOutputDevice::Reset()
{
    if (OnOwnThread()) {
        // Called back from MOM_DONE: the queue is drained once it returns.
        std::lock_guard lock(mMutex);
        mResetting = true;
        mResetFromCallback = true;
        mPort->SetAborting(true);
        mWake.notify_one();
        return MMSYSERR_NOERROR;
    }
    std::unique_lock lock(mMutex);
    mResetting = true;
    mPort->SetAborting(true);
    mWake.notify_one();
    mProgress.wait(lock, [this] { return (mQueue.empty() && !mDelivering) || mQuit; });
    mResetting = false;
    mPort->SetAborting(false);
    return MMSYSERR_NOERROR;
}

bool MidiOutputDevice::HoldsHeadersLocked() const
{
    return !mQueue.empty();
}

void MidiOutputDevice::StartThreadLocked()
{
    if (!mThread.joinable() && !mQuit) {
        mThread = std::thread([this] { Run(); });
    }
}

void MidiOutputDevice::Shutdown()
{
    // A send the driver holds returns at once, so the thread can end.
    if (mPort) {
        mPort->SetAborting(true);
    }
    {
        std::lock_guard lock(mMutex);
        mQuit = true;
    }
    mWake.notify_all();
    mProgress.notify_all();
    if (mThread.joinable()) {
        mThread.join();
    }
    mPort.reset();
}

void MidiOutputDevice::Finish(std::unique_lock<std::mutex>& lock, MMRESULT sent)
{
    MidiHeader* header = mQueue.front();
    mQueue.pop_front();
    // MOM_DONE carries no result: the count tells the caller whether the
    // driver took the message.
    header->dwBytesRecorded = sent == MMSYSERR_NOERROR ? header->dwBufferLength : 0;
    MidiHeaderState::MarkDone(*header);
    mDelivering = true;
    lock.unlock();
    Call(MOM_DONE, reinterpret_cast<std::uintptr_t>(header), 0);
    lock.lock();
    mDelivering = false;
    if (mQueue.empty()) {
        if (mResetFromCallback) {
            mResetFromCallback = false;
            mResetting = false;
            mPort->SetAborting(false);
        }
        mProgress.notify_all();
    } else {
        // Queued behind a message sent on a caller's thread.
        StartThreadLocked();
        mWake.notify_one();
    }
}

void MidiOutputDevice::Run()
{
    const OnThisDevice marked(this);
    std::unique_lock lock(mMutex);
    while (true) {
        mWake.wait(lock, [this] { return mQuit || (!mQueue.empty() && !mSendingHere && !mDelivering); });
        if (mQuit) {
            break;
        }
        MidiHeader* header = mQueue.front();
        MMRESULT sent = MMSYSERR_ERROR;
        if (!mResetting) {
            lock.unlock();
            {
                std::lock_guard send(mSendMutex);
                sent = mPort->Send(header->lpData, header->dwBufferLength);
            }
            lock.lock();
        }
        Finish(lock, sent);
    }
}

}  // namespace Platform::Midi
