#include "LCheckedListBox.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "CAutoNotificationDisabler.h"
#include "LIndexedDataParam.h"

namespace QV {

LCheckedListBox::LCheckedListBox(LControl* parent, const String& name) : LListBox(parent, name) {}

LCheckedListBox::~LCheckedListBox() = default;

QV_OWN_HANDLER_DEFINITIONS(LCheckedListBox, LListBox, mCheckedHandler)

namespace {

constexpr const char16_t* kValueChange = u"NID_VALUE_CHANGE";
constexpr const char16_t* kLeftClick = u"NID_LEFT_CLICK";

}  // namespace

QVResult LCheckedListBox::Initialize()
{
    // The handler exists before the base creates the first rows.
    mCheckedHandler = new LNotificationHandler<LCheckedListBox>(this);
    const QVResult result = LListBox::Initialize();
    // Derived lists (the popup menu) use that look for themselves.
    if (std::string_view(GetTypeName()).find("LCheckedListBox") != std::string_view::npos) LoadSkinIcons();
    return result;
}

void LCheckedListBox::LoadSkinIcons()
{
    if (GetPartCount() <= kIcons || GetVisualPartIndex(kIcons) != kIcons) return;
    const std::vector<RCPtr<LBitmap>> icons = GetVisualPart(kIcons)->GetPartBitmaps();
    mIcons.insert(mIcons.end(), icons.begin(), icons.end());
    SetShowIcons(true);
    // Rows made before the icons were known show each item's own.
    RefreshRowsFrom(mTopIndex);
}

LCheckedListBoxItem* LCheckedListBox::GetCheckedRow(uint32_t row) const
{
    return dynamic_cast<LCheckedListBoxItem*>(GetRow(row));
}

QVResult LCheckedListBox::CreateItemControls()
{
    const QVResult result = LListBox::CreateItemControls();
    if (result < 0 || GetRowCount() == 0) return result;
    LCheckedListBoxItem* row = GetCheckedRow(GetRowCount() - 1);
    if (!row) return result;
    row->SetShowIcon(mShowIcons);
    row->SetTickOnly(mSecondRowFlag);
    WireRow(*row);
    // The base refreshed the row before it was wired.
    const int32_t item = GetItemIndexOfControl(row);
    if (item >= 0) RefreshItem(item);
    return result;
}

void LCheckedListBox::WireRow(LCheckedListBoxItem& row)
{
    RCPtr<LButton> box = row.GetCheckBox();
    if (!box || !mCheckedHandler) return;
    box->SetAutoValueSet(mAutoCheck);
    const RCPtr<LNotificationDistributor> source(box.Get());
    // Usually the other mode was never registered; nothing depends on the answer.
    (void)UnregisterNotification(source, mAutoCheck ? kLeftClick : kValueChange);
    if (mAutoCheck) {
        (void)mCheckedHandler->RegisterHandler(&LCheckedListBox::OnBoxValueChange, source, kValueChange);
    } else {
        (void)mCheckedHandler->RegisterHandler(&LCheckedListBox::OnBoxClick, source, kLeftClick);
    }
}

void LCheckedListBox::SetRowChecked(LCheckedListBoxItem& row, bool checked)
{
    RCPtr<LButton> box = row.GetCheckBox();
    const RCPtr<LNotificationDistributor> source(box.Get());
    const bool subscribed = box && mCheckedHandler &&
                            mCheckedHandler->Handles(source, NotificationNameTable::GetNotificationID(kValueChange));
    if (!subscribed) {
        row.SetChecked(checked);
        return;
    }
    CAutoNotificationDisabler<LCheckedListBox> quiet(*this, mCheckedHandler, source, kValueChange);
    row.SetChecked(checked);
}

QVResult LCheckedListBox::RefreshItem(int32_t index)
{
    const QVResult result = LListBox::RefreshItem(index);
    if (result != S_OK) return result;
    auto* row = dynamic_cast<LCheckedListBoxItem*>(GetRowOfItem(index));
    if (!row) return result;
    SetRowChecked(*row, IsItemChecked(index));
    row->SetIcon(GetItemIcon(index));
    return result;
}

void LCheckedListBox::ClearRow(LListBoxItem& row)
{
    LListBox::ClearRow(row);
    if (auto* checked = dynamic_cast<LCheckedListBoxItem*>(&row)) {
        SetRowChecked(*checked, false);
        checked->SetIcon(nullptr);
    }
}

QVResult LCheckedListBox::OnBoxValueChange(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    return OnBoxNotification(sender, &LCheckedListBox::OnCheckBoxValue);
}

QVResult LCheckedListBox::OnBoxClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    return OnBoxNotification(sender, &LCheckedListBox::OnCheckBoxClicked);
}

