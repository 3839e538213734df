#pragma once
// Moves a whole keyboard setup between the editor and the Tarsel as one
// System Exclusive dump, and sends the universal identity request. Every
// operation but SendIdentityRequest starts on a new comm: it opens both
// ports once to see that the keyboard is there, closes them, then opens the
// ports it needs. The operations block their caller (the UI thread); a dump
// arrives on the comm's pool worker, and the preset gate hands it over. The
// comms share the manager's pool, so that worker is started once and waits
// between operations, where a pool per comm would start and join a thread
// with every operation; it ends with the manager.
#include <cstdint>

#include "IArray.h"
#include "LMidiCapturePort.h"
#include "LMidiComm.h"
#include "LMidiRenderPort.h"
#include "LNotificationClient.h"
#include "LNotificationDistributor.h"
#include "LNotificationHandler.h"
#include "LThreadPool.h"
#include "Mutex.h"
#include "RCPtr.h"
#include "StringT.h"
#include "TrafficLight.h"

namespace QV {

class LMidiManager : public LNotificationClient, public LNotificationDistributor {
    QV_TYPE_NAME("class QV::LMidiManager")

public:
    // Part of the system name of the keyboard's ports, in any letter case.
    static constexpr const char16_t* kPortName = u"Tarsel";
    static constexpr uint32_t kReplyTimeoutMs = 1000;

    // Results of the preset operations.
    static constexpr int32_t kMidiError = -1;
    static constexpr int32_t kNoDump = -3;

    struct Timeouts {
        uint32_t replyMs = kReplyTimeoutMs;          // for a dump or an identity reply
        uint32_t sendMs = LMidiComm::kSendTimeoutMs;  // for the driver to take a message
    };

    static RCPtr<LMidiManager> Create();
    static RCPtr<LMidiManager> Create(const Timeouts& timeouts);
    ~LMidiManager() override;
    LMidiManager(const LMidiManager&) = delete;
    LMidiManager& operator=(const LMidiManager&) = delete;

    // -1 without the keyboard's ports; E_FAIL when the output cannot be
    // opened, the current values do not make a sound dump or the send fails;
    // else the bytes sent (100).
    [[nodiscard]] virtual int32_t SendPresetToMidiDevice(int32_t unused);
    // 0 once a dump arrived and the engine took its values; -1 without the
    // keyboard's ports, when the request could not be sent, or when the dump
    // could not be applied; -3 when no dump came in time.
    [[nodiscard]] virtual int32_t GetPresetFromMidiDevice(int32_t unused);
    // -1 without the ports, else the result of opening the output. Sends nothing.
    [[nodiscard]] virtual int32_t PrepareMidiOutput(const String& unused);
    // E_FAIL without the ports, else the result of opening the input. Sends nothing.
    [[nodiscard]] virtual int32_t RequestNonPresetParameterFromDevice(const String& unused);
    virtual bool CheckMidiPorts();
    // The identity reply is not recognised, so this answers false after the wait.
    virtual bool IsDeviceFirmwareVersionUseable();
    // E_FAIL for a null port, else SendSysEx's result.
    [[nodiscard]] virtual int32_t SendIdentityRequest(const RCPtr<LMidiRenderPort>& port);
    // Replaces the comm; true when both ports could be opened (and closed again).
    virtual bool ResetMidiConnection(const String& inputName, const String& outputName);

    // Frames bytes with F0 and F7 where they are missing and sends them:
    // -1 without a port or a comm; E_FAIL for nothing, or for F0 or F7 alone;
    // else the comm's send result.
    [[nodiscard]] int32_t SendSysEx(const IArray<signed char>& bytes, const RCPtr<LMidiRenderPort>& port);

    // On the comm's pool worker. Applies the first preset dump of a get
    // from the current comm; always 1.
    [[nodiscard]] QVResult OnMidiDataCaptured(const RCPtr<LNotificationDistributor>& sender,
                                              const RCPtr<LNotification>& notification);

    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification) override;
    [[nodiscard]] QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                  const char16_t* nameOrId) override;
    [[nodiscard]] QVResult ReleaseInternalReferences() override;

    RCPtr<LMidiComm> GetComm() const;
    bool IsPresetGateOpen() { return mPresetGate.IsSet(); }

protected:
    explicit LMidiManager(const Timeouts& timeouts);

    // Registers OnMidiDataCaptured for the comm's captured data.
    [[nodiscard]] virtual QVResult Subscribe(const RCPtr<LMidiComm>& comm);
    // Fails also when no handler entry was there to remove.
    [[nodiscard]] virtual QVResult Unsubscribe(const RCPtr<LMidiComm>& comm);

private:
    // Applies a dump through the engine: 0, or -1 when it could not.
    [[nodiscard]] int32_t ApplyPresetDump(const uint8_t* dump);
    // Under the lock, so a dump is taken only while a get awaits one.
    void BeginAwaitingDump();
    // Returns once no dump is being applied; none is applied after it.
    // Whether a dump was applied, and with it the apply result.
    [[nodiscard]] bool EndAwaitingDump(int32_t& applyResult);

    RCPtr<LNotificationHandler<LMidiManager>> mHandler;
    const RCPtr<LThreadPool> mPool;  // every comm's deliveries
    RCPtr<LMidiComm> mComm;
    TrafficLight mPresetGate;
    TrafficLight mParameterGate;
    TrafficLight mIdentityGate;
    const Timeouts mTimeouts;
    // Guards the comm, the awaiting and applied flags and the apply result;
    // held by the worker while it applies a dump.
    mutable Mutex mLock;
    bool mAwaitingDump = false;
    bool mDumpApplied = false;  // the first dump of a get only
    int32_t mApplyResult = 0;
};

}  // namespace QV
