#include "LMidiComm.h"

#include <algorithm>

#include "LMidiCaptureNotificationData.h"
#include "LMidiCapturePort.h"
#include "LMidiRenderPort.h"
#include "LNotification.h"
#include "ShortMessageLength.h"

namespace QV {

using namespace Platform::Midi;

namespace {

// The lists are searched from the last port to the first.
template <class Port>
RCPtr<Port> FindByName(Mutex& lock, RCPtrArray<Port>& list, const String& name)
{
    Mutex::Lock guard(lock);
    for (uint32_t i = list.GetCount(); i > 0; --i) {
        const RCPtr<Port>& port = *list.GetItemPtr(i - 1);
        if (LMidiComm::IsNameMatch(port->GetSystemNameLocked(), name)) return port;
    }
    return nullptr;
}

// Under the lock.
template <class Port>
Port* FindByHandle(RCPtrArray<Port>& list, typename Port::Handle handle)
{
    for (uint32_t i = list.GetCount(); i > 0; --i) {
        Port* port = list.GetItemPtr(i - 1)->Get();
        if (port->GetHandle() == handle) return port;
    }
    return nullptr;
}

// The list's entry counts as an internal reference of the port.
template <class Port>
void AddPort(Mutex& lock, RCPtrArray<Port>& list, const RCPtr<Port>& port)
{
    Mutex::Lock guard(lock);
    (void)list.AddItem(port);  // the array grows
    port->AddInternalReference();
}

template <class Port>
QVResult RemovePort(Mutex& lock, RCPtrArray<Port>& list, const Port* port)
{
    RCPtr<Port> removed;
    {
        Mutex::Lock guard(lock);
        for (uint32_t i = list.GetCount(); i > 0; --i) {
            if (list.GetItemPtr(i - 1)->Get() == port) {
                (void)list.RemoveItem(i - 1, removed);  // the index was just found
                break;
            }
        }
    }
    // Released outside the lock; it is never the last reference here.
    return removed ? S_OK : E_FAIL;
}

template <class Port>
uint32_t CountPorts(Mutex& lock, RCPtrArray<Port>& list)
{
    Mutex::Lock guard(lock);
    return list.GetCount();
}

template <class Port>
uint32_t StartPort(Port& port)
{
    if constexpr (requires { port.Start(); }) {
        return port.Start();
    } else {
        return MMSYSERR_NOERROR;
    }
}

}  // namespace

RCPtr<LMidiComm> LMidiComm::Create(uint32_t sendTimeoutMs) { return Create(sendTimeoutMs, CreatePool()); }

RCPtr<LMidiComm> LMidiComm::Create(uint32_t sendTimeoutMs, const RCPtr<LThreadPool>& pool)
{
    return RCPtr<LMidiComm>(new LMidiComm(GetMidiServices(), sendTimeoutMs, pool ? pool : CreatePool()));
}

RCPtr<LThreadPool> LMidiComm::CreatePool() { return LThreadPool::Create(1, kPoolPriority); }

LMidiComm::LMidiComm(MidiServices& services, uint32_t sendTimeoutMs, const RCPtr<LThreadPool>& pool)
    : mPool(pool), mServices(services), mSendTimeoutMs(sendTimeoutMs)
{
}

LMidiComm::~LMidiComm()
{
    // Every port holds the comm, so the lists are empty by now. A pool of
    // its own is shut down here; a shared one goes on for the next comm.
    mPool.Reset();
}

bool LMidiComm::IsNameMatch(const String& systemName, const String& requested)
{
    return systemName.ToLower().Find(requested.ToLower()) >= 0;
}

QVResult LMidiComm::RemoveCapturePort(const LMidiCapturePort* port) { return RemovePort(mLock, mCapturePorts, port); }

QVResult LMidiComm::RemoveRenderPort(const LMidiRenderPort* port) { return RemovePort(mLock, mRenderPorts, port); }

uint32_t LMidiComm::GetCapturePortCount() { return CountPorts(mLock, mCapturePorts); }

uint32_t LMidiComm::GetRenderPortCount() { return CountPorts(mLock, mRenderPorts); }

// Devices are opened and closed under the open lock only: a close waits for
// callbacks that take the comm's lock.
template <class Port>
QVResult LMidiComm::OpenPort(RCPtrArray<Port>& list, const String& name, RCPtr<Port>& port)
{
    port.Reset();
    Mutex::Lock opening(mOpenLock);
    RCPtr<Port> found = FindByName(mLock, list, name);
    if (found) {
        if (!found->IsDeviceAnswering() &&
            (found->Open() != MMSYSERR_NOERROR || StartPort(*found) != MMSYSERR_NOERROR)) {
            found->Close();
            found.Reset();
        }
    } else if (!name.IsEmpty()) {
        RCPtr<Port> created(new Port(name, RCPtr<LMidiComm>(this)));
        if (created->Open() == MMSYSERR_NOERROR) {
            AddPort(mLock, list, created);
            if (StartPort(*created) == MMSYSERR_NOERROR) {
                found = created;
            } else {
                created->Close();
                created->RemoveInternalReference();
                RemovePort(mLock, list, created.Get());
            }
        }
    }
    port = found;
    return port ? S_OK : E_FAIL;
}

QVResult LMidiComm::OpenCapturePort(const String& name, RCPtr<LMidiCapturePort>& port)
{
    return OpenPort(mCapturePorts, name, port);
}

QVResult LMidiComm::OpenRenderPort(const String& name, RCPtr<LMidiRenderPort>& port)
{
    return OpenPort(mRenderPorts, name, port);
}

QVResult LMidiComm::Send(const RCPtr<LRefCountedObject>& port, const IArray<signed char>& message)
{
    const RCPtr<LMidiRenderPort> render = RCPtr<LMidiRenderPort>::DynamicCast(port);
    const uint32_t count = message.GetCount();
    if (!render || count == 0) return E_INVALIDARG;
    const auto* bytes = reinterpret_cast<const uint8_t*>(message.GetData());
    const uint8_t first = bytes[0];
    const bool isShort = first >= 0x80 && first != 0xF0 && first != 0xF7;
    const uint32_t length = GetShortMessageLength(first);
    // Half a message would leave the receiver waiting for its data bytes.
    if (isShort && count < length) return E_INVALIDARG;

    // A long message still in the driver goes first; after the wait, go on.
    render->GetDoneGate().Wait(mSendTimeoutMs);

    if (!isShort) return render->SendLong(bytes, count, mSendTimeoutMs);
    uint32_t word = 0;
    for (uint32_t i = 0; i < length; ++i) word |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return render->SendShort(word) == MMSYSERR_NOERROR ? static_cast<QVResult>(length) : E_FAIL;
}

void LMidiComm::QueueCapture(const RCPtr<LMidiCaptureNotificationData>& data)
{
    mPool->QueueWork(RCPtr<LThreadWorker>(this), RCPtr<LRefCountedObject>(data), kCapturePriority);
}

QVResult LMidiComm::Run(RCPtr<LRefCountedObject>& parameters)
{
    const RCPtr<LNotification> notification = LNotification::Create(kDataCapturedNotification, parameters);
    return SendNotification(notification);
}

void LMidiComm::MidiInProc(HMIDIIN handle, uint32_t message, uintptr_t instance, uintptr_t param1,
                           uintptr_t param2)
{
    if (auto* comm = reinterpret_cast<LMidiComm*>(instance)) comm->OnInputEvent(handle, message, param1, param2);
}

void LMidiComm::MidiOutProc(HMIDIOUT handle, uint32_t message, uintptr_t instance, uintptr_t /*param1*/,
                            uintptr_t /*param2*/)
{
    if (auto* comm = reinterpret_cast<LMidiComm*>(instance)) comm->OnOutputEvent(handle, message);
}

void LMidiComm::OnInputEvent(HMIDIIN handle, uint32_t message, uintptr_t param1, uintptr_t param2)
{
    Mutex::Lock lock(mLock);
    LMidiCapturePort* port = FindByHandle(mCapturePorts, handle);
    if (port == nullptr) return;

    switch (message) {
    case MIM_DATA:
    case MIM_MOREDATA: {
        const uint8_t bytes[4] = {static_cast<uint8_t>(param1), static_cast<uint8_t>(param1 >> 8),
                                  static_cast<uint8_t>(param1 >> 16), static_cast<uint8_t>(param1 >> 24)};
        port->OnShortMessage(bytes, static_cast<uint32_t>(param2));
        break;
    }
    case MIM_LONGDATA: {
        auto* header = reinterpret_cast<MidiHeader*>(param1);
        // A header that is not one of the port's buffers is not read.
        if (header == nullptr || !port->IsOwnHeader(header)) break;
        const uint32_t count = std::min(header->dwBytesRecorded, header->dwBufferLength);
        const bool complete = count < header->dwBufferLength || header->lpData[count - 1] == 0xF7;
        port->OnLongData(header->lpData, count, complete);
        port->RequeueBuffer(header);
        break;
    }
    case MIM_LONGERROR:
        port->OnLongError();
        if (param1 != 0) port->RequeueBuffer(reinterpret_cast<MidiHeader*>(param1));
        break;
    default:
        break;
    }
}

void LMidiComm::OnOutputEvent(HMIDIOUT handle, uint32_t message)
{
    Mutex::Lock lock(mLock);
    LMidiRenderPort* port = FindByHandle(mRenderPorts, handle);
    if (port != nullptr && message == MOM_DONE) port->GetDoneGate().Set();
}

}  // namespace QV