QVResult LCheckedListBox::OnBoxNotification(const RCPtr<LNotificationDistributor>& sender,
                                            void (LCheckedListBox::*handle)(int32_t, double))
{
    auto* box = dynamic_cast<LControl*>(sender.Get());
    const int32_t index = box ? GetItemIndexOfControl(box->GetParent()) : -1;
    if (index < 0) return 1;
    (this->*handle)(index, box->GetValue());
    RefreshItem(index);
    return 1;
}

int32_t LCheckedListBox::GetItemCount() const
{
    return static_cast<int32_t>(mCheckedItems.size());
}

int32_t LCheckedListBox::SetItemCount(int32_t count)
{
    const int32_t result = LListBox::SetItemCount(count);
    UpdateCheckedCount();
    // Rows of removed items must not keep their boxes and icons.
    RefreshRowsFrom(mTopIndex);
    return result;
}

LCheckedItemRecord* LCheckedListBox::GetItem(int32_t index)
{
    if (index < 0 || index >= GetItemCount()) return nullptr;
    return &mCheckedItems[static_cast<size_t>(index)];
}

QVResult LCheckedListBox::InsertItem(int32_t index)
{
    return InsertRecord(mCheckedItems, index);
}

QVResult LCheckedListBox::EraseItem(int32_t index)
{
    return EraseRecord(mCheckedItems, index);
}

QVResult LCheckedListBox::SwapItems(int32_t first, int32_t second)
{
    LCheckedItemRecord* a = GetItem(first);
    LCheckedItemRecord* b = GetItem(second);
    if (!a || !b) return E_INVALIDARG;
    std::swap(*a, *b);
    return S_OK;
}

void LCheckedListBox::UpdateCheckedCount()
{
    mCheckedCount = static_cast<int32_t>(
        std::count_if(mCheckedItems.begin(), mCheckedItems.end(), [](const auto& r) { return r.checked; }));
}

bool LCheckedListBox::IsItemChecked(int32_t index) const
{
    return index >= 0 && index < GetItemCount() && mCheckedItems[static_cast<size_t>(index)].checked;
}

void LCheckedListBox::SetItemChecked(int32_t index, bool checked)
{
    LCheckedItemRecord* item = GetItem(index);
    if (!item || item->checked == checked) return;
    item->checked = checked;
    mCheckedCount += checked ? 1 : -1;
    RefreshItem(index);
}

RCPtr<LBitmap> LCheckedListBox::GetItemIcon(int32_t index) const
{
    if (index < 0 || index >= GetItemCount()) return nullptr;
    if (!mIcons.empty()) return mIcons[static_cast<size_t>(index) % mIcons.size()];
    return mCheckedItems[static_cast<size_t>(index)].icon;
}

void LCheckedListBox::SetShowIcons(bool on)
{
    mShowIcons = on;
    for (uint32_t r = GetRowCount(); r-- > 0;) {
        if (LCheckedListBoxItem* row = GetCheckedRow(r)) row->SetShowIcon(on);
    }
}

void LCheckedListBox::SetAutoCheck(bool on)
{
    if (mAutoCheck == on) return;
    mAutoCheck = on;
    for (uint32_t r = GetRowCount(); r-- > 0;) {
        if (LCheckedListBoxItem* row = GetCheckedRow(r)) WireRow(*row);
    }
}

void LCheckedListBox::OnCheckBoxValue(int32_t index, double value)
{
    if (index < 0 || index >= GetItemCount()) return;
    RCPtr<LRefCountedObject> param(new LIndexedDataWithValueParam(nullptr, index, value));
    // The count follows only a real change of the flag.
    SetItemChecked(index, value >= 0.5);
    mPosts.Post(*this, u"NID_ITEM_CHECK_CHANGE", param);
}

void LCheckedListBox::OnCheckBoxClicked(int32_t index, double value)
{
    if (index < 0 || index >= GetItemCount()) return;
    mPosts.Post(*this, u"NID_ITEM_CHECKBOX_CLICKED",
                RCPtr<LRefCountedObject>(new LIndexedDataWithValueParam(nullptr, index, value)));
}

void LCheckedListBox::OnTimer()
{
    LListBox::OnTimer();
    mPosts.Deliver(*this);
}

}  // namespace QV
