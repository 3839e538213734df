#pragma once
// The base of every on-screen element: a node of the control tree with its
// looks, conditions, focus, input handling, value and geometry.
// UI thread only.
#include <cstdint>
#include <functional>
#include <vector>

#include "ChildControlList.h"
#include "ControlInput.h"
#include "ControlLayout.h"
#include "DirtyRects.h"
#include "IControlDescriptor.h"
#include "IRootWindow.h"
#include "InputParams.h"
#include "KeyMap.h"
#include "LConditionsParam.h"
#include "LNotificationClient.h"
#include "LNotificationDistributor.h"
#include "LNotificationHandler.h"
#include "LTaggableObject.h"
#include "RectRegion.h"
#include "RectT.h"

namespace QV {

class IControlRenderer;
class LMenuDescriptor;
class LMenuItemUpdater;

namespace Condition {
inline constexpr uint32_t kHasFocus = 0x1;
inline constexpr uint32_t kContainsFocus = 0x2;
inline constexpr uint32_t kHover = 0x4;
inline constexpr uint32_t kCaptured = 0x8;
inline constexpr uint32_t kLeftPressed = 0x10;
inline constexpr uint32_t kMiddlePressed = 0x20;
inline constexpr uint32_t kRightPressed = 0x40;
inline constexpr uint32_t kLeftDragging = 0x80;
inline constexpr uint32_t kMiddleDragging = 0x100;
inline constexpr uint32_t kRightDragging = 0x200;
inline constexpr uint32_t kEnabled = 0x400;
inline constexpr uint32_t kVisible = 0x800;
inline constexpr uint32_t kActive = 0x1000;
}  // namespace Condition

// How a left-button drag moves the control: SetDragMode's mode.
namespace DragMode {
enum Mode : int32_t {
    kNone = 0,             // the drag only reports its moves
    kDragAndDrop = 1,      // follows the pointer to whatever accepts it
    kMove = 2,             // moves inside its parent's move limits
    kMoveAndScroll = 3,    // kMove, scrolling the parent near its edges
    kResize = 4,           // drags an edge inside the parent's move limits
    kResizeAndScroll = 5,  // kResize, scrolling the parent near its edges
    kScrollContent = 6     // scrolls its own content; a fast release flicks on
};
}  // namespace DragMode

// What a drag works on (SetDragMode's axes), and the edges a drop target
// scrolls at (QueryDropTarget). Bits, combined with |.
namespace DragAxis {
enum Bits : int32_t {
    kX = 0x1,
    kY = 0x2,
    kRightEdge = 0x4,    // grows with the travel
    kLeftEdge = 0x8,     // moves with the travel and shrinks
    kTopEdge = 0x10,     // moves with the travel and shrinks
    kBottomEdge = 0x20,  // grows with the travel
    kAnyX = kX | kRightEdge | kLeftEdge,
    kAnyY = kY | kTopEdge | kBottomEdge
};
}  // namespace DragAxis

class LControl : public LNotificationDistributor, public LNotificationClient, public LTaggableObject {
    QV_TYPE_NAME("class QV::LControl")
public:
    using ControlList = std::vector<RCPtr<LControl>>;

    LControl(LControl* parent, const String& name);
    ~LControl() override;

