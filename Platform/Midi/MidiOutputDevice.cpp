#include "MidiOutputDevice.h"

#include "MidiInputParser.h"

namespace Platform::Midi {

MidiOutputDevice::MidiOutputDevice(MidiOutProc callback, std::uintptr_t instance)
    : callback_(callback), instance_(instance)
{}

MidiOutputDevice::~MidiOutputDevice()
{
    if (output_) {
        output_->SetAborting(true);
    }
    StopThread();
    output_.reset();
}

MMRESULT MidiOutputDevice::Open(MidiDriver& driver, std::size_t index)
{
    const MMRESULT result = driver.OpenOutput(index, output_);
    if (result != MMSYSERR_NOERROR) {
        output_.reset();
        return result;
    }
    thread_ = std::thread([this] { Run(); });
    Call(MOM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

bool MidiOutputDevice::IsPresent() const
{
    return output_ && output_->IsPresent();
}

MMRESULT MidiOutputDevice::ShortMsg(std::uint32_t message)
{
    const auto status = static_cast<std::uint8_t>(message & 0xFF);
    if (status < 0x80 || status == 0xF0 || status == 0xF7) {
        return MMSYSERR_INVALPARAM;
    }
    std::unique_lock send(sendMutex_, std::try_to_lock);
    if (!send.owns_lock()) {
        return MIDIERR_NOTREADY;
    }
    const std::uint8_t bytes[3] = {status, static_cast<std::uint8_t>(message >> 8),
                                   static_cast<std::uint8_t>(message >> 16)};
    return output_->Send(bytes, MidiMessageLength(status));
}

MMRESULT MidiOutputDevice::PrepareHeader(MidiHeader* header)
{
    if (header == nullptr || header->lpData == nullptr || header->dwBufferLength == 0) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard lock(mutex_);
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT MidiOutputDevice::UnprepareHeader(MidiHeader* header)
{
    if (header == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard lock(mutex_);
    if (header->dwFlags & MHDR_INQUEUE) {
        return MIDIERR_STILLPLAYING;
    }
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT MidiOutputDevice::LongMsg(MidiHeader* header)
{
    if (header == nullptr || header->lpData == nullptr || header->dwBufferLength == 0) {
        return MMSYSERR_INVALPARAM;
    }
    if (!IsPresent()) {
        return MMSYSERR_NODRIVER;
    }
    std::lock_guard lock(mutex_);
    if (!(header->dwFlags & MHDR_PREPARED)) {
        return MIDIERR_UNPREPARED;
    }
    if (header->dwFlags & MHDR_INQUEUE) {
        return MIDIERR_STILLPLAYING;
    }
    header->dwFlags = (header->dwFlags | MHDR_INQUEUE) & ~MHDR_DONE;
    queue_.push_back(header);
    wake_.notify_one();
    return MMSYSERR_NOERROR;
}

MMRESULT MidiOutputDevice::Reset()
{
    if (OnOwnThread()) {
        // Called back from MOM_DONE: the thread drains the queue once it returns.
        std::lock_guard lock(mutex_);
        resetting_ = true;
        resetFromCallback_ = true;
        output_->SetAborting(true);
        wake_.notify_one();
        return MMSYSERR_NOERROR;
    }
    std::unique_lock lock(mutex_);
    resetting_ = true;
    output_->SetAborting(true);
    wake_.notify_one();
    drained_.wait(lock, [this] { return (queue_.empty() && !delivering_) || quit_; });
    resetting_ = false;
    output_->SetAborting(false);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiOutputDevice::Close()
{
    {
        std::lock_guard lock(mutex_);
        if (!queue_.empty()) {
            return MIDIERR_STILLPLAYING;
        }
    }
    if (OnOwnThread()) {
        return MMSYSERR_HANDLEBUSY;
    }
    StopThread();
    output_.reset();
    Call(MOM_CLOSE, 0);
    return MMSYSERR_NOERROR;
}

void MidiOutputDevice::Run()
{
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
        if (quit_) {
            break;
        }
        MidiHeader* header = queue_.front();
        if (!resetting_) {
            lock.unlock();
            {
                std::lock_guard send(sendMutex_);
                // A refused message still comes back done, as the services report
                // no per-message failure.
                output_->Send(header->lpData, header->dwBufferLength);
            }
            lock.lock();
        }
        queue_.pop_front();
        header->dwFlags = (header->dwFlags | MHDR_DONE) & ~MHDR_INQUEUE;
        delivering_ = true;
        lock.unlock();
        Call(MOM_DONE, reinterpret_cast<std::uintptr_t>(header));
        lock.lock();
        delivering_ = false;
        if (queue_.empty()) {
            if (resetFromCallback_) {
                resetFromCallback_ = false;
                resetting_ = false;
                output_->SetAborting(false);
            }
            drained_.notify_all();
        }
    }
}

void MidiOutputDevice::Call(std::uint32_t message, std::uintptr_t param1)
{
    if (callback_ != nullptr) {
        callback_(this, message, instance_, param1, 0);
    }
}

bool MidiOutputDevice::OnOwnThread() const
{
    return std::this_thread::get_id() == thread_.get_id();
}

void MidiOutputDevice::StopThread()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    drained_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace Platform::Midi
