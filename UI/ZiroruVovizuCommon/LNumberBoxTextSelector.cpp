#include "LNumberBoxTextSelector.h"

#include <cmath>
#include <cstdio>

#include "Exception.h"

using namespace QV;

LNumberBoxTextSelector::LNumberBoxTextSelector(LControl* parent, const String& name) : LPanel(parent, name) {}

LNumberBoxTextSelector::~LNumberBoxTextSelector() = default;

QVResult LNumberBoxTextSelector::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                                     const RCPtr<LNotification>& notification)
{
    QVResult result = S_OK;
    if (DispatchToOwnHandler(mSelectorHandler, *this, sender, notification, result)) return result;
    return LPanel::ReceiveNotification(sender, notification);
}

QVResult LNumberBoxTextSelector::UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                        const char16_t* nameOrId)
{
    ForgetInOwnHandler(mSelectorHandler, distributor, nameOrId);
    return LPanel::UnregisterNotification(distributor, nameOrId);
}

QVResult LNumberBoxTextSelector::Initialize()
{
    const QVResult result = LPanel::Initialize();
    if (Failed(result)) return result;
    mSelectorHandler = new LNotificationHandler<LNumberBoxTextSelector>(this);
    mUpDown = RCPtr<LNumericUpDown>::DynamicCast(FindChildControl(u"numericUpDown"));
    // Without its up-down the selector stays inert; the panel that owns it
    // names the missing child in its own start-up error.
    if (!mUpDown) return result;
    const QVResult subscribed = mSelectorHandler->RegisterHandler(
        &LNumberBoxTextSelector::OnNumberChange, RCPtr<LNotificationDistributor>(mUpDown.Get()), u"NID_VALUE_CHANGE");
    if (Failed(subscribed)) {
        ThrowFailedResult(subscribed, "LNumberBoxTextSelector::Initialize",
                          "UI\\ZiroruVovizuCommon\\NumberBoxTextSelector", 27);
    }
    // A linear range is always valid.
    (void)SetValueRange(mUpDown->NormalizedToValue(0.0), mUpDown->NormalizedToValue(1.0), 0);
    return result;
}

QVResult LNumberBoxTextSelector::SetValueRange(double minimum, double maximum, int32_t scale)
{
    const QVResult result = LPanel::SetValueRange(minimum, maximum, scale);
    if (Failed(result)) return result;
    if (mUpDown) (void)mUpDown->SetValueRange(minimum, maximum, scale);  // the range was just accepted above
    ShowNumberInUpDown();
    return result;
}

void LNumberBoxTextSelector::OnValueChanged()
{
    LPanel::OnValueChanged();
    ShowNumberInUpDown();
}

int32_t LNumberBoxTextSelector::GetNumber() const
{
    return static_cast<int32_t>(std::lround(NormalizedToValue(GetValue())));
}

void LNumberBoxTextSelector::ShowNumberInUpDown()
{
    if (mUpDown && !mSyncing) {
        mSyncing = true;
        mUpDown->SetNumber(GetNumber());
        mSyncing = false;
    }
    UpdateText(GetNumber());
}

QVResult LNumberBoxTextSelector::OnNumberChange(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    if (mSyncing || !mUpDown) return 1;
    RCPtr<LControl> self(this);
    // An owner may have given the up-down its range directly.
    const double low = mUpDown->NormalizedToValue(0.0), high = mUpDown->NormalizedToValue(1.0);
    if (low != NormalizedToValue(0.0) || high != NormalizedToValue(1.0)) {
        (void)LPanel::SetValueRange(low, high, 0);  // a linear range never fails
    }
    mSyncing = true;
    SetValue(ValueToNormalized(std::round(mUpDown->GetNumber())));
    mSyncing = false;
    // A listener may have moved the selector again (a first note clamped to
    // the last): the number field follows, or it would show the refused number.
    ShowNumberInUpDown();
    return 1;
}

void LNumberBoxTextSelector::UpdateText(int32_t number)
{
    if (RCPtr<LControl> label = FindChildControl(u"textLabel")) {
        label->SetText(ItemText(label, number));
    }
}

String LNumberBoxTextSelector::ItemText(const RCPtr<LControl>& label, int32_t index)
{
    String text;
    if (!label || !label->GetStringTable() || index < 0) return text;
    char id[24];
    std::snprintf(id, sizeof id, "ITEM.%02d", static_cast<int>(index));
    label->GetStringTable()->GetString(String(id), text);
    return text;
}
