#include "LMidiManager.h"

#include <cstring>

#include "ArrayBuffer.h"
#include "Exception.h"
#include "LMidiCaptureNotificationData.h"
#include "LRootModuleEngine.h"
#include "PresetDump.h"
#include "WaitResult.h"

namespace QV {

namespace {

constexpr const char* kSource = "Engine\\ZiroruVovizuCommon\\MidiManager";
constexpr const char* kGetPresetMethod = "QV::LMidiManager::GetPresetFromMidiDevice";
constexpr const char* kNonPresetMethod = "QV::LMidiManager::RequestNonPresetParameterFromDevice";
constexpr const char* kFirmwareMethod = "QV::LMidiManager::IsDeviceFirmwareVersionUseable";

constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;
constexpr uint8_t kIdentityRequest[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};

// The identity request's outcomes: sent and answered, not sent, no answer.
constexpr int32_t kIdentityAnswered = 0;
constexpr int32_t kIdentityNotSent = -1;
constexpr int32_t kIdentityNoReply = -2;

using Message = ArrayBuffer<signed char>;

// Whether the gate was open already or opened within timeoutMs.
bool WaitForGate(TrafficLight& gate, uint32_t timeoutMs)
{
    return gate.IsSet() || gate.Wait(timeoutMs) == kWaitSignalled;
}

}  // namespace

RCPtr<LMidiManager> LMidiManager::Create() { return Create(Timeouts{}); }

RCPtr<LMidiManager> LMidiManager::Create(const Timeouts& timeouts)
{
    RCPtr<LMidiManager> manager(new LMidiManager(timeouts));
    if (manager->mHandler) {
        Mutex::Lock lock(manager->mLock);
        manager->mComm = LMidiComm::Create(timeouts.sendMs, manager->mPool);
    }
    return manager;
}

LMidiManager::LMidiManager(const Timeouts& timeouts)
    : mHandler(new LNotificationHandler<LMidiManager>(this)), mPool(LMidiComm::CreatePool()), mTimeouts(timeouts)
{
}

LMidiManager::~LMidiManager()
{
    // Waits for a delivery in progress and drops queued ones, so nothing
    // reaches this manager once it is going; a comm still held elsewhere
    // delivers no more.
    mPool->Shutdown();
}

RCPtr<LMidiComm> LMidiManager::GetComm() const
{
    Mutex::Lock lock(mLock);
    return mComm;
}

QVResult LMidiManager::Subscribe(const RCPtr<LMidiComm>& comm)
{
    if (!mHandler) return E_FAIL;
    return mHandler->RegisterHandler(&LMidiManager::OnMidiDataCaptured, comm,
                                     LMidiComm::kDataCapturedNotification);
}

QVResult LMidiManager::Unsubscribe(const RCPtr<LMidiComm>& comm)
{
    const RCPtr<LNotificationDistributor> distributor(comm);
    const bool hadEntry =
        mHandler && mHandler->UnregisterHandler(distributor, LMidiComm::kDataCapturedNotification);
    const QVResult unregistered =
        LNotificationClient::UnregisterNotification(distributor, LMidiComm::kDataCapturedNotification);
    if (Failed(unregistered)) return unregistered;
    return hadEntry ? S_OK : E_FAIL;
}

bool LMidiManager::ResetMidiConnection(const String& inputName, const String& outputName)
{
    RCPtr<LMidiComm> previous;
    {
        Mutex::Lock lock(mLock);
        previous = std::move(mComm);
        mComm = nullptr;
    }
    if (previous) (void)Unsubscribe(previous);  // a comm never subscribed has nothing to drop
    previous.Reset();

    const RCPtr<LMidiComm> comm = LMidiComm::Create(mTimeouts.sendMs, mPool);
    {
        Mutex::Lock lock(mLock);
        mComm = comm;
    }
    (void)Subscribe(comm);  // a fresh comm always takes the subscription
    // Both ports close again when these go.
    RCPtr<LMidiCapturePort> capture;
    RCPtr<LMidiRenderPort> render;
    const bool inputOpened = Succeeded(comm->OpenCapturePort(inputName, capture));
    const bool outputOpened = Succeeded(comm->OpenRenderPort(outputName, render));
    return inputOpened && outputOpened;
}

bool LMidiManager::CheckMidiPorts() { return ResetMidiConnection(kPortName, kPortName); }

int32_t LMidiManager::SendSysEx(const IArray<signed char>& bytes, const RCPtr<LMidiRenderPort>& port)
{
    const RCPtr<LMidiComm> comm = GetComm();
    if (!port || !comm) return kMidiError;
    const uint32_t count = bytes.GetCount();
    if (count == 0) return E_FAIL;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.GetData());
    if (count == 1 && (data[0] == kSysExStart || data[0] == kSysExEnd)) return E_FAIL;

