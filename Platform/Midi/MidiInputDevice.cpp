#include "MidiInputDevice.h"

#include "MidiHeaderState.h"

namespace Platform::Midi {

MidiInputDevice::MidiInputDevice(MidiInProc callback, std::uintptr_t instance) : MidiDevice(callback, instance) {}

MidiInputDevice::~MidiInputDevice()
{
    Shutdown();
}

MMRESULT MidiInputDevice::Open(MidiDriver& driver, std::size_t index)
{
    return Started(driver.OpenInput(index, *this, mPort), MIM_OPEN);
}

MMRESULT MidiInputDevice::AddBuffer(MidiHeader* header)
{
    if (!MidiHeaderState::HasBuffer(header)) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard lock(mMutex);
    if (const MMRESULT result = MidiHeaderState::Queue(*header); result != MMSYSERR_NOERROR) {
        return result;
    }
    header->dwBytesRecorded = 0;
    mBuffers.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInputDevice::Start()
{
    std::lock_guard lock(mMutex);
    if (!mStarted) {
        mStarted = true;
        mStartTime = std::chrono::steady_clock::now();
    }
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInputDevice::Stop()
{
    return Halt(false);
}

MMRESULT MidiInputDevice::Reset()
{
    return Halt(true);
}

// Waits for a delivery in progress, so nothing that arrived before is lost.
MMRESULT MidiInputDevice::Halt(bool allBuffers)
{
    std::lock_guard delivery(mDeliveryMutex);
    {
        std::lock_guard lock(mMutex);
        mStarted = false;
    }
    mParser.Clear();
    ReturnBuffers(allBuffers);
    return MMSYSERR_NOERROR;
}

bool MidiInputDevice::HoldsHeadersLocked() const
{
    return !mBuffers.empty();
}

void MidiInputDevice::Shutdown()
{
    // The driver's port waits for a delivery in progress and calls no more.
    mPort.reset();
    std::lock_guard lock(mMutex);
    mClosed = true;
}

void MidiInputDevice::OnBytes(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size == 0) {
        return;
    }
    std::lock_guard delivery(mDeliveryMutex);
    {
        std::lock_guard lock(mMutex);
        if (!mStarted || mClosed) {
            return;
        }
        const auto elapsed = std::chrono::steady_clock::now() - mStartTime;
        mCurrentTimestamp =
            static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }
    for (std::size_t i = 0; i < size; ++i) {
        mParser.Feed(data[i], *this);
    }
}

void MidiInputDevice::ReturnBuffers(bool all)
{
    std::vector<MidiHeader*> returned;
    {
        std::lock_guard lock(mMutex);
        mDropping = false;
        if (all) {
            returned.swap(mBuffers);
        } else if (!mBuffers.empty() && mBuffers.front()->dwBytesRecorded > 0) {
            returned.push_back(mBuffers.front());
            mBuffers.erase(mBuffers.begin());
        }
        for (MidiHeader* header : returned) {
            MidiHeaderState::MarkDone(*header);
        }
    }
    for (MidiHeader* header : returned) {
        Call(MIM_LONGDATA, reinterpret_cast<std::uintptr_t>(header), 0);
    }
}

void MidiInputDevice::OnShortMessage(std::uint32_t packed)
{
    Call(MIM_DATA, packed, mCurrentTimestamp);
}

void MidiInputDevice::OnSysExByte(std::uint8_t byte)
{
    MidiHeader* full = nullptr;
    {
        std::lock_guard lock(mMutex);
        if (mDropping) {
            return;
        }
        if (mBuffers.empty()) {
            // Like a driver without buffers: the rest of this message is lost.
            mDropping = true;
            return;
        }
        MidiHeader* header = mBuffers.front();
        header->lpData[header->dwBytesRecorded++] = byte;
        if (header->dwBytesRecorded == header->dwBufferLength) {
            mBuffers.erase(mBuffers.begin());
            MidiHeaderState::MarkDone(*header);
            full = header;
        }
    }
    if (full != nullptr) {
        Call(MIM_LONGDATA, reinterpret_cast<std::uintptr_t>(full), 0);
    }
}

void MidiInputDevice::OnSysExEnd(bool endsWithF7)
{
    MidiHeader* header = nullptr;
    {
        std::lock_guard lock(mMutex);
        mDropping = false;
        if (mBuffers.empty() || mBuffers.front()->dwBytesRecorded == 0) {
            return;
        }
        header = mBuffers.front();
        mBuffers.erase(mBuffers.begin());
        MidiHeaderState::MarkDone(*header);
    }
    // A message cut short by a status byte comes back as an error.
    Call(endsWithF7 ? MIM_LONGDATA : MIM_LONGERROR, reinterpret_cast<std::uintptr_t>(header), 0);
}

void MidiInputDevice::OnStrayByte(std::uint8_t byte)
{
    Call(MIM_ERROR, byte, mCurrentTimestamp);
}

}  // namespace Platform::Midi
