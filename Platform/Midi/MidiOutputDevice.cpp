#include "MidiOutputDevice.h"

#include "MidiHeaderState.h"
#include "MidiInputParser.h"

namespace Platform::Midi {

MidiOutputDevice::MidiOutputDevice(MidiOutProc callback, std::uintptr_t instance)
    : mCallback(callback), mInstance(instance)
{}

MidiOutputDevice::~MidiOutputDevice()
{
    if (mOutput) {
        mOutput->SetAborting(true);
    }
    StopThread();
    mOutput.reset();
}

MMRESULT MidiOutputDevice::Open(MidiDriver& driver, std::size_t index)
{
    const MMRESULT result = driver.OpenOutput(index, mOutput);
    if (result != MMSYSERR_NOERROR) {
        mOutput.reset();
        return result;
    }
    mThread = std::thread([this] { Run(); });
    Call(MOM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

bool MidiOutputDevice::IsPresent() const
{
    return mOutput && mOutput->IsPresent();
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
    return mOutput->Send(bytes, MidiMessageLength(status));
}

MMRESULT MidiOutputDevice::PrepareHeader(MidiHeader* header)
{
    std::lock_guard lock(mMutex);
    return MidiHeaderState::Prepare(header);
}

MMRESULT MidiOutputDevice::UnprepareHeader(MidiHeader* header)
{
    std::lock_guard lock(mMutex);
    return MidiHeaderState::Unprepare(header);
}

MMRESULT MidiOutputDevice::LongMsg(MidiHeader* header)
{
    if (!MidiHeaderState::HasBuffer(header)) {
        return MMSYSERR_INVALPARAM;
    }
    if (!IsPresent()) {
        return MMSYSERR_NODRIVER;
    }
    std::lock_guard lock(mMutex);
    if (const MMRESULT result = MidiHeaderState::Queue(*header); result != MMSYSERR_NOERROR) {
        return result;
    }
    mQueue.push_back(header);
    mWake.notify_one();
    return MMSYSERR_NOERROR;
}

MMRESULT MidiOutputDevice::Reset()
{
    if (OnOwnThread()) {
        // Called back from MOM_DONE: the thread drains the queue once it returns.
        std::lock_guard lock(mMutex);
        mResetting = true;
        mResetFromCallback = true;
        mOutput->SetAborting(true);
        mWake.notify_one();
        return MMSYSERR_NOERROR;
    }
    std::unique_lock lock(mMutex);
    mResetting = true;
    mOutput->SetAborting(true);
    mWake.notify_one();
    mDrained.wait(lock, [this] { return (mQueue.empty() && !mDelivering) || mQuit; });
    mResetting = false;
    mOutput->SetAborting(false);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiOutputDevice::Close()
{
    {
        std::lock_guard lock(mMutex);
        if (!mQueue.empty()) {
            return MIDIERR_STILLPLAYING;
        }
    }
    if (OnOwnThread()) {
        return MMSYSERR_HANDLEBUSY;
    }
    StopThread();
    mOutput.reset();
    Call(MOM_CLOSE, 0);
    return MMSYSERR_NOERROR;
}

void MidiOutputDevice::Run()
{
    std::unique_lock lock(mMutex);
    while (true) {
        mWake.wait(lock, [this] { return mQuit || !mQueue.empty(); });
        if (mQuit) {
            break;
        }
        MidiHeader* header = mQueue.front();
        MMRESULT sent = MMSYSERR_ERROR;
        if (!mResetting) {
            lock.unlock();
            {
                std::lock_guard send(mSendMutex);
                sent = mOutput->Send(header->lpData, header->dwBufferLength);
            }
            lock.lock();
        }
        mQueue.pop_front();
        // MOM_DONE carries no result: the count tells the caller whether the
        // driver took the message.
        header->dwBytesRecorded = sent == MMSYSERR_NOERROR ? header->dwBufferLength : 0;
        MidiHeaderState::MarkDone(*header);
        mDelivering = true;
        lock.unlock();
        Call(MOM_DONE, reinterpret_cast<std::uintptr_t>(header));
        lock.lock();
        mDelivering = false;
        if (mQueue.empty()) {
            if (mResetFromCallback) {
                mResetFromCallback = false;
                mResetting = false;
                mOutput->SetAborting(false);
            }
            mDrained.notify_all();
        }
    }
}

void MidiOutputDevice::Call(std::uint32_t message, std::uintptr_t param1)
{
    if (mCallback != nullptr) {
        mCallback(this, message, mInstance, param1, 0);
    }
}

bool MidiOutputDevice::OnOwnThread() const
{
    return std::this_thread::get_id() == mThread.get_id();
}

void MidiOutputDevice::StopThread()
{
    {
        std::lock_guard lock(mMutex);
        mQuit = true;
    }
    mWake.notify_all();
    mDrained.notify_all();
    if (mThread.joinable()) {
        mThread.join();
    }
}

}  // namespace Platform::Midi