    // ---- tree ----
    const String& GetName() const { return mName; }
    LControl* GetParent() const { return mParent.Get(); }
    // Through the parent's child list when there is one (its answer), else 0.
    [[nodiscard]] QVResult RenameControl(const String& name);
    ChildControlList& GetChildren() { return mChildren; }
    const ChildControlList& GetChildren() const { return mChildren; }
    RCPtr<LControl> FindChildControl(const String& name) const;
    RCPtr<IRootWindow> GetRootWindow() const;
    RCPtr<LControl> GetTopLevelControl();
    // 0; E_FAIL when the control has a parent.
    [[nodiscard]] QVResult AttachToRootWindow(const RCPtr<IRootWindow>& root);
    // 1 when already there; 0 moved.
    [[nodiscard]] QVResult ChangeParent(LControl* newParent);
    [[nodiscard]] virtual QVResult SetParent(const RCPtr<LControl>& child, const RCPtr<IControlDescriptor>& descriptor);
    void IncrementUnclippedCount(int32_t by = 1);
    void DecrementUnclippedCount(int32_t by = 1) { IncrementUnclippedCount(-by); }
    int32_t GetUnclippedCount() const { return mUnclippedCount; }
    virtual uint8_t SetLayer(uint8_t clipToParent);
    virtual void ConnectNotifications();
    virtual void OnChildRemoved(LControl* child, uint32_t formerIndex);
    virtual QVResult OnChildAdded(LControl* child);
    [[nodiscard]] virtual QVResult CreateChildren(const RCPtr<IControlDescriptor>& descriptor);
    [[nodiscard]] virtual QVResult Initialize();
    virtual QVResult OnInitialized() { return S_OK; }
    void SetInitialized(bool on) { mInitialized = on; }
    bool IsInitialized() const { return mInitialized; }
    virtual RCPtr<IControlStringTable> GetStringTable() const { return mStringTable; }
    virtual bool HandlesEditCommands() const { return false; }
    virtual LControl* GetEditTarget();
    virtual bool CanPerformEdit(int32_t) const { return false; }
    [[nodiscard]] virtual QVResult PerformEdit(int32_t command);
    virtual RCPtr<LControl> FindAcceptingControl(LControl* control, const DoublePoint& rootPoint);
    virtual bool AcceptsControl(LControl*) const { return false; }
    void SetIgnoreMouse(bool on) { mMouse.ignore = on; }
    void SetKeepHitChild(bool on) { mMouse.keepHitChild = on; }

    // ---- layout record and geometry ----
    const ControlLayout& GetLayout() const { return mLayout; }
    // Starts loading what a layout pass reads of this control, so that a walk
    // over many controls waits less on memory.
    void PrefetchLayoutState() const;
    bool HasLayout() const { return mHasLayout; }
    // Replaces the record; the layout owner (descriptor or test) calls it.
    void SetLayout(const ControlLayout& layout);
    const DoubleRect& GetFrame() const { return mFrame; }
    const DoublePoint& GetScrollOffset() const { return mScrollOffset; }
    bool ClipsToParent() const { return mLayout.clipToParent; }
    bool IsDockedBoth() const { return mLayout.xIsDocked && mLayout.yIsDocked; }

    // ---- drawing, invalidation and hit testing ----
    virtual QVResult Draw(IControlRenderer& renderer, const DirtyRects& region, ControlList& overlay, uint8_t layer);
    void DrawChildren(IControlRenderer& renderer, const DirtyRects& region, int32_t lookIndex, ControlList& overlay);
    int32_t CollectVisibleControls(ControlList& list, bool skipHidden, bool addSelf);
    virtual QVResult RedrawRect(const DoubleRect& rootRect, bool clip, DoubleRect clipRect);
    virtual QVResult InvalidateRect(const DoubleRect& rect, bool clip);
    QVResult InvalidateArea() { return InvalidateRect(LocalRect(), mLayout.clipToParent); }
    virtual RCPtr<LControl> HitTest(const DoublePoint& point, bool inside, DoublePoint& hitPoint, int32_t& priority);
    virtual bool ContainsPoint(const DoublePoint& point) const;
    virtual bool IsTransparentAt(const DoublePoint& point) const;
    virtual uint32_t GetColorAtPoint(const DoublePoint& point, int32_t lookIndex) const;
    virtual DoubleRect GetClientRect() const;
    virtual DoubleRect GetContentRect() const;
    virtual QVResult DrawCaret(IControlRenderer&) { return S_OK; }
    virtual QVResult DrawAfterChildren(IControlRenderer&) { return S_OK; }
    int32_t GetEffectiveZOrder() const;
    DoubleRect GetPartRect(int32_t index) const;
    DoublePoint GetPositionInRoot() const;

