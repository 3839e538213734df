#pragma once
// Takes one subscription of an owner's handler away for a scope and gives it
// back at the end, so a change the owner makes itself does not come back as
// a notification. Its destructor never throws: a failed re-subscription is
// written to the debug log.
#include <string>

#include "DebugLog.h"
#include "Exception.h"
#include "LNotificationHandler.h"

namespace QV {

template <class T>
class CAutoNotificationDisabler {
public:
    using Handler = typename LNotificationHandler<T>::Handler;

    // Raises the failed-result error when the subscription is not there.
    CAutoNotificationDisabler(T& owner, const RCPtr<LNotificationHandler<T>>& handler,
                              const RCPtr<LNotificationDistributor>& source, const char16_t* name)
        : mOwner(owner), mHandler(handler), mSource(source), mName(name)
    {
        const QVResult found = mHandler ? mHandler->FindHandler(mSource, mName, mCallback, mFlags) : E_FAIL;
        if (Failed(found)) ThrowFailedResult(found, Method(""), kPath, 247);
        const QVResult removed = mOwner.UnregisterNotification(mSource, mName);
        if (Failed(removed)) ThrowFailedResult(removed, Method(""), kPath, 248);
    }

    ~CAutoNotificationDisabler()
    {
        try {
            const QVResult r = mHandler->RegisterHandler(mCallback, mSource, mName, mFlags);
            if (Failed(r)) ThrowFailedResult(r, Method("~"), kPath, 253);
        } catch (const std::exception& e) {
            DebugLog::GetNarrowStream() << e.what() << std::endl;
        }
    }

    CAutoNotificationDisabler(const CAutoNotificationDisabler&) = delete;
    CAutoNotificationDisabler& operator=(const CAutoNotificationDisabler&) = delete;

private:
    static constexpr const char* kPath = "qvframework\\notification\\LNotificationHandler.h";

    static std::string Method(const char* tilde)
    {
        const std::string cls = "QV::CAutoNotificationDisabler<" + CloseTemplateName(TypeNameOf<T>());
        return cls + "::" + tilde + "CAutoNotificationDisabler";
    }

    T& mOwner;
    RCPtr<LNotificationHandler<T>> mHandler;
    RCPtr<LNotificationDistributor> mSource;
    const char16_t* mName;
    Handler mCallback = nullptr;
    uint32_t mFlags = 0;
};

}  // namespace QV
