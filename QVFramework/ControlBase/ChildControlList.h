#pragma once
// A control's children in insertion order, with drawing-order and tab-order
// index arrays rebuilt lazily when the change counter has moved.
#include <cstdint>
#include <vector>

#include "RCPtr.h"
#include "Result.h"
#include "StringT.h"

namespace QV {

class LControl;

class ChildControlList {
public:
    enum Order : int32_t { kInsertion = 0, kDrawing = 1, kTab = 2 };

    explicit ChildControlList(LControl* owner) : mOwner(owner) {}
    ChildControlList(const ChildControlList&) = delete;
    ChildControlList& operator=(const ChildControlList&) = delete;

    uint32_t GetCount() const { return static_cast<uint32_t>(mChildren.size()); }
    // Raises the runtime error for an index at or beyond the count or an unknown order.
    LControl* GetAt(uint32_t index, int32_t order);
    const LControl* GetAt(uint32_t index, int32_t order) const;
    // 0 added; E_INVALIDARG null; E_FAIL a sibling has the name.
    [[nodiscard]] QVResult AddChild(LControl* child);
    // 0 removed; -1 not a child.
    [[nodiscard]] QVResult RemoveChild(LControl* child);
    // 0; 1 when the list was empty.
    [[nodiscard]] QVResult RemoveAll();
    // 1 the child already has the name; E_INVALIDARG a sibling has it; E_FAIL
    // not a child; 0 renamed, the later siblings' layout following the new name.
    [[nodiscard]] QVResult RenameChild(LControl* child, const String& name);
    void MarkChanged() { ++mChangeCounter; }
    bool IsSorted() const { return mChangeCounter == mSortedStamp; }
    // Insertion index, -1 when absent.
    int32_t IndexOf(const LControl* child) const;
    // Position in an order, searched from the end; -1 when absent.
    int32_t PositionOf(const LControl* child, int32_t order);
    // Counted references in an order, for walks that listeners may change.
    std::vector<RCPtr<LControl>> Snapshot(int32_t order);

private:
    void SortIfNeeded() const;
    void TakeOut(uint32_t index);

    LControl* mOwner;
    std::vector<RCPtr<LControl>> mChildren;
    mutable std::vector<uint32_t> mTabOrder;
    mutable std::vector<uint32_t> mDrawOrder;
    uint32_t mChangeCounter = 1;
    mutable uint32_t mSortedStamp = 0;
};

}  // namespace QV