    // ---- conditions, focus, visibility, enable ----
    uint32_t ComputeConditions() const;
    uint32_t GetConditions() const { return mConditionsParam->newConditions; }
    void UpdateConditions();
    virtual void OnConditionsChanged(const RCPtr<LConditionsParam>&) {}
    bool IsEnabledInTree(bool withAncestors) const;
    bool IsEffectivelyVisible(bool withAncestors) const;
    bool HasNotFocusableAncestor(bool walk) const;
    bool IsFocusCandidate() const;
    virtual bool CanReceiveFocus() const;
    virtual QVResult SetFocus(bool first);
    bool SetFocusWithin(LControl* child);
    virtual bool KillFocus();
    virtual bool AllowsFocusChange() { return true; }
    virtual void SetNotFocusable(bool flag);
    bool IsNotFocusable() const { return mNotFocusable; }
    void SetFocusBoundary(bool on) { mFocusBoundary = on; }
    virtual QVResult Activate(LControl* requester);
    virtual bool SetVisible(bool visible);
    virtual void SetEnabled(bool enabled);
    virtual QVResult Close();
    void SetActiveCondition(bool active);
    void SetCursor(uint32_t cursorId);
    virtual QVResult OnMouseEnter();
    virtual QVResult OnMouseLeave();
    void InvalidateTree();
    LControl* GetFocusedChild() const;
    bool HasFocus() const { return mHasFocus; }
    bool ContainsFocus() const { return mContainsFocus; }
    [[nodiscard]] QVResult ScheduleChildRemoval(LControl* child);
    void ProcessPendingRemovals();

