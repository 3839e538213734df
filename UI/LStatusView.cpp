#include "LStatusView.h"

#include "AppStrings.h"
#include "LHolder.h"
#include "LNotificationCenterManager.h"
#include "LRootModuleEngine.h"
#include "RequiredChild.h"

using namespace QV;

LStatusView::LStatusView(LControl* parent, const String& name) : LPanel(parent, name) {}

LStatusView::~LStatusView() = default;

QV_OWN_HANDLER_DEFINITIONS(LStatusView, LPanel, mStatusHandler)

QVResult LStatusView::Initialize()
{
    const QVResult result = LPanel::Initialize();
    if (result < 0) return result;
    SetNotFocusable(true);  // it only shows; a focus here would be out of sight
    mLabel = FindRequiredChild(*this, u"labelConnection", "LStatusView::Initialize", "UI\\StatusView", 20);
    mStatusHandler = new LNotificationHandler<LStatusView>(this);
    const QVResult registered = mStatusHandler->RegisterHandler(
        &LStatusView::OnConnectionStateChange, RCPtr<LNotificationDistributor>(GetDefaultNotificationCenter().Get()),
        u"NID_DEVICE_CONNECTION_STATE_CHANGE");
    if (registered < 0) ThrowFailedResult(registered, "LStatusView::Initialize", "UI\\StatusView", 27);
    RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
    const bool connected = engine && engine->IsKeyboardConnected();
    ShowConnection(connected, connected ? engine->GetSelectedDeviceName() : String());
    return result;
}

void LStatusView::ShowConnection(bool connected, const String& deviceName)
{
    if (!mLabel) return;
    const String format = GetAppString(connected ? u"STATUS_CONNECTED" : u"STATUS_NOT_CONNECTED");
    String text;
    text.Format(format.GetChars(), deviceName.GetChars());
    mLabel->SetText(text);
}

String LStatusView::GetConnectionText() const
{
    return mLabel ? mLabel->GetText() : String();
}

QVResult LStatusView::OnConnectionStateChange(const RCPtr<LNotificationDistributor>&,
                                              const RCPtr<LNotification>& notification)
{
    using State = LRootModuleEngine::DeviceConnectionState;
    auto* state = dynamic_cast<LHolder<State>*>(notification->GetPayload().Get());
    if (!state) return 1;
    RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
    // The state is "connected" for a refused connection too: ask whether a keyboard took it.
    const bool connected =
        state->GetValue() == LRootModuleEngine::kConnected && engine && engine->IsKeyboardConnected();
    ShowConnection(connected, connected ? engine->GetSelectedDeviceName() : String());
    return 1;
}
