#pragma once
// A menu as data: an ordered list of entries, each of which may hold the
// entries of a submenu. An entry keeps a counted back pointer to the menu
// holding it, counted there as an internal reference, so a menu held only by
// its entries' back pointers breaks the cycle and goes.
#include <cstdint>

#include "LTaggableObject.h"
#include "RCPtrArray.h"
#include "StringT.h"

namespace QV {

class LMenuItemDescriptor;

struct LMenuItemInfo {
    uint8_t enabled = 0;
    uint8_t checked = 0;
    String text;
};

class LMenuDescriptor : public LTaggableObject {
    QV_TYPE_NAME("class QV::LMenuDescriptor")
public:
    LMenuDescriptor();
    ~LMenuDescriptor() override;
    LMenuDescriptor(const LMenuDescriptor&) = delete;
    LMenuDescriptor& operator=(const LMenuDescriptor&) = delete;

    uint32_t GetItemCount() const { return mItems.GetCount(); }
    // Null past the end.
    RCPtr<LMenuItemDescriptor> GetItem(uint32_t index) const;
    LMenuDescriptor* GetParent() const { return mParent.Get(); }

    // The array's result: the index, or a negative code for an index past
    // the end (then the entry keeps its parent).
    [[nodiscard]] QVResult InsertItem(uint32_t index, const RCPtr<LMenuItemDescriptor>& entry);
    [[nodiscard]] QVResult InsertItem(uint32_t index, const String& text, const String& key, bool enabled, bool checked);
    [[nodiscard]] QVResult InsertSeparator(uint32_t index);
    [[nodiscard]] QVResult AddItem(const String& text, const String& key);
    [[nodiscard]] QVResult AddItem(const RCPtr<LMenuItemDescriptor>& entry) { return InsertItem(GetItemCount(), entry); }

    void SetParent(LMenuDescriptor* owner);
    // E_INVALIDARG past the end, with out reset.
    [[nodiscard]] QVResult GetItemInfo(uint32_t index, LMenuItemInfo& out) const;
    RCPtr<LMenuDescriptor> Clone() const;
    void RemoveAllItems();

    QVResult ReleaseInternalReferences() override;

protected:
    // Appends clones of this menu's entries to target.
    void CloneItemsInto(LMenuDescriptor& target) const;

private:
    RCPtrArray<LMenuItemDescriptor> mItems;
    RCPtr<LMenuDescriptor> mParent;
};

}  // namespace QV