    const uint32_t start = data[0] == kSysExStart ? 0 : 1;
    const uint32_t end = data[count - 1] == kSysExEnd ? 0 : 1;
    Message framed;
    if (Failed(framed.SetCount(start + count + end))) return E_FAIL;
    auto* out = reinterpret_cast<uint8_t*>(framed.GetData());
    if (start) out[0] = kSysExStart;
    std::memcpy(out + start, data, count);
    if (end) out[start + count] = kSysExEnd;
    return comm->Send(RCPtr<LRefCountedObject>(port), framed);
}

int32_t LMidiManager::SendIdentityRequest(const RCPtr<LMidiRenderPort>& port)
{
    if (!port) return E_FAIL;
    Message request;
    (void)request.SetCount(sizeof kIdentityRequest);  // a few bytes always fit
    std::memcpy(request.GetData(), kIdentityRequest, sizeof kIdentityRequest);
    return SendSysEx(request, port);
}

int32_t LMidiManager::GetPresetFromMidiDevice(int32_t)
{
    if (!ResetMidiConnection(kPortName, kPortName)) return kMidiError;
    const RCPtr<LMidiComm> comm = GetComm();
    Message request;
    BuildPresetRequest(request);
    RCPtr<LMidiRenderPort> render;
    RCPtr<LMidiCapturePort> capture;
    // A port that does not open stays null: no reply comes, and the wait says so.
    (void)comm->OpenRenderPort(kPortName, render);
    (void)comm->OpenCapturePort(kPortName, capture);

    const QVResult subscribed = Subscribe(comm);
    if (Failed(subscribed)) ThrowFailedResult(subscribed, kGetPresetMethod, kSource, 265);

    BeginAwaitingDump();
    const bool sent = SendSysEx(request, render) >= 0;
    if (sent) WaitForGate(mPresetGate, mTimeouts.replyMs);
    // Closed ports take in nothing more, and once the wait has ended no dump
    // is applied: the answer below tells exactly what the engine got.
    capture.Reset();
    render.Reset();
    int32_t applied = 0;
    const bool taken = EndAwaitingDump(applied);
    const int32_t result = taken ? applied : (sent ? kNoDump : kMidiError);

    const QVResult unsubscribed = Unsubscribe(comm);
    if (Failed(unsubscribed)) ThrowFailedResult(unsubscribed, kGetPresetMethod, kSource, 301);
    return result;
}

void LMidiManager::BeginAwaitingDump()
{
    Mutex::Lock lock(mLock);
    mPresetGate.Reset();
    mApplyResult = 0;
    mDumpApplied = false;
    mAwaitingDump = true;
}

bool LMidiManager::EndAwaitingDump(int32_t& applyResult)
{
    bool applied;
    {
        Mutex::Lock lock(mLock);
        mAwaitingDump = false;
        applied = mDumpApplied;
        applyResult = mApplyResult;
    }
    // The worker opens the gate just after it lets go of the lock: once it
    // is open, no late opening can reach the next get.
    if (applied) WaitForGate(mPresetGate, kWaitInfinite);
    return applied;
}

QVResult LMidiManager::OnMidiDataCaptured(const RCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>& notification)
{
    const RCPtr<LMidiCaptureNotificationData> data =
        RCPtr<LMidiCaptureNotificationData>::DynamicCast(notification ? notification->GetPayload() : nullptr);
    if (!data || !sender) return 1;
    const IArray<signed char>& bytes = data->GetBytes();
    if (bytes.GetCount() != kPresetDumpSize) return 1;
    uint8_t dump[kPresetDumpSize];
    std::memcpy(dump, bytes.GetData(), kPresetDumpSize);
    if (!IsPresetDump(dump, kPresetDumpSize)) return 1;

    {
        Mutex::Lock lock(mLock);
        const bool fromCurrentComm =
            mComm && static_cast<LNotificationDistributor*>(mComm.Get()) == sender.Get();
        if (!fromCurrentComm || !mAwaitingDump || mDumpApplied) return 1;
        mApplyResult = ApplyPresetDump(dump);
        mDumpApplied = true;
    }
    // Opened outside the lock, which the woken caller takes at once.
    mPresetGate.Set();
    return 1;
}

