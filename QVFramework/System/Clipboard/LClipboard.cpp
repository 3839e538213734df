#include "LClipboard.h"

#include "Exception.h"

namespace QV {
namespace {

RCPtr<LRefCountedObject> SharedEmptyText()
{
    static const RCPtr<LRefCountedObject> empty(new LStringValue(String()));
    return empty;
}

}  // namespace

RCPtr<LClipboard> LClipboard::Create()
{
    return RCPtr<LClipboard>(new LClipboard);
}

QVResult LClipboard::Initialize(const RCPtr<LNotificationDistributor>& center)
{
    mHandler = RCPtr<LNotificationHandler<LClipboard>>(new LNotificationHandler<LClipboard>(this));
    const struct {
        LNotificationHandler<LClipboard>::Handler handler;
        const char16_t* name;
        int line;
    } kRequests[] = {{&LClipboard::OnCut, u"NID_EDIT_CUT_REQ", 41},
                     {&LClipboard::OnCopy, u"NID_EDIT_COPY_REQ", 42},
                     {&LClipboard::OnPaste, u"NID_EDIT_PASTE_REQ", 43},
                     {&LClipboard::OnDelete, u"NID_EDIT_DELETE_REQ", 44}};
    try {
        for (const auto& request : kRequests) {
            const QVResult result = mHandler->RegisterHandler(request.handler, center, request.name);
            if (Failed(result))
                ThrowFailedResult(result, "QV::LClipboard::Initialize", "System\\ClipBoard", request.line);
        }
    } catch (const std::runtime_error&) {
        return E_FAIL;
    }
    mInitialized = true;
    return S_OK;
}

std::shared_ptr<IEditCommandTarget> LClipboard::FindTarget() const
{
    if (!mLookup) return nullptr;
    std::shared_ptr<IEditCommandTarget> target = mLookup();
    if (!target || !target->HandlesEditCommands()) return nullptr;
    return target;
}

QVResult LClipboard::PerformEditCommand(int32_t command)
{
    std::shared_ptr<IEditCommandTarget> target = FindTarget();
    if (!target || !target->CanPerformEdit(command)) return kNotHandled;
    return target->PerformEdit(command);
}

bool LClipboard::CanPerformEditCommand(int32_t command)
{
    std::shared_ptr<IEditCommandTarget> target = FindTarget();
    return target && target->CanPerformEdit(command);
}

QVResult LClipboard::OnCut(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    (void)PerformEditCommand(kCut);  // no target able to take it: nothing to do
    return S_OK;
}

QVResult LClipboard::OnCopy(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    (void)PerformEditCommand(kCopy);  // no target able to take it: nothing to do
    return S_OK;
}

QVResult LClipboard::OnPaste(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    (void)PerformEditCommand(kPaste);  // no target able to take it: nothing to do
    return S_OK;
}

QVResult LClipboard::OnDelete(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    (void)PerformEditCommand(kDelete);  // no target able to take it: nothing to do
    return S_OK;
}

QVResult LClipboard::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification)
{
    // The handlers act on the request; their answer is not the sender's concern.
    if (mHandler) (void)mHandler->ReceiveNotification(sender, notification);
    return LNotificationClient::ReceiveNotification(sender, notification);
}

RCPtr<LRefCountedObject> LClipboard::GetText()
{
    Platform::IClipboardService& clipboard = Platform::GetClipboardService();
    const uint32_t sequence = clipboard.GetSequenceNumber();
    if (sequence == mCachedSequence || clipboard.HasPrivateMark()) return mCachedValue;
    if (!clipboard.HasText()) {
        mCachedValue = SharedEmptyText();
        return mCachedValue;
    }
    const std::optional<std::string> text = clipboard.GetText();
    if (!text) return mCachedValue;
    String wide;
    wide.AssignNarrow(text->data(), static_cast<int32_t>(text->size()));
    mCachedValue = RCPtr<LRefCountedObject>(new LStringValue(wide));
    mCachedSequence = sequence;
    return mCachedValue;
}

QVResult LClipboard::SetText(const RCPtr<LRefCountedObject>& value)
{
    if (mSetting) return kNothingToDo;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(mSetting);

    mCachedValue = value;
    if (!value) return S_OK;
    Platform::IClipboardService& clipboard = Platform::GetClipboardService();
    const auto* text = dynamic_cast<const LStringValue*>(value.Get());
    const bool written = text ? clipboard.SetText(text->GetText().ToUtf8()) : clipboard.SetPrivateMark();
    if (!written) return E_FAIL;
    mCachedSequence = clipboard.GetSequenceNumber();
    return S_OK;
}

}  // namespace QV
