#pragma once
// A panel that shows one page at a time. Its child "buttonHolder" holds the
// tab buttons, "pageHolder" the pages; the n-th button (insertion order) is
// the tab of the n-th page. A tab is known by its button's name; the
// selection is kept as that name only.
#include "LPanel.h"
#include "OwnHandler.h"

namespace QV {

class LTabControl : public LPanel {
    QV_TYPE_NAME("class QV::LTabControl")
public:
    LTabControl(LControl* parent, const String& name);
    ~LTabControl() override;

    [[nodiscard]] QVResult ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor) override;
    [[nodiscard]] QVResult Initialize() override;

    virtual int32_t GetTabCount() const;
    // Insertion index of the last button with that name; -1 when none.
    virtual int32_t FindTab(const String& name) const;
    virtual int32_t GetCurrentTabIndex() const;
    virtual RCPtr<LControl> GetCurrentPage() const;
    virtual const String& GetCurrentTabName() const;
    virtual RCPtr<LControl> GetPageByName(const String& name) const;
    virtual RCPtr<LControl> GetPageAt(int32_t index) const;
    virtual RCPtr<LControl> GetTabByName(const String& name) const;
    virtual RCPtr<LControl> GetTabAt(int32_t index) const;
    // Shows the named tab's page, hides the others, sends NID_TAB_SELECTED.
    // A name no tab has hides every page and is no error.
    [[nodiscard]] virtual QVResult SelectTab(const String& name);
    // Counts in tab order, unlike the queries above.
    [[nodiscard]] virtual QVResult SelectTabAt(int32_t index);
    virtual void OnTabSelected(int32_t) {}

    QV_OWN_HANDLER_OVERRIDES

protected:
    [[nodiscard]] QVResult OnTabClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LTabControl>> mTabHandler;
    RCPtr<LControl> mButtonHolder;
    RCPtr<LControl> mPageHolder;
    String mCurrentTabName;
};

}  // namespace QV
