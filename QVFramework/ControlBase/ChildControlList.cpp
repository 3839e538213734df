#include "ChildControlList.h"

#include <algorithm>
#include <numeric>

#include "Exception.h"
#include "LControl.h"

namespace QV {
namespace {

[[noreturn]] void ThrowGetAt(int line)
{
    throw Exception<std::runtime_error>(FormatExceptionMessage(
        kRuntimeError, "", "QV::LControl::ChildControlList::GetAt", "ControlBase\\Control", line));
}

bool DrawsBefore(const LControl& a, const LControl& b)
{
    const ControlLayout& la = a.GetLayout();
    const ControlLayout& lb = b.GetLayout();
    if (la.clipToParent != lb.clipToParent) return la.clipToParent;
    if (la.DockedAxes() != lb.DockedAxes()) return la.DockedAxes() < lb.DockedAxes();
    return la.zOrder < lb.zOrder;
}

// Points the records that name `from` at `to`; true when one names `to` afterwards.
bool Retarget(LayoutRecord* records, size_t count, const String& from, const String& to)
{
    bool refers = false;
    for (size_t i = 0; i < count; ++i) {
        if (records[i].kind != LayoutKind::kSibling) continue;
        if (records[i].name == from) records[i].name = to;
        refers = refers || records[i].name == to;
    }
    return refers;
}

}  // namespace

void ChildControlList::SortIfNeeded() const
{
    if (IsSorted()) return;
    const auto build = [this](std::vector<uint32_t>& order, auto before) {
        order.resize(mChildren.size());
        std::iota(order.begin(), order.end(), 0u);
        // Stable: ties keep insertion order.
        std::stable_sort(order.begin(), order.end(),
                         [&](uint32_t a, uint32_t b) { return before(*mChildren[a], *mChildren[b]); });
    };
    build(mDrawOrder, DrawsBefore);
    build(mTabOrder,
          [](const LControl& a, const LControl& b) { return a.GetLayout().tabStop < b.GetLayout().tabStop; });
    mSortedStamp = mChangeCounter;
}

const LControl* ChildControlList::GetAt(uint32_t index, int32_t order) const
{
    if (index >= mChildren.size()) ThrowGetAt(3304);
    switch (order) {
    case kInsertion: return mChildren[index].Get();
    case kDrawing: SortIfNeeded(); return mChildren[mDrawOrder[index]].Get();
    case kTab: SortIfNeeded(); return mChildren[mTabOrder[index]].Get();
    default: ThrowGetAt(3324);
    }
}

LControl* ChildControlList::GetAt(uint32_t index, int32_t order)
{
    if (index >= mChildren.size()) ThrowGetAt(3276);
    if (order < kInsertion || order > kTab) ThrowGetAt(3296);
    return const_cast<LControl*>(static_cast<const ChildControlList*>(this)->GetAt(index, order));
}

void ChildControlList::BuildIndexIfNeeded() const
{
    if (mIndexValid) return;
    mByName.clear();
    mByName.reserve(mChildren.size());
    for (uint32_t i = 0; i < mChildren.size(); ++i) mByName[mChildren[i]->GetName().View()] = i;
    mDependents.assign(mChildren.size(), {});
    mForwardReference = false;
    for (uint32_t j = 0; j < mChildren.size(); ++j) {
        const ControlLayout& l = mChildren[j]->GetLayout();
        for (const LayoutRecord* records : {l.position, l.anchor, l.size}) {
            for (int axis = 0; axis < 2; ++axis) {
                if (records[axis].kind != LayoutKind::kSibling) continue;
                const auto named = mByName.find(records[axis].name.View());
                if (named == mByName.end()) continue;  // no sibling of that name: the record stays as it is
                if (named->second >= j) {
                    mForwardReference = true;
                    continue;
                }
                std::vector<uint32_t>& dependents = mDependents[named->second];
                if (dependents.empty() || dependents.back() != j) dependents.push_back(j);
            }
        }
    }
    mIndexValid = true;
}

const LControl* ChildControlList::FindByName(std::u16string_view name) const
{
    BuildIndexIfNeeded();
    const auto found = mByName.find(name);
    return found == mByName.end() ? nullptr : mChildren[found->second].Get();
}

const std::vector<uint32_t>& ChildControlList::DependentsOf(uint32_t index) const
{
    BuildIndexIfNeeded();
    return mDependents.at(index);
}

bool ChildControlList::HasForwardReference() const
{
    BuildIndexIfNeeded();
    return mForwardReference;
}

void ChildControlList::PushBusy(const LControl* child)
{
    const int32_t index = IndexOf(child);
    mBusyMax.push_back(mBusyMax.empty() ? index : std::max(mBusyMax.back(), index));
}

int32_t ChildControlList::IndexOf(const LControl* child) const
{
    // Each child keeps its place; anything else is searched for.
    if (child && child->mSiblingIndex < mChildren.size() && mChildren[child->mSiblingIndex].Get() == child)
        return static_cast<int32_t>(child->mSiblingIndex);
    for (size_t i = mChildren.size(); i-- > 0;) {
        if (mChildren[i].Get() == child) return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t ChildControlList::PositionOf(const LControl* child, int32_t order)
{
    for (uint32_t i = GetCount(); i-- > 0;) {
        if (GetAt(i, order) == child) return static_cast<int32_t>(i);
    }
    return -1;
}

std::vector<RCPtr<LControl>> ChildControlList::Snapshot(int32_t order)
{
    std::vector<RCPtr<LControl>> out;
    out.reserve(mChildren.size());
    for (uint32_t i = 0; i < GetCount(); ++i) out.emplace_back(GetAt(i, order));
    return out;
}

QVResult ChildControlList::AddChild(LControl* child)
{
    if (child == nullptr) return E_INVALIDARG;
    for (size_t i = mChildren.size(); i-- > 0;) {
        if (mChildren[i].Get() == child || mChildren[i]->GetName() == child->GetName()) return E_FAIL;
    }
    mOwner->IncrementUnclippedCount(child->GetUnclippedCount() + (child->ClipsToParent() ? 0 : 1));
    child->SetParentLink(mOwner);
    child->mSiblingIndex = static_cast<uint32_t>(mChildren.size());
    mChildren.emplace_back(child);
    ++mMembershipStamp;
    mIndexValid = false;
    MarkChanged();
    return S_OK;
}

void ChildControlList::TakeOut(uint32_t index)
{
    RCPtr<LControl> child = mChildren[index];
    mOwner->DecrementUnclippedCount(child->GetUnclippedCount() + (child->ClipsToParent() ? 0 : 1));
    // Every way out of a parent passes here, a dying parent's clean-up too.
    child->LeaveParentSiblingKeys();
    child->SetParentLink(nullptr);
    mChildren.erase(mChildren.begin() + index);
    for (uint32_t i = index; i < mChildren.size(); ++i) mChildren[i]->mSiblingIndex = i;
    ++mMembershipStamp;
    mIndexValid = false;
    MarkChanged();
    mOwner->OnChildRemoved(child.Get(), index);
}

QVResult ChildControlList::RemoveChild(LControl* child)
{
    const int32_t index = IndexOf(child);
    if (index < 0) return -1;
    TakeOut(static_cast<uint32_t>(index));
    return S_OK;
}

QVResult ChildControlList::RemoveAll()
{
    if (mChildren.empty()) return kNothingToDo;
    while (!mChildren.empty()) TakeOut(GetCount() - 1);
    return S_OK;
}

QVResult ChildControlList::RenameChild(LControl* child, const String& name)
{
    if (child && child->GetName() == name) return kNothingToDo;
    int32_t index = -1;
    for (size_t i = mChildren.size(); i-- > 0;) {
        if (mChildren[i].Get() == child) {
            index = static_cast<int32_t>(i);
        } else if (mChildren[i]->GetName() == name) {
            return E_INVALIDARG;
        }
    }
    if (index < 0) return E_FAIL;
    const String old = child->mName;
    child->mName = name;
    mIndexValid = false;
    std::vector<RCPtr<LControl>> moved;
    for (size_t i = static_cast<size_t>(index) + 1; i < mChildren.size(); ++i) {
        ControlLayout& l = mChildren[i]->mLayout;
        // Minimum and maximum records name the sibling's own children, not its siblings.
        bool refers = Retarget(l.position, 2, old, name);
        refers = Retarget(l.anchor, 2, old, name) || refers;
        refers = Retarget(l.size, 2, old, name) || refers;
        if (refers) moved.push_back(mChildren[i]);
    }
    // The owner's own minimum and maximum do name this child.
    (void)Retarget(mOwner->mLayout.limit, 2, old, name);
    (void)Retarget(mOwner->mLayout.minimum, 2, old, name);
    MarkChanged();
    // A sibling that named the new name before had nothing to follow until now.
    for (const RCPtr<LControl>& sibling : moved) sibling->UpdateLayout();
    return S_OK;
}

}  // namespace QV
