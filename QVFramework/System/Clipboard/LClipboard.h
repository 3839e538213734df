#pragma once
// Connects the program to the system clipboard and routes the four edit
// requests to the edit target of the focused control. It keeps the last value
// that passed through it: text copied inside the program comes back without
// reading the clipboard, and a value that is not text can be pasted inside
// the program while the clipboard still carries the private mark.
// UI thread only; mSetting guards against re-entry on that thread.
#include <functional>
#include <memory>

#include "ClipboardService.h"
#include "LNotificationCenterManager.h"
#include "LNotificationClient.h"
#include "LNotificationHandler.h"
#include "LStringValue.h"

namespace QV {

// What the bridge asks of the focused control's edit target.
class IEditCommandTarget {
public:
    virtual ~IEditCommandTarget() = default;
    virtual bool HandlesEditCommands() = 0;
    virtual bool CanPerformEdit(int32_t command) = 0;
    [[nodiscard]] virtual QVResult PerformEdit(int32_t command) = 0;
};

class LClipboard : public LNotificationClient {
    QV_TYPE_NAME("class QV::LClipboard")
public:
    static constexpr int32_t kDelete = 0;
    static constexpr int32_t kCut = 1;
    static constexpr int32_t kCopy = 2;
    static constexpr int32_t kPaste = 3;

    // The edit target of the focused control of the active root window; null
    // when there is no such window, control or target.
    using EditTargetLookup = std::function<std::shared_ptr<IEditCommandTarget>()>;

    static RCPtr<LClipboard> Create();

    // Subscribes to the four edit requests of the center; raises a failed
    // result when a subscription is refused.
    [[nodiscard]] QVResult Initialize(const RCPtr<LNotificationDistributor>& center);
    // On the application's default notification center.
    [[nodiscard]] QVResult Initialize() { return Initialize(GetDefaultNotificationCenter()); }
    bool IsInitialized() const { return mInitialized; }
    void SetEditTargetLookup(EditTargetLookup lookup) { mLookup = std::move(lookup); }

    // The target's result, or 1 when nobody can perform the command.
    [[nodiscard]] QVResult PerformEditCommand(int32_t command);
    bool CanPerformEditCommand(int32_t command);

    // The clipboard's content: an LStringValue for text, this program's own
    // value while the private mark holds, else the last value seen.
    RCPtr<LRefCountedObject> GetText();
    // 0; 1 when called again from inside itself; E_FAIL when the clipboard
    // could not be written.
    [[nodiscard]] QVResult SetText(const RCPtr<LRefCountedObject>& value);

    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;

private:
    LClipboard() = default;
    std::shared_ptr<IEditCommandTarget> FindTarget() const;
    [[nodiscard]] QVResult OnCut(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&);
    [[nodiscard]] QVResult OnCopy(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&);
    [[nodiscard]] QVResult OnPaste(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&);
    [[nodiscard]] QVResult OnDelete(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&);

    RCPtr<LNotificationHandler<LClipboard>> mHandler;
    uint32_t mCachedSequence = 0;
    RCPtr<LRefCountedObject> mCachedValue;
    bool mInitialized = false;
    bool mSetting = false;
    EditTargetLookup mLookup;
};

}  // namespace QV