    // ---- keys and tab navigation ----
    virtual void HandleKeyDown(const RCPtr<LKeyParam>& key);
    [[nodiscard]] virtual QVResult OnKeyDown(const RCPtr<LKeyParam>&) { return kNotHandled; }
    [[nodiscard]] virtual QVResult HandleSiblingKey(const RCPtr<LKeyParam>& key);
    virtual void HandleKey(const RCPtr<LKeyParam>& key);
    virtual void HandleTabNavigation(const RCPtr<LKeyParam>& key);
    virtual std::vector<uint32_t> SortInChildOrder(const RCPtr<LKeyParam>& key,
                                                   const std::vector<LControl*>& receivers);
    virtual RCPtr<LControl> GetNextTabChild(LControl* from, bool backwards);
    RCPtr<LControl> GetFirstFocusableChild();
    RCPtr<LControl> GetLastFocusableChild();
    void SetWantsTab(bool on) { mWantsTab = on; }
    // The control's own shortcut keys: its string table's "LHK" entries and
    // whatever is bound here. E_INVALIDARG when the key is already taken.
    [[nodiscard]] QVResult BindKey(const KeyCode& code, const String& command);
    String FindKeyCommand(const KeyCode& code) const;
    // The first key bound to a command; an empty key code when none.
    KeyCode GetShortcutKey(const String& command) const;
    bool HasShortcut(const String& command) const;
    [[nodiscard]] QVResult OnSiblingKey(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    // ---- mouse, clicks, dragging, inertial scrolling ----
    [[nodiscard]] virtual QVResult HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param);
    [[nodiscard]] virtual QVResult HandleMouseDown(const RCPtr<LMouseButtonParam>& param);
    [[nodiscard]] virtual QVResult HandleMouseUp(const RCPtr<LMouseButtonParam>& param);
    // Both wheel axes come in here; the route picks the hook by direction.
    [[nodiscard]] virtual QVResult HandleMouseWheel(const RCPtr<LMouseWheelParam>& param);
    virtual QVResult BeginDrag(int32_t button, int32_t x, int32_t y);
    virtual QVResult EndDrag();
    [[nodiscard]] QVResult SetDragThreshold(int32_t threshold);
    virtual QVResult SetDragMode(int32_t mode, int32_t axes);
    int32_t GetDragMode() const { return mMouse.dragMode; }
    virtual void BeginMove();
    virtual void UpdateMoveOrigin();
    virtual void MoveBy(const RCPtr<LPointParam>& param);
    virtual void OnMoved(const RCPtr<LPointParam>&) {}
    virtual void EndMove();
    virtual void GetMoveLimits(DoubleRect&) {}
    virtual int32_t QueryDropTarget(LControl*) { return 0; }
    virtual DoubleRect GetScrollRange(LControl* control);
    virtual void OnDragEnter(LControl*) {}
    virtual void OnDragOver(LControl*, const DoublePoint&) {}
    virtual void OnDragLeave(LControl*) {}
    [[nodiscard]] virtual QVResult OnDrop(LControl*) { return E_FAIL; }
    virtual void OnLeftMouseDown(const RCPtr<LMouseButtonParam>&) {}
    virtual void OnLeftMouseUp(const RCPtr<LMouseButtonParam>&) {}
    virtual void OnMiddleMouseDown(const RCPtr<LMouseButtonParam>&) {}
    virtual void OnMiddleMouseUp(const RCPtr<LMouseButtonParam>&) {}
    virtual void OnRightMouseDown(const RCPtr<LMouseButtonParam>&) {}
    virtual void OnRightMouseUp(const RCPtr<LMouseButtonParam>&) {}
    virtual void OnMouseMove(const RCPtr<LPointWithModifiersParam>&) {}
    [[nodiscard]] virtual QVResult OnMouseWheel(const RCPtr<LMouseWheelParam>&) { return kNotHandled; }
    [[nodiscard]] virtual QVResult OnScrollKey(const RCPtr<LMouseWheelParam>&) { return kNotHandled; }
    [[nodiscard]] virtual QVResult HandleClick(const RCPtr<LMouseButtonParam>& param);
    [[nodiscard]] virtual QVResult DoLeftClick(const RCPtr<LMouseButtonParam>& param);
    [[nodiscard]] virtual QVResult DoMiddleClick(const RCPtr<LMouseButtonParam>& param);
    [[nodiscard]] virtual QVResult DoRightClick(const RCPtr<LMouseButtonParam>& param);
    virtual void OnLeftClick(const RCPtr<LMouseButtonParam>&) {}
    virtual void OnMiddleClick(const RCPtr<LMouseButtonParam>&) {}
    virtual void OnRightClick(const RCPtr<LMouseButtonParam>&) {}
    virtual void OnParentOffsetChanged(const DoublePoint& oldOffset, const DoublePoint& newOffset);
    virtual void OnTimer() {}
    virtual QVResult SetScrollOffset(const DoublePoint& offset);
    void StartInertialScroll(int axis, double velocity, double maximum, double minimum, LControl* linked);
    QVResult StopInertialScroll(int axis);
    bool IsInertialScrollRunning(int axis) const { return mInertia[axis].running; }
    double GetInertialVelocity(int axis) const { return mInertia[axis].velocity; }
    void SetDecelerationRate(double rate) { mDecelerationRate = rate; }
    [[nodiscard]] QVResult SubscribeIdle();
    QVResult UnsubscribeIdle();
    int32_t GetIdleUserCount() const { return mIdleUsers; }
    [[nodiscard]] QVResult RouteMouseEvent(const RCPtr<LMouseWheelParam>& param);
    [[nodiscard]] QVResult OnIdle(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    const DoublePoint& GetAppliedTravel() const { return mMouse.appliedTravel; }
    DoublePoint GetDragVelocity() const { return mMouse.dragVelocity; }

    // ---- value, properties, text, font ----
    virtual QVResult SetText(const String& text);
    bool SetTextInternal(const String& text, bool relayout, bool force = false);
    const String& GetText() const { return mText; }
    virtual double SetValue(double t);
    virtual void OnValueChanged() {}
    [[nodiscard]] virtual QVResult SetValueRange(double minimum, double maximum, int32_t scale);
    double GetValue() const { return mValue; }
    double NormalizedToValue(double t) const;
    double ValueToNormalized(double v) const;
    [[nodiscard]] virtual QVResult LoadProperties();
    [[nodiscard]] virtual QVResult ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor);
    RCPtr<IControlDescriptor> GetDescriptor() const { return mDescriptor; }
    bool IsDeferredCreate() const;
    [[nodiscard]] QVResult SetFontSpec(const String& face, float size, int32_t style, bool relative);
    [[nodiscard]] QVResult SetFont(const RCPtr<LFont>& font);
    RCPtr<LFont> GetFont() const { return mFont; }
    virtual void UpdateInheritedFont();
    bool IsTextClipped() const;
    bool UsesParentToolTip() const { return mUseParentToolTip; }
    void SetUseParentToolTip(bool on) { mUseParentToolTip = on; }

