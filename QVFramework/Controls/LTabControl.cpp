#include "LTabControl.h"

#include "LButton.h"

namespace QV {
namespace {

uint32_t ChildCount(const RCPtr<LControl>& holder)
{
    return holder ? holder->GetChildren().GetCount() : 0;
}

RCPtr<LControl> ChildAt(const RCPtr<LControl>& holder, int32_t index, uint32_t bound)
{
    if (!holder || static_cast<uint32_t>(index) >= bound) return nullptr;
    return RCPtr<LControl>(holder->GetChildren().GetAt(static_cast<uint32_t>(index), ChildControlList::kInsertion));
}

}  // namespace

LTabControl::LTabControl(LControl* parent, const String& name) : LPanel(parent, name) {}

LTabControl::~LTabControl() = default;

QV_OWN_HANDLER_DEFINITIONS(LTabControl, LPanel, mTabHandler)

QVResult LTabControl::ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor)
{
    const QVResult result = LPanel::ApplyDescriptor(descriptor);
    // A new skin keeps the selected tab and its page shown.
    if (IsInitialized()) (void)SelectTab(mCurrentTabName);  // fails only without holders: no page to show
    return result;
}

QVResult LTabControl::Initialize()
{
    if (LPanel::Initialize() < 0) return E_FAIL;
    mButtonHolder = FindChildControl(u"buttonHolder");
    mPageHolder = FindChildControl(u"pageHolder");
    const QVResult selected = SelectTabAt(0);
    if (selected < 0) return selected;
    mTabHandler = new LNotificationHandler<LTabControl>(this);
    for (const RCPtr<LControl>& child : mButtonHolder->GetChildren().Snapshot(ChildControlList::kInsertion)) {
        if (!dynamic_cast<LButton*>(child.Get())) continue;
        (void)mTabHandler->RegisterHandler(&LTabControl::OnTabClick, RCPtr<LNotificationDistributor>(child.Get()),
                                           u"NID_LEFT_CLICK");
    }
    return selected;
}

int32_t LTabControl::GetTabCount() const
{
    return static_cast<int32_t>(ChildCount(mButtonHolder));
}

int32_t LTabControl::FindTab(const String& name) const
{
    if (!mButtonHolder) return -1;
    const ChildControlList& tabs = mButtonHolder->GetChildren();
    for (int32_t i = static_cast<int32_t>(tabs.GetCount()) - 1; i >= 0; --i) {
        if (tabs.GetAt(static_cast<uint32_t>(i), ChildControlList::kInsertion)->GetName() == name) return i;
    }
    return -1;
}

int32_t LTabControl::GetCurrentTabIndex() const
{
    return FindTab(mCurrentTabName);
}

RCPtr<LControl> LTabControl::GetCurrentPage() const
{
    return GetPageAt(GetCurrentTabIndex());
}

const String& LTabControl::GetCurrentTabName() const
{
    return mCurrentTabName;
}

RCPtr<LControl> LTabControl::GetPageByName(const String& name) const
{
    return GetPageAt(FindTab(name));
}

// Only min(tabs, pages) pairs exist: a missing page is no page, never an
// out-of-range error.
RCPtr<LControl> LTabControl::GetPageAt(int32_t index) const
{
    return ChildAt(mPageHolder, index, std::min(ChildCount(mButtonHolder), ChildCount(mPageHolder)));
}

RCPtr<LControl> LTabControl::GetTabByName(const String& name) const
{
    return GetTabAt(FindTab(name));
}

RCPtr<LControl> LTabControl::GetTabAt(int32_t index) const
{
    return ChildAt(mButtonHolder, index, ChildCount(mButtonHolder));
}

QVResult LTabControl::SelectTab(const String& name)
{
    if (!mButtonHolder || !mPageHolder) return E_FAIL;
    const int32_t selected = FindTab(name);
    for (int32_t i = GetTabCount() - 1; i >= 0; --i) {
        if (i == selected) continue;
        if (RCPtr<LControl> page = GetPageAt(i)) page->SetVisible(false);
    }
    mCurrentTabName = name;
    OnTabSelected(selected);
    if (RCPtr<LControl> page = GetPageAt(selected)) page->SetVisible(true);
    Notify(u"NID_TAB_SELECTED", RCPtr<LRefCountedObject>(GetCurrentPage().Get()));
    return S_OK;
}

QVResult LTabControl::SelectTabAt(int32_t index)
{
    if (!mButtonHolder || static_cast<uint32_t>(index) >= ChildCount(mButtonHolder)) return E_FAIL;
    auto* button = dynamic_cast<LButton*>(
        mButtonHolder->GetChildren().GetAt(static_cast<uint32_t>(index), ChildControlList::kTab));
    if (!button) return E_FAIL;
    return SelectTab(button->GetName());
}

QVResult LTabControl::OnTabClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    // Selecting fails only without holders.
    if (auto* tab = dynamic_cast<LControl*>(sender.Get())) (void)SelectTab(tab->GetName());
    return 1;
}

}  // namespace QV