int32_t LMidiManager::ApplyPresetDump(const uint8_t* dump)
{
    const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
    if (!engine) return kMidiError;
    Array<ParamValue> current;
    (void)engine->GetParamValues(engine->GetFirstParamID(), kPresetParamCount, current, -1);  // always 0
    Array<ParamValue> received;
    if (!ReadPresetDump(dump, current, received)) return kMidiError;
    int32_t result = 0;
    for (uint32_t i = 0; i < received.GetCount(); ++i) {
        const ParamValue& value = *received.GetItemPtr(i);
        if (engine->SetParamValue(value.descriptor, value.value) < 0) result = kMidiError;
    }
    return result;
}

int32_t LMidiManager::SendPresetToMidiDevice(int32_t)
{
    if (!ResetMidiConnection(kPortName, kPortName)) return kMidiError;
    const RCPtr<LMidiComm> comm = GetComm();
    RCPtr<LMidiRenderPort> port;
    const QVResult opened = comm->OpenRenderPort(kPortName, port);
    if (!port) return opened;

    const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
    if (!engine) return E_FAIL;
    Array<ParamValue> values;
    (void)engine->GetParamValues(engine->GetFirstParamID(), kPresetParamCount, values, -1);  // always 0
    Message body;
    if (!BuildPresetDumpBody(values, body)) return E_FAIL;
    return SendSysEx(body, port);
}

int32_t LMidiManager::PrepareMidiOutput(const String&)
{
    if (!ResetMidiConnection(kPortName, kPortName)) return kMidiError;
    RCPtr<LMidiRenderPort> port;
    return GetComm()->OpenRenderPort(kPortName, port);
}

int32_t LMidiManager::RequestNonPresetParameterFromDevice(const String&)
{
    if (!ResetMidiConnection(kPortName, kPortName)) return E_FAIL;
    const RCPtr<LMidiComm> comm = GetComm();
    RCPtr<LMidiRenderPort> render;
    RCPtr<LMidiCapturePort> capture;
    (void)comm->OpenRenderPort(kPortName, render);  // nothing is sent on it
    const QVResult opened = comm->OpenCapturePort(kPortName, capture);

    const QVResult subscribed = Subscribe(comm);
    if (Failed(subscribed)) ThrowFailedResult(subscribed, kNonPresetMethod, kSource, 419);
    // Which parameter this would ask for is not known, so nothing is sent.
    mParameterGate.Reset();
    const QVResult unsubscribed = Unsubscribe(comm);
    if (Failed(unsubscribed)) ThrowFailedResult(unsubscribed, kNonPresetMethod, kSource, 450);
    return opened;
}

bool LMidiManager::IsDeviceFirmwareVersionUseable()
{
    if (!ResetMidiConnection(kPortName, kPortName)) return false;
    const RCPtr<LMidiComm> comm = GetComm();
    RCPtr<LMidiRenderPort> render;
    RCPtr<LMidiCapturePort> capture;
    // A render port that does not open stays null: the request then gets no reply.
    (void)comm->OpenRenderPort(kPortName, render);
    if (Failed(comm->OpenCapturePort(kPortName, capture))) return false;

    const QVResult subscribed = Subscribe(comm);
    if (Failed(subscribed)) ThrowFailedResult(subscribed, kFirmwareMethod, kSource, 487);
    mIdentityGate.Reset();
    int32_t outcome = kIdentityNotSent;
    if (SendIdentityRequest(render) >= 0) {
        // Nothing opens this gate: the identity reply is not recognised.
        outcome = WaitForGate(mIdentityGate, mTimeouts.replyMs) ? kIdentityAnswered : kIdentityNoReply;
    }
    const QVResult unsubscribed = Unsubscribe(comm);
    if (Failed(unsubscribed)) ThrowFailedResult(unsubscribed, kFirmwareMethod, kSource, 518);
    return outcome == kIdentityAnswered;
}

QVResult LMidiManager::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification)
{
    return mHandler ? mHandler->ReceiveNotification(sender, notification) : S_OK;
}

QVResult LMidiManager::UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                              const char16_t* nameOrId)
{
    if (mHandler) mHandler->UnregisterHandler(distributor, nameOrId);
    return LNotificationClient::UnregisterNotification(distributor, nameOrId);
}

QVResult LMidiManager::ReleaseInternalReferences() { return LNotificationClient::ReleaseInternalReferences(); }

}  // namespace QV
