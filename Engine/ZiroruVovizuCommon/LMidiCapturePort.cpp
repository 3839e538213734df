#include "LMidiCapturePort.h"

#include "LMidiCaptureNotificationData.h"
#include "LMidiComm.h"
#include "ShortMessageLength.h"

namespace QV {

using namespace Platform::Midi;

namespace {

constexpr uint32_t kHeaderSize = sizeof(MidiHeader);

}  // namespace

LMidiCapturePort::InputBuffer::InputBuffer() : header(), data()
{
    header.lpData = data;
    header.dwBufferLength = kBufferSize;
    header.dwUser = reinterpret_cast<uintptr_t>(this);
}

LMidiCapturePort::LMidiCapturePort(const String& requestedName, const RCPtr<LMidiComm>& owner)
    : mRequestedName(requestedName), mOwner(owner)
{
}

LMidiCapturePort::~LMidiCapturePort()
{
    Close();
    UnprepareBuffers();
    mPending.Reset();
}

QVResult LMidiCapturePort::ReleaseInternalReferences()
{
    if (mOwner && GetInternalRefCount() > 0 && Succeeded(mOwner->RemoveCapturePort(this))) {
        RemoveInternalReference();
    }
    return HeldOnlyByCaller();
}

String LMidiCapturePort::GetSystemName() const
{
    Mutex::Lock lock(mOwner->GetLock());
    return mSystemName;
}

void LMidiCapturePort::SetSystemName(const char16_t* name)
{
    Mutex::Lock lock(mOwner->GetLock());
    mSystemName = String(name);
}

uint32_t LMidiCapturePort::Open()
{
    Close();
    MidiServices& services = mOwner->GetServices();
    const uint32_t count = services.InGetNumDevs();
    for (uint32_t id = 0; id < count; ++id) {
        MidiInCaps caps;
        services.InGetDevCaps(id, caps);
        SetSystemName(caps.szPname);
        if (!LMidiComm::IsNameMatch(String(caps.szPname), mRequestedName)) continue;

        HMIDIIN handle = nullptr;
        uint32_t result = services.InOpen(&handle, id, &LMidiComm::MidiInProc,
                                          reinterpret_cast<uintptr_t>(mOwner.Get()),
                                          CALLBACK_FUNCTION | MIDI_IO_STATUS);
        if (result == MMSYSERR_NOERROR) {
            {
                Mutex::Lock lock(mOwner->GetLock());
                mHandle.store(handle, std::memory_order_release);
                mClosing = false;
            }
            result = QueueBuffers();
            if (result == MMSYSERR_NOERROR) return MMSYSERR_NOERROR;
        }
        Close();
        return result;
    }
    return MMSYSERR_NODRIVER;
}

uint32_t LMidiCapturePort::Start()
{
    const HMIDIIN handle = GetHandle();
    return handle ? mOwner->GetServices().InStart(handle) : MMSYSERR_INVALHANDLE;
}

void LMidiCapturePort::Close()
{
    HMIDIIN handle;
    {
        Mutex::Lock lock(mOwner->GetLock());
        handle = GetHandle();
        if (handle == nullptr) return;
        mClosing = true;
    }
    // Outside the lock: the reset hands every queued buffer back through the
    // callback, which takes the lock, and returns only when it has.
    MidiServices& services = mOwner->GetServices();
    services.InStop(handle);
    services.InReset(handle);
    UnprepareBuffers();
    services.InClose(handle);
    Mutex::Lock lock(mOwner->GetLock());
    mHandle.store(nullptr, std::memory_order_release);
}

bool LMidiCapturePort::IsDeviceAnswering()
{
    const HMIDIIN handle = GetHandle();
    MidiInCaps caps;
    return handle != nullptr && mOwner->GetServices().InGetDevCaps(handle, caps) == MMSYSERR_NOERROR;
}

uint32_t LMidiCapturePort::QueueBuffers()
{
    const HMIDIIN handle = GetHandle();
    if (handle == nullptr) return MMSYSERR_ERROR;
    MidiServices& services = mOwner->GetServices();
    uint32_t result = MMSYSERR_NOERROR;
    for (InputBuffer& buffer : mBuffers) {
        buffer.preparedOn = handle;
        services.InPrepareHeader(handle, &buffer.header, kHeaderSize);
        buffer.header.dwFlags &= ~MHDR_DONE;
        buffer.header.dwBytesRecorded = 0;
        result = services.InPrepareHeader(handle, &buffer.header, kHeaderSize);
        if (result == MMSYSERR_NOERROR) result = services.InAddBuffer(handle, &buffer.header, kHeaderSize);
        if (result != MMSYSERR_NOERROR) break;
    }
    if (result != MMSYSERR_NOERROR) {
        // Buffers already queued come back on the reset that closes the port.
        for (InputBuffer& buffer : mBuffers) {
            services.InUnprepareHeader(handle, &buffer.header, kHeaderSize);
            buffer.preparedOn = nullptr;
        }
    }
    return result;
}

bool LMidiCapturePort::IsOwnHeader(const MidiHeader* header) const
{
    for (const InputBuffer& buffer : mBuffers) {
        if (header == &buffer.header && header->dwUser == reinterpret_cast<uintptr_t>(&buffer)) return true;
    }
    return false;
}

uint32_t LMidiCapturePort::RequeueBuffer(MidiHeader* header)
{
    const HMIDIIN handle = GetHandle();
    if (mClosing || handle == nullptr) return MMSYSERR_HANDLEBUSY;
    if (header == nullptr || !IsOwnHeader(header)) return MMSYSERR_ERROR;
    const InputBuffer& buffer = *reinterpret_cast<const InputBuffer*>(header->dwUser);
    if (buffer.preparedOn == nullptr) return MMSYSERR_ERROR;
    header->dwFlags &= ~MHDR_DONE;
    header->dwBytesRecorded = 0;
    MidiServices& services = mOwner->GetServices();
    const uint32_t result = services.InPrepareHeader(handle, header, kHeaderSize);
    if (result != MMSYSERR_NOERROR) return result;
    return services.InAddBuffer(handle, header, kHeaderSize);
}

uint32_t LMidiCapturePort::UnprepareBuffers()
{
    uint32_t result = MMSYSERR_NOERROR;
    for (InputBuffer& buffer : mBuffers) {
        if (buffer.preparedOn == nullptr) continue;
        result = mOwner->GetServices().InUnprepareHeader(buffer.preparedOn, &buffer.header, kHeaderSize);
        buffer.preparedOn = nullptr;
    }
    return result;
}

void LMidiCapturePort::OnShortMessage(const uint8_t bytes[4], uint32_t timestamp)
{
    const RCPtr<LMidiCaptureNotificationData> data = LMidiCaptureNotificationData::Create(mSystemName);
    data->SetTimestamp(timestamp);
    data->AppendBytes(bytes, GetCapturedMessageLength(bytes[0]));
    mOwner->QueueCapture(data);
}

void LMidiCapturePort::OnLongData(const uint8_t* bytes, uint32_t count, bool complete)
{
    if (complete) {
        if (!mPending) {
            if (count == 0 || bytes[0] != 0xF0) return;
            const RCPtr<LMidiCaptureNotificationData> data = LMidiCaptureNotificationData::Create(mSystemName);
            data->AppendBytes(bytes, count);
            mOwner->QueueCapture(data);
            return;
        }
        mPending->AppendBytes(bytes, count);
        const RCPtr<LMidiCaptureNotificationData> data = std::move(mPending);
        mPending.Reset();
        mOwner->QueueCapture(data);
        return;
    }
    if (!mPending) mPending = LMidiCaptureNotificationData::Create(mSystemName);
    mPending->AppendBytes(bytes, count);
}

}  // namespace QV
