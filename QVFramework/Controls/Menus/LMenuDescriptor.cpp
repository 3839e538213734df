#include "LMenuDescriptor.h"

#include "LMenuItemDescriptor.h"

namespace QV {

LMenuDescriptor::LMenuDescriptor() = default;

LMenuDescriptor::~LMenuDescriptor()
{
    // The owner counted this back pointer as internal; give that back.
    SetParent(nullptr);
}

RCPtr<LMenuItemDescriptor> LMenuDescriptor::GetItem(uint32_t index) const
{
    if (index >= mItems.GetCount()) return nullptr;
    return *mItems.GetItemPtr(index);
}

QVResult LMenuDescriptor::InsertItem(uint32_t index, const RCPtr<LMenuItemDescriptor>& entry)
{
    const QVResult r = mItems.InsertItem(index, entry);
    if (Failed(r)) return r;
    if (entry) entry->SetParent(this);
    return r;
}

QVResult LMenuDescriptor::InsertItem(uint32_t index, const String& text, const String& key, bool enabled, bool checked)
{
    return InsertItem(index, CreateMenuItemDescriptor(text, key, enabled, checked));
}

QVResult LMenuDescriptor::InsertSeparator(uint32_t index)
{
    return InsertItem(index, CreateSeparatorDescriptor());
}

QVResult LMenuDescriptor::AddItem(const String& text, const String& key)
{
    return InsertItem(GetItemCount(), text, key, true, false);
}

void LMenuDescriptor::SetParent(LMenuDescriptor* owner)
{
    if (owner == mParent.Get()) return;
    // The old owner loses its internal count before the reference, so its
    // release does not mistake a live owner for a bare cycle.
    if (owner) owner->AddInternalReference();
    RCPtr<LMenuDescriptor> old = std::move(mParent);
    mParent = owner;
    if (old) old->RemoveInternalReference();
}

QVResult LMenuDescriptor::GetItemInfo(uint32_t index, LMenuItemInfo& out) const
{
    out = LMenuItemInfo{};
    if (index >= mItems.GetCount()) return E_INVALIDARG;
    const LMenuItemDescriptor& entry = **mItems.GetItemPtr(index);
    out.enabled = entry.IsEnabled() ? 1 : 0;
    out.checked = entry.IsChecked() ? 1 : 0;
    out.text = entry.GetText();
    return S_OK;
}

RCPtr<LMenuDescriptor> LMenuDescriptor::Clone() const
{
    RCPtr<LMenuDescriptor> copy(new LMenuDescriptor());
    CloneItemsInto(*copy);
    return copy;
}

void LMenuDescriptor::CloneItemsInto(LMenuDescriptor& target) const
{
    for (uint32_t i = 0; i < mItems.GetCount(); ++i) {
        const RCPtr<LMenuItemDescriptor>& entry = *mItems.GetItemPtr(i);
        // Appending to a fresh copy no longer than this menu cannot hit the item limit.
        (void)target.AddItem(entry ? entry->Clone() : RCPtr<LMenuItemDescriptor>());
    }
}

void LMenuDescriptor::RemoveAllItems()
{
    for (uint32_t i = mItems.GetCount(); i-- > 0;) {
        RCPtr<LMenuItemDescriptor> entry;
        (void)mItems.RemoveItem(i, entry);  // i is in range
        if (entry && entry->GetParent() == this) entry->SetParent(nullptr);
    }
    SetParent(nullptr);
}

QVResult LMenuDescriptor::ReleaseInternalReferences()
{
    RemoveAllItems();
    return S_OK;
}

}  // namespace QV
