#include "LMidiRenderPort.h"

#include "LMidiComm.h"

namespace QV {

using namespace Platform::Midi;

namespace {

constexpr uint32_t kHeaderSize = sizeof(MidiHeader);

}  // namespace

LMidiRenderPort::LMidiRenderPort(const String& requestedName, const RCPtr<LMidiComm>& owner)
    : mRequestedName(requestedName), mOwner(owner)
{
    mDoneGate.Set();
}

LMidiRenderPort::~LMidiRenderPort() { Close(); }

QVResult LMidiRenderPort::ReleaseInternalReferences()
{
    if (mOwner && GetInternalRefCount() > 0 && Succeeded(mOwner->RemoveRenderPort(this))) {
        RemoveInternalReference();
    }
    return HeldOnlyByCaller();
}

String LMidiRenderPort::GetSystemName() const
{
    Mutex::Lock lock(mOwner->GetLock());
    return mSystemName;
}

void LMidiRenderPort::SetSystemName(const char16_t* name)
{
    Mutex::Lock lock(mOwner->GetLock());
    mSystemName = String(name);
}

uint32_t LMidiRenderPort::Open()
{
    Close();
    MidiServices& services = mOwner->GetServices();
    const uint32_t count = services.OutGetNumDevs();
    for (uint32_t id = 0; id < count; ++id) {
        MidiOutCaps caps;
        services.OutGetDevCaps(id, caps);
        SetSystemName(caps.szPname);
        if (!LMidiComm::IsNameMatch(String(caps.szPname), mRequestedName)) continue;

        HMIDIOUT handle = nullptr;
        const uint32_t result = services.OutOpen(&handle, id, &LMidiComm::MidiOutProc,
                                                 reinterpret_cast<uintptr_t>(mOwner.Get()), CALLBACK_FUNCTION);
        if (result == MMSYSERR_NOERROR) {
            Mutex::Lock lock(mOwner->GetLock());
            mHandle.store(handle, std::memory_order_release);
            return MMSYSERR_NOERROR;
        }
        if (handle != nullptr) services.OutClose(handle);
        return result;
    }
    return MMSYSERR_NODRIVER;
}

void LMidiRenderPort::Close()
{
    const HMIDIOUT handle = GetHandle();
    if (handle == nullptr) return;
    // Outside the comm's lock: the reset completes through the callback,
    // which takes it. Long messages come back before the close.
    MidiServices& services = mOwner->GetServices();
    services.OutReset(handle);
    const uint32_t closed = services.OutClose(handle);
    {
        Mutex::Lock lock(mOwner->GetLock());
        mHandle.store(nullptr, std::memory_order_release);
    }
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

bool LMidiRenderPort::IsDeviceAnswering()
{
    const HMIDIOUT handle = GetHandle();
    MidiOutCaps caps;
    return handle != nullptr && mOwner->GetServices().OutGetDevCaps(handle, caps) == MMSYSERR_NOERROR;
}

uint32_t LMidiRenderPort::SendShort(uint32_t message)
{
    return mOwner->GetServices().OutShortMsg(GetHandle(), message);
}

QVResult LMidiRenderPort::SendLong(const uint8_t* bytes, uint32_t count, uint32_t timeoutMs)
{
    const HMIDIOUT handle = GetHandle();
    MidiServices& services = mOwner->GetServices();
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
        std::lock_guard lock(mStrandedLock);
        mStranded.push_back(std::move(message));
    }
    mDoneGate.Set();
    return failed ? E_FAIL : static_cast<QVResult>(count);
}

}  // namespace QV