    // ---- bounds, layout records, visual parts, context menu, tool tip ----
    [[nodiscard]] QVResult SetBounds(const DoublePoint& position, const DoublePoint& size);
    virtual void BeginBoundsChange();
    virtual void EndBoundsChange();
    virtual bool OnChildChanged(LControl* child);
    virtual QVResult OnLayoutChange(int32_t width, int32_t height);
    QVResult UpdateLayout();
    QVResult SetLayoutRecords(const LayoutRecord& xPos, const LayoutRecord& xAnchor, const LayoutRecord& yPos,
                              const LayoutRecord& yAnchor);
    QVResult SetLayoutPosition(int axis, const LayoutRecord& position, const LayoutRecord& anchor);
    QVResult SetLayoutSize(int axis, const LayoutRecord& size, const LayoutRecord& limit);
    QVResult SetDocked(int axis, bool docked);
    virtual DoublePoint CalculateSize();
    virtual DoublePoint GetMaximumSize() const;
    QVResult SetPartOpacity(int32_t index, float opacity, bool exclusive);
    virtual QVResult ShowPart(int32_t index, bool = true) { return SetPartOpacity(index, 1.0f, true); }
    virtual int32_t AddVisualPart(const RCPtr<ILook>& look);
    RCPtr<ILook> GetVisualPart(int32_t index) const;
    // The same look, not held: for a read that cannot take the look away.
    ILook* PeekVisualPart(int32_t index) const;
    int32_t GetVisualPartIndex(int32_t index) const;
    int32_t GetFirstVisiblePartIndex() const;
    uint32_t GetPartCount() const { return static_cast<uint32_t>(mLooks.size()); }
    float GetPartOpacity(uint32_t index) const { return mLookOpacities[index]; }
    [[nodiscard]] QVResult SetPartSource(const RCPtr<LRefCountedObject>& part, int32_t index);
    // Part regions are in the control's coordinates; a look with one draws
    // only inside it. E_INVALIDARG when a named look is missing.
    [[nodiscard]] QVResult SetPartRegion(int32_t index, const RectRegion& region);
    [[nodiscard]] QVResult ClearPartRegion(int32_t index);
    void ClearAllPartRegions();
    // The control's whole rectangle less the other look's region.
    [[nodiscard]] QVResult ResetPartRegion(int32_t index, int32_t other);
    [[nodiscard]] QVResult SetVisualPart(const RCPtr<LRefCountedObject>& bitmap, int32_t resizeType, int32_t index,
                           bool replacesClient);
    void SetOpacity(float opacity) { mOpacity = opacity; }
    virtual RCPtr<LRefCountedObject> GetContextMenu() const { return mContextMenu; }
    // Made on first use; it asks nobody until given a target.
    RCPtr<LMenuItemUpdater> GetMenuItemUpdater();
    // The menu's items whose commands the window's or the application's hot
    // keys bind answer those keys here, also from a focused sibling.
    void SetContextMenu(const RCPtr<LRefCountedObject>& menu);
    // Hands a context-menu command to the hot keys' target that binds it; 1.
    [[nodiscard]] QVResult OnShortcutCommand(const RCPtr<LNotificationDistributor>& sender,
                               const RCPtr<LNotification>& notification);
    // Menus from the string table's "CONTEXT_MENU" entries, appended to out:
    // one from "CONTEXT_MENU.nn.NID" entries when there are any, else one per
    // "CONTEXT_MENUm" name part, in the string order of those parts. A table
    // that cannot list its strings passes its failure on and adds nothing.
    [[nodiscard]] QVResult BuildContextMenu(std::vector<RCPtr<LMenuDescriptor>>& out) const;
    [[nodiscard]] static QVResult BuildContextMenu(const IControlStringTable& table,
                                                   std::vector<RCPtr<LMenuDescriptor>>& out);
    virtual void OnPrepareContextMenu(LControl*) {}
    [[nodiscard]] virtual QVResult ShowContextMenu(const RCPtr<LRefCountedObject>& menu);
    // 0 when the control answers for the command, with `enabled` saying
    // whether it can run now; 1 when the command is none of its business.
    [[nodiscard]] virtual QVResult QueryCommandState(const RCPtr<LNotification>&, bool& /*enabled*/)
    {
        return kNotHandled;
    }
    virtual String GetToolTipText() const { return mToolTipText; }
    void SetToolTipText(const String& text) { mToolTipText = text; }
    virtual QVResult ShowToolTip(bool show);

    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    [[nodiscard]] QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                    const char16_t* nameOrId) override;
    QVResult ReleaseInternalReferences() override;

