#include "LMidiRenderPort.h"

#include "LMidiComm.h"

namespace QV {

using namespace Platform::Midi;

namespace {

constexpr uint32_t kHeaderSize = sizeof(MidiHeader);

}  // namespace

LMidiRenderPort::LMidiRenderPort(const String& requestedName, const RCPtr<LMidiComm>& owner)
    : LMidiPort(requestedName, owner)
{
    mDoneGate.Set();
}

LMidiRenderPort::~LMidiRenderPort() { Close(); }

uint32_t LMidiRenderPort::Open()
{
    Close();
    uint32_t id = 0;
    if (!FindDevice(id)) return MMSYSERR_NODRIVER;
    HMIDIOUT handle = nullptr;
    const uint32_t result =
        Services().OutOpen(&handle, id, &LMidiComm::MidiOutProc, CallbackInstance(), CALLBACK_FUNCTION);
    if (result == MMSYSERR_NOERROR) {
        SetHandle(handle);
        return MMSYSERR_NOERROR;
    }
    if (handle != nullptr) Services().OutClose(handle);
    return result;
}

void LMidiRenderPort::Close()
{
    const HMIDIOUT handle = GetHandle();
    if (handle == nullptr) return;
    // Outside the comm's lock: the reset completes through the callback,
    // which takes it. Long messages come back before the close.
    MidiServices& services = Services();
    services.OutReset(handle);
    const uint32_t closed = services.OutClose(handle);
    SetHandle(nullptr);
    mDoneGate.Set();
    std::lock_guard lock(mStrandedLock);
    if (closed == MMSYSERR_NOERROR) {
        mStranded.clear();
    } else {
        // The device may still write to them: never freed.
        for (auto& message : mStranded) static_cast<void>(message.release());
        mStranded.clear();
    }
}

uint32_t LMidiRenderPort::SendShort(uint32_t message)
{
    return Services().OutShortMsg(GetHandle(), message);
}

QVResult LMidiRenderPort::SendLong(const uint8_t* bytes, uint32_t count, uint32_t timeoutMs)
{
    const HMIDIOUT handle = GetHandle();
    MidiServices& services = Services();
    auto message = std::make_unique<LongMessage>();
    message->bytes.assign(bytes, bytes + count);
    message->header.lpData = message->bytes.data();
    message->header.dwBufferLength = count;
    message->header.dwBytesRecorded = count;
    if (services.OutPrepareHeader(handle, &message->header, kHeaderSize) != MMSYSERR_NOERROR) return E_FAIL;

    mDoneGate.Reset();
    bool failed = services.OutLongMsg(handle, &message->header, kHeaderSize) != MMSYSERR_NOERROR;
    if (!failed && mDoneGate.Wait(timeoutMs) != kWaitSignalled) {
        failed = true;
        // The driver still holds the message: take it back before the
        // header and the bytes may go.
        services.OutReset(handle);
    }
    if (services.OutUnprepareHeader(handle, &message->header, kHeaderSize) == MIDIERR_STILLPLAYING) {
        failed = true;
        std::lock_guard lock(mStrandedLock);
        mStranded.push_back(std::move(message));
    } else if (message->header.dwBytesRecorded != count) {
        // The services leave the count at 0 when the driver refused the message.
        failed = true;
    }
    mDoneGate.Set();
    return failed ? E_FAIL : static_cast<QVResult>(count);
}

}  // namespace QV
