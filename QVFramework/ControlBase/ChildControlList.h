#pragma once
// A control's children in insertion order, with drawing-order and tab-order
// index arrays rebuilt lazily when the change counter has moved.
#include <cstdint>
#include <string_view>
#include <unordered_map>
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
    QVResult RemoveChild(LControl* child);
    // 0; 1 when the list was empty.
    QVResult RemoveAll();
    // 1 the child already has the name; E_INVALIDARG a sibling has it; E_FAIL
    // not a child; 0 renamed, the later siblings' layout following the new name.
    [[nodiscard]] QVResult RenameChild(LControl* child, const String& name);
    void MarkChanged() { ++mChangeCounter; }
    // Moves whenever a child is added or taken out.
    uint32_t GetMembershipStamp() const { return mMembershipStamp; }
    bool IsSorted() const { return mChangeCounter == mSortedStamp; }
    // Insertion index, -1 when absent.
    int32_t IndexOf(const LControl* child) const;
    // Position in an order, searched from the end; -1 when absent.
    int32_t PositionOf(const LControl* child, int32_t order);
    // Counted references in an order, for walks that listeners may change.
    std::vector<RCPtr<LControl>> Snapshot(int32_t order);

    // The child of that name, null when none (names are unique among siblings).
    const LControl* FindByName(std::u16string_view name) const;
    // A child's position, size or anchor records changed: the sibling index follows.
    void MarkLayoutChanged() { mIndexValid = false; }
    // The later children whose own records name the child at that index, in
    // insertion order; a child naming a later one is not among them (see HasForwardReference).
    const std::vector<uint32_t>& DependentsOf(uint32_t index) const;
    // A child names itself or a later sibling: a bounds change then cannot tell
    // which later siblings it reaches.
    bool HasForwardReference() const;

    // Children in the middle of a bounds or scroll change, innermost last;
    // such a child stops the re-layout of the siblings before it.
    void PushBusy(const LControl* child);
    void PopBusy() { mBusyMax.pop_back(); }
    // A child after the one at that index is busy, the innermost busy child aside.
    bool LaterSiblingBusy(int32_t index) const
    {
        return mBusyMax.size() >= 2 && mBusyMax[mBusyMax.size() - 2] > index;
    }

private:
    void SortIfNeeded() const;
    void BuildIndexIfNeeded() const;
    void TakeOut(uint32_t index);

    LControl* mOwner;
    std::vector<RCPtr<LControl>> mChildren;
    mutable std::vector<uint32_t> mTabOrder;
    mutable std::vector<uint32_t> mDrawOrder;
    uint32_t mChangeCounter = 1;
    uint32_t mMembershipStamp = 0;
    mutable uint32_t mSortedStamp = 0;
    // The sibling index, rebuilt on first use after a change: the name keys
    // view the children's own names, which change only through this list.
    mutable bool mIndexValid = false;
    mutable bool mForwardReference = false;
    mutable std::unordered_map<std::u16string_view, uint32_t> mByName;
    mutable std::vector<std::vector<uint32_t>> mDependents;
    std::vector<int32_t> mBusyMax;  // running maximum of the busy children's indices
};

// A child busy in its parent's list for the scope (see PushBusy).
class BusyChildScope {
public:
    BusyChildScope(ChildControlList* list, const LControl* child) : mList(list)
    {
        if (mList) mList->PushBusy(child);
    }
    ~BusyChildScope()
    {
        if (mList) mList->PopBusy();
    }
    BusyChildScope(const BusyChildScope&) = delete;
    BusyChildScope& operator=(const BusyChildScope&) = delete;

private:
    ChildControlList* mList;
};

}  // namespace QV
