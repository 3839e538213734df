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
    : LMidiPort(requestedName, owner)
{
}

LMidiCapturePort::~LMidiCapturePort()
{
    Close();
    UnprepareBuffers();
    mPending.Reset();
}

uint32_t LMidiCapturePort::Open()
{
    Close();
    uint32_t id = 0;
    if (!FindDevice(id)) return MMSYSERR_NODRIVER;
    HMIDIIN handle = nullptr;
    uint32_t result = Services().InOpen(&handle, id, &LMidiComm::MidiInProc, CallbackInstance(),
                                        CALLBACK_FUNCTION | MIDI_IO_STATUS);
    if (result == MMSYSERR_NOERROR) {
        {
            Mutex::Lock lock(mOwner->GetLock());
            SetHandleLocked(handle);
            mClosing = false;
        }
        result = QueueBuffers();
        if (result == MMSYSERR_NOERROR) return MMSYSERR_NOERROR;
    }
    Close();
    return result;
}

uint32_t LMidiCapturePort::Start()
{
    const HMIDIIN handle = GetHandle();
    return handle ? Services().InStart(handle) : MMSYSERR_INVALHANDLE;
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
    MidiServices& services = Services();
    services.InStop(handle);
    services.InReset(handle);
    UnprepareBuffers();
    services.InClose(handle);
    SetHandle(nullptr);
}

uint32_t LMidiCapturePort::QueueBuffers()
{
    const HMIDIIN handle = GetHandle();
    if (handle == nullptr) return MMSYSERR_ERROR;
    MidiServices& services = Services();
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
    MidiServices& services = Services();
    const uint32_t result = services.InPrepareHeader(handle, header, kHeaderSize);
    if (result != MMSYSERR_NOERROR) return result;
    return services.InAddBuffer(handle, header, kHeaderSize);
}

uint32_t LMidiCapturePort::UnprepareBuffers()
{
    uint32_t result = MMSYSERR_NOERROR;
    for (InputBuffer& buffer : mBuffers) {
        if (buffer.preparedOn == nullptr) continue;
        result = Services().InUnprepareHeader(buffer.preparedOn, &buffer.header, kHeaderSize);
        buffer.preparedOn = nullptr;
    }
    return result;
}

void LMidiCapturePort::OnShortMessage(const uint8_t bytes[4], uint32_t timestamp)
{
    const RCPtr<LMidiCaptureNotificationData> data = LMidiCaptureNotificationData::Create(GetSystemNameLocked());
    data->SetTimestamp(timestamp);
    data->AppendBytes(bytes, GetCapturedMessageLength(bytes[0]));
    mOwner->QueueCapture(data);
}

void LMidiCapturePort::OnLongData(const uint8_t* bytes, uint32_t count, bool complete)
{
    // A new message begins: the pending one was cut short without a word
    // from the driver, and its bytes must not lead the new one.
    if (count > 0 && bytes[0] == 0xF0) mPending.Reset();
    if (complete) {
        if (!mPending) {
            if (count == 0 || bytes[0] != 0xF0) return;
            const auto data = LMidiCaptureNotificationData::Create(GetSystemNameLocked());
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
    if (!mPending) mPending = LMidiCaptureNotificationData::Create(GetSystemNameLocked());
    mPending->AppendBytes(bytes, count);
}

void LMidiCapturePort::OnLongError() { mPending.Reset(); }

}  // namespace QV