    // Sends a notification with an optional payload through this control's distributor.
    void Notify(const char16_t* name, const RCPtr<LRefCountedObject>& payload = nullptr);

protected:
    RCPtr<LNotificationHandler<LControl>> mHandler;
    // Sibling keys arrive through the parent, so a move takes the subscription
    // along: leaving runs while the old parent is still linked, joining once
    // the new one holds the control. Controls with handlers of their own add theirs.
    virtual void LeaveParentSiblingKeys();
    virtual void JoinParentSiblingKeys();
    DoubleRect LocalRect() const { return {0.0, 0.0, mFrame.width, mFrame.height}; }
    // The label text then moves with the scroll offset, as children do.
    void SetLabelScrolls(bool on) { mScrollLabel = on; }

private:
    friend class ChildControlList;
    void RelayOutLaterSiblings(LControl& parent);
    void RelayOutSiblingsFrom(ChildControlList& list, int32_t first);
    // What the pointer has done to this control: hit testing, the press, the
    // drag and a move by dragging.
    struct Mouse {
        bool ignore = false;  // hit tests look through the control
        bool keepHitChild = false;
        RCPtr<LControl> lastHitChild;
        DoublePoint hitPoint;
        int32_t hitPriority = 0;
        bool hover = false;
        bool captured = false;
        bool pressed[3] = {false, false, false};  // left, middle, right
        bool dragging[3] = {false, false, false};
        DoublePoint pressPoint;
        uint32_t pressTime = 0;
        uint32_t moveTime = 0;
        uint32_t previousMoveTime = 0;
        RCPtr<LMouseButtonParam> heldLeft;  // a held press a kept hit child may take over
        bool holdSubscribed = false;
        int32_t dragThreshold = 1;
        DragMode::Mode dragMode = DragMode::kNone;
        int32_t dragAxes = 0;
        DoublePoint appliedTravel;
        DoublePoint dragVelocity;
        uint32_t flickStartTime = 0;
        bool moving = false;
        // Taken when a move by dragging begins.
        DoublePoint savedSize;
        DoublePoint savedParentOffset;
        LayoutRecord savedPosition[2];
        LayoutRecord savedSizeRecord[2];
        bool wasDocked[2] = {false, false};
        bool moveClip = false;
        RCPtr<LControl> dropTarget;
    };
    // The edges a move by dragging asks to scroll, per axis: -1 back, 1 on.
    struct EdgeScrollRequest {
        int direction[2] = {0, 0};
        double depth[2] = {0.0, 0.0};
    };

    struct Inertia {
        bool running = false;
        double lastTime = 0.0;
        double velocity = 0.0;
        double minimum = 0.0;
        double maximum = 0.0;
        RCPtr<LControl> linked;
        bool decelerating = false;
    };

