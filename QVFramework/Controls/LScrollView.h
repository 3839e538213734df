#pragma once
// A control whose children live on a content area larger than itself,
// moved by its scroll offset and driven by two optional bars ("hBar",
// "vBar") and a "corner". A bar shows only when the content does not fit;
// it is hidden by collapsing the corner's (or its own) size so that the
// layout re-flows bars and client area. UI thread only.
#include <cstdint>

#include "LControl.h"
#include "LScrollbar.h"

namespace QV {

class LScrollView : public LControl {
    QV_TYPE_NAME("class QV::LScrollView")
public:
    static constexpr int32_t kAutoWidth = 1;
    static constexpr int32_t kAutoHeight = 2;

    LScrollView(LControl* parent, const String& name);

    void BeginBoundsChange() override;
    void EndBoundsChange() override;
    bool OnChildChanged(LControl* child) override;
    DoublePoint GetMaximumSize() const override;
    QVResult SetScrollOffset(const DoublePoint& offset) override;
    DoubleRect GetScrollRange(LControl* control) override;
    DoubleRect GetClientRect() const override;
    void OnChildRemoved(LControl* child, uint32_t formerIndex) override;
    // Re-binds the bars to the children that the descriptor kept.
    [[nodiscard]] QVResult ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor) override;
    // The shown part of the content: at the scroll offset, no larger than the
    // client area nor than the undocked children reach.
    DoubleRect GetContentRect() const override;
    [[nodiscard]] QVResult OnMouseWheel(const RCPtr<LMouseWheelParam>& param) override;
    [[nodiscard]] QVResult OnScrollKey(const RCPtr<LMouseWheelParam>& param) override;
    [[nodiscard]] QVResult Initialize() override;
    [[nodiscard]] QVResult LoadProperties() override;
    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    // Forgets this class's own handler entry as well as the base's.
    [[nodiscard]] QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                  const char16_t* nameOrId) override;

    // 1 when both values are unchanged; else stores, re-lays the bars out and
    // sends "NID_CLIENT_EXTENT_CHANGE".
    QVResult SetClientExtent(double x, double y);
    DoublePoint GetClientExtent() const { return mExtent; }
    QVResult SetAutoClientExtent(int32_t flags, int32_t marginX, int32_t marginY);
    QVResult UpdateAutoClientExtent();
    DoublePoint GetChildrenExtent() const;
    DoublePoint GetContentExtent() const;
    // Vertical scrolling in whole items; a size of 0 or less scrolls in pixels.
    void SetItemScrolling(bool on, int32_t itemSize);
    // Re-lays the bars out and redraws the shown content, which the window's
    // one surface holds.
    void UpdateScrollState();
    void LayoutScrollbars();
    void SetScrollbarVisible(int axis, bool visible);

    LScrollbar* GetBar(int axis) const { return mBars[axis].Get(); }
    LControl* GetCorner() const { return mCorner.Get(); }

protected:
    virtual void OnClientRectChanged() {}
    virtual void OnScrollbarVisibilityChanged(int) {}

private:
    [[nodiscard]] QVResult OnScrollbarValueChange(const RCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification);
    void FindScrollbars();
    void SetUpScrollbars();
    void UpdateScrollbars();
    double Thickness(int axis) const;
    bool ShowsBar(int axis) const { return Thickness(axis) > 0; }
    LScrollbar* UsableBar(bool preferHorizontal) const;

    RCPtr<LNotificationHandler<LScrollView>> mViewHandler;
    bool mUpdating = false;
    bool mOffsetChangePending = false;
    bool mBoundsChangePending = false;
    RCPtr<LScrollbar> mBars[2];  // horizontal, vertical
    RCPtr<LControl> mCorner;
    DoublePoint mExtent;
    double mBarThickness[2] = {0.0, 0.0};  // vertical bar's width, horizontal bar's height
    bool mItemScrolling = false;
    int32_t mItemSize = 0;
    int32_t mAutoExtent = 0;
    int32_t mAutoMargin[2] = {0, 0};
};

}  // namespace QV
