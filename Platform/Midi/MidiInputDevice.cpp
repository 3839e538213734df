#include "MidiInputDevice.h"

namespace Platform::Midi {

MidiInputDevice::MidiInputDevice(MidiInProc callback, std::uintptr_t instance)
    : callback_(callback), instance_(instance)
{}

MidiInputDevice::~MidiInputDevice()
{
    input_.reset();
    StopThread();
}

MMRESULT MidiInputDevice::Open(MidiDriver& driver, std::size_t index)
{
    const MMRESULT result = driver.OpenInput(index, *this, input_);
    if (result != MMSYSERR_NOERROR) {
        input_.reset();
        return result;
    }
    thread_ = std::thread([this] { Run(); });
    Call(MIM_OPEN, 0, 0);
    return MMSYSERR_NOERROR;
}

bool MidiInputDevice::IsPresent() const
{
    return input_ && input_->IsPresent();
}

MMRESULT MidiInputDevice::PrepareHeader(MidiHeader* header)
{
    if (header == nullptr || header->lpData == nullptr || header->dwBufferLength == 0) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard lock(mutex_);
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInputDevice::UnprepareHeader(MidiHeader* header)
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

MMRESULT MidiInputDevice::AddBuffer(MidiHeader* header)
{
    if (header == nullptr || header->lpData == nullptr || header->dwBufferLength == 0) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard lock(mutex_);
    if (!(header->dwFlags & MHDR_PREPARED)) {
        return MIDIERR_UNPREPARED;
    }
    if (header->dwFlags & MHDR_INQUEUE) {
        return MIDIERR_STILLPLAYING;
    }
    header->dwFlags = (header->dwFlags | MHDR_INQUEUE) & ~MHDR_DONE;
    header->dwBytesRecorded = 0;
    buffers_.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInputDevice::Start()
{
    std::lock_guard lock(mutex_);
    if (!started_) {
        started_ = true;
        startTime_ = std::chrono::steady_clock::now();
    }
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInputDevice::Stop()
{
    std::lock_guard lock(mutex_);
    started_ = false;
    items_.push_back({Item::Kind::Stop, {}, 0});
    wake_.notify_one();
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInputDevice::Reset()
{
    std::unique_lock lock(mutex_);
    started_ = false;
    if (OnOwnThread()) {
        lock.unlock();
        Item reset{Item::Kind::Reset, {}, 0};
        Process(reset);
        return MMSYSERR_NOERROR;
    }
    const std::uint64_t ticket = ++resetsRequested_;
    items_.push_back({Item::Kind::Reset, {}, 0});
    wake_.notify_one();
    resetDone_.wait(lock, [&] { return resetsDone_ >= ticket || quit_; });
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInputDevice::Close()
{
    {
        std::lock_guard lock(mutex_);
        if (!buffers_.empty()) {
            return MIDIERR_STILLPLAYING;
        }
    }
    if (OnOwnThread()) {
        return MMSYSERR_HANDLEBUSY;
    }
    input_.reset();
    StopThread();
    Call(MIM_CLOSE, 0, 0);
    return MMSYSERR_NOERROR;
}

void MidiInputDevice::OnBytes(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size == 0) {
        return;
    }
    std::lock_guard lock(mutex_);
    if (!started_ || quit_) {
        return;
    }
    const auto elapsed = std::chrono::steady_clock::now() - startTime_;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    items_.push_back({Item::Kind::Bytes, std::vector<std::uint8_t>(data, data + size), static_cast<std::uint32_t>(ms)});
    wake_.notify_one();
}

void MidiInputDevice::Run()
{
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return quit_ || !items_.empty(); });
        if (quit_) {
            break;
        }
        Item item = std::move(items_.front());
        items_.pop_front();
        lock.unlock();
        Process(item);
        lock.lock();
        if (item.kind == Item::Kind::Reset) {
            ++resetsDone_;
            resetDone_.notify_all();
        }
    }
}

void MidiInputDevice::Process(Item& item)
{
    switch (item.kind) {
    case Item::Kind::Bytes:
        currentTimestamp_ = item.timestamp;
        for (const std::uint8_t byte : item.bytes) {
            parser_.Feed(byte, *this);
        }
        break;
    case Item::Kind::Stop:
        parser_.Clear();
        ReturnBuffers(false);
        break;
    case Item::Kind::Reset:
        parser_.Clear();
        ReturnBuffers(true);
        break;
    }
}

void MidiInputDevice::ReturnBuffers(bool all)
{
    std::deque<MidiHeader*> returned;
    {
        std::lock_guard lock(mutex_);
        dropping_ = false;
        if (all) {
            returned.swap(buffers_);
        } else if (!buffers_.empty() && buffers_.front()->dwBytesRecorded > 0) {
            returned.push_back(buffers_.front());
            buffers_.pop_front();
        }
        for (MidiHeader* header : returned) {
            header->dwFlags = (header->dwFlags | MHDR_DONE) & ~MHDR_INQUEUE;
        }
    }
    for (MidiHeader* header : returned) {
        Call(MIM_LONGDATA, reinterpret_cast<std::uintptr_t>(header), 0);
    }
}

void MidiInputDevice::OnShortMessage(std::uint32_t packed)
{
    Call(MIM_DATA, packed, currentTimestamp_);
}

void MidiInputDevice::OnSysExByte(std::uint8_t byte)
{
    MidiHeader* full = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (dropping_) {
            return;
        }
        if (buffers_.empty()) {
            // Like a driver without buffers: the rest of this message is lost.
            dropping_ = true;
            return;
        }
        MidiHeader* header = buffers_.front();
        header->lpData[header->dwBytesRecorded++] = byte;
        if (header->dwBytesRecorded == header->dwBufferLength) {
            buffers_.pop_front();
            header->dwFlags = (header->dwFlags | MHDR_DONE) & ~MHDR_INQUEUE;
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
        std::lock_guard lock(mutex_);
        dropping_ = false;
        if (buffers_.empty() || buffers_.front()->dwBytesRecorded == 0) {
            return;
        }
        header = buffers_.front();
        buffers_.pop_front();
        header->dwFlags = (header->dwFlags | MHDR_DONE) & ~MHDR_INQUEUE;
    }
    // A message cut short by a status byte comes back as an error.
    Call(endsWithF7 ? MIM_LONGDATA : MIM_LONGERROR, reinterpret_cast<std::uintptr_t>(header), 0);
}

void MidiInputDevice::OnStrayByte(std::uint8_t byte)
{
    Call(MIM_ERROR, byte, currentTimestamp_);
}

void MidiInputDevice::Call(std::uint32_t message, std::uintptr_t param1, std::uintptr_t param2)
{
    if (callback_ != nullptr) {
        callback_(this, message, instance_, param1, param2);
    }
}

bool MidiInputDevice::OnOwnThread() const
{
    return std::this_thread::get_id() == thread_.get_id();
}

void MidiInputDevice::StopThread()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    resetDone_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace Platform::Midi