    void SetParentLink(LControl* parent);
    bool IsHiddenForDraw() const;
    bool IsInputAllowed() const;
    void EdgeScroll(LControl* target, LControl* moved, const int direction[2], const double depth[2]);
    void StopFlicks(LControl* target);
    static bool ScrollsAlong(int32_t axes, int axis);
    // MoveBy by drag mode; `p` is the pointer, `t` its travel since the press.
    LControl* DragToDropTarget(const double p[2], const double t[2], EdgeScrollRequest& edges);
    RCPtr<LControl> FindDropCandidate(IRootWindow& root, const DoublePoint& rootPoint, DoublePoint& local);
    void FindDropTargetEdges(const DoublePoint& local, EdgeScrollRequest& edges);
    void DragMove(const double p[2], double t[2], EdgeScrollRequest& edges);
    void DragResize(const double p[2], double t[2], EdgeScrollRequest& edges);
    void DragScrollContent(const double t[2]);
    void LimitTravel(const double p[2], double t[2], EdgeScrollRequest& edges);
    void FindParentEdges(const DoubleRect& client, const DoubleRect& limits, const double p[2], const double t[2],
                         EdgeScrollRequest& edges);
    DoublePoint DockedScrollShift() const;
    void MoveAlongAxes(const double t[2]);
    void MoveAlong(int axis, double travel, const DoublePoint& shift);
    void ResizeAlong(int axis, double delta);
    DoublePoint OffsetToControl(const LControl* other) const;
    void ApplyNotFocusableAttribute();
    bool ReadBoolAttribute(const char16_t* name, bool& value) const;
    void AfterLayoutPass();
    void SubscribeSiblingKeys();
    void WireContextMenuKeys(const RCPtr<LRefCountedObject>& menu, bool wire);

    // What a layout pass reads and writes of every control, side by side: a
    // pass over thousands of controls then touches a few cache lines of each
    // rather than lines all over the object.
    DoublePoint mScrollOffset;
    DoubleRect mSavedPartRect;
    RCPtr<LControl> mParent;
    std::vector<RCPtr<ILook>> mLooks;
    std::vector<float> mLookOpacities;
    RCPtr<LConditionsParam> mConditionsParam;
    uint32_t mSiblingIndex = 0;  // place in the parent's list, kept by that list
    int32_t mUnclippedCount = 0;
    bool mHasLayout = false;
    bool mBoundsChangePending = false;
    bool mLayoutPass = false;
    bool mChangingScroll = false;
    bool mHasFocus = false;
    bool mContainsFocus = false;
    bool mForcedActive = false;
    // Beside the layout's flags: a parent's minimum reads both of each child.
    DoubleRect mFrame;
    ControlLayout mLayout;
    // Its hover and button flags make the conditions each bounds change reads.
    Mouse mMouse;

    String mName;
    RCPtr<IControlDescriptor> mDescriptor;
    float mOpacity = 1.0f;
    RCPtr<IRootWindow> mRootWindow;
    bool mAttachmentPending = false;  // built for a window not attached yet
    RCPtr<IControlStringTable> mStringTable;
    KeyMap mOwnKeys;
    bool mScrollLabel = false;
    String mText;
    String mToolTipText;
    bool mInitialized = false;
    int32_t mIdleUsers = 0;
    RCPtr<LNotificationDistributor> mNotificationCenter;
    ChildControlList mChildren;

    // conditions and focus (the flags a bounds change reads are above)
    bool mNotFocusable = true;
    bool mFocusBoundary = false;
    uint32_t mCursorId = 0;
    uint32_t mSavedCursor = 0;
    std::vector<RCPtr<LControl>> mPendingRemovals;

    // mouse (the pointer's state is above)
    Inertia mInertia[2];
    double mDecelerationRate = 1000.0;  // how fast a flick slows: units per second, per second

    // keys
    bool mWantsTab = false;
    // Filled from the context menu, apart from the table's keys so that a
    // menu change takes back only what the menu brought.
    KeyMap mMenuKeys;

    // value, text, font
    double mValue = 0.0;
    double mRangeMin = 0.0;
    double mRangeMax = 1.0;
    int32_t mRangeScale = 0;
    RCPtr<LFont> mFont;
    bool mFontFollowsParent = false;
    bool mInheritFace = false;
    bool mInheritSize = false;
    bool mInheritStyle = false;
    bool mSizeIsRelative = false;
    float mSizeFactor = 1.0f;
    bool mUseParentToolTip = false;

    RCPtr<LRefCountedObject> mContextMenu;
    RCPtr<LRefCountedObject> mMenuItemUpdater;
};

}  // namespace QV
