#include "LStatusBar.h"

#include "IControlApplication.h"
#include "LHolder.h"

namespace QV {
namespace {
LStatusBar* gCurrent = nullptr;
}

LStatusBar::LStatusBar(LControl* parent, const String& name) : LControl(parent, name), mQueue(new LNotificationQueue())
{
    gCurrent = this;
}

LStatusBar::~LStatusBar()
{
    if (gCurrent == this) gCurrent = nullptr;
}

LStatusBar* LStatusBar::GetCurrent()
{
    return gCurrent;
}

QV_OWN_HANDLER_DEFINITIONS(LStatusBar, LControl, mStatusHandler)

QVResult LStatusBar::Initialize()
{
    const QVResult r = LControl::Initialize();
    mLabel = FindChildControl(u"label1");
    mStatusHandler = new LNotificationHandler<LStatusBar>(this);
    (void)mStatusHandler->RegisterHandler(&LStatusBar::OnSetStatusText, RCPtr<LNotificationDistributor>(this),
                                          u"NID_SET_STATUS_TEXT");
    if (IControlApplication* app = GetControlApplication()) {
        if (RCPtr<LNotificationDistributor> center = app->GetDefaultNotificationCenter())
            (void)mStatusHandler->RegisterHandler(&LStatusBar::OnSetStatusText, center, u"NID_SET_STATUS_TEXT");
    }
    // Posts may come from any thread, so the bar looks for them on every idle tick.
    mIdleSubscribed = SubscribeIdle() == S_OK;
    return r;
}

void LStatusBar::SetStatusText(const String& text)
{
    {
        std::lock_guard<std::mutex> lock(mPendingLock);
        mPending.reset();
    }
    if (mLabel) mLabel->SetText(text);
}

String LStatusBar::GetStatusText() const
{
    return mLabel ? mLabel->GetText() : String();
}

String LStatusBar::GetDefaultStatusText() const
{
    String text;
    if (mLabel && mLabel->GetDescriptor()) mLabel->GetDescriptor()->GetAttribute(u"LABEL", text);
    return text;
}

void LStatusBar::PostStatusText(const String& text)
{
    std::lock_guard<std::mutex> lock(mPendingLock);
    mPending = text;
}

QVResult LStatusBar::OnSetStatusText(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    if (auto* holder = dynamic_cast<LHolder<String>*>(notification->GetPayload().Get()))
        PostStatusText(holder->GetValue());
    return S_OK;
}

void LStatusBar::OnTimer()
{
    LControl::OnTimer();
    std::optional<String> text;
    {
        std::lock_guard<std::mutex> lock(mPendingLock);
        text.swap(mPending);
    }
    if (text && mLabel) mLabel->SetText(*text);
}

}  // namespace QV
