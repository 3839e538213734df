#include "LRootWindow.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "IControlApplication.h"
#include "IWindowApplication.h"
#include "KeyCode.h"
#include "LPostingReceiver.h"
#include "LStringTable.h"
#include "RendererControlAdapter.h"

namespace QV {
namespace {

constexpr double kEdgeLimit = 4503599627370496.0;  // 2^52

int32_t RoundHalfAway(double v)
{
    const double r = std::round(v);
    if (r >= double(INT32_MAX)) return INT32_MAX;
    if (r <= double(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(r);
}

int32_t PixelRound(double v)
{
    return RoundHalfAway(std::trunc(std::clamp(v, -kEdgeLimit, kEdgeLimit) + 0.5));
}

double ClampEdge(double v)
{
    return std::clamp(v, -kEdgeLimit, kEdgeLimit);
}

// The overlay list is shared by every drawing pass of the program.
LControl::ControlList& OverlayList()
{
    static LControl::ControlList list;
    return list;
}

}  // namespace

RCPtr<LRootWindow> LRootWindow::Create(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
{
    RCPtr<LRootWindow> root(new LRootWindow(renderer, services));
    // A new queue takes its first distributor.
    (void)root->mQueue->SetDistributor(RCPtr<LNotificationDistributor>(root.Get()));
    return root;
}

LRootWindow::LRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
    : mRenderer(renderer), mServices(services), mQueue(new LNotificationQueue())
{
    mHotKeys = LGlobalHotKeyManager::Create(RCPtr<LNotificationReceiver>(mQueue->GetPostingReceiver().Get()));
}

LRootWindow::~LRootWindow()
{
    mCapture = nullptr;
    mToolTip = nullptr;
    mHover = nullptr;
    mSavedFocus = nullptr;
    mFocus = nullptr;
    mMainControl = nullptr;
    mHotKeys = nullptr;
    mDirtyRegion.Clear();
    mRenderer = nullptr;
}

QVResult LRootWindow::ReleaseInternalReferences()
{
    ReleaseAllClients();
    mServices = nullptr;
    (void)SetMainControl(nullptr);  // clearing cannot fail
    if (mQueue) mQueue->Shutdown();
    if (GetInternalRefCount() > 0) RemoveInternalReference();
    return (GetInternalRefCount() == 0 && GetRefCount() == 1) ? S_OK : E_FAIL;
}

// ---------------------------------------------------------------- main control

QVResult LRootWindow::SetMainControl(const RCPtr<LControl>& control)
{
    mFocus = nullptr;
    mSavedFocus = nullptr;
    mHover = nullptr;
    mCapture = nullptr;
    if (mMainControl) {
        RCPtr<LControl> old = std::move(mMainControl);
        if (mMainControlCounted) {
            mMainControlCounted = false;
            if (GetInternalRefCount() > 0) RemoveInternalReference();
        }
        old->Close();
        mHotKeys->GetKeyMap().Clear();
    }
    if (!control) return S_OK;

    mMainControl = control;
    if (auto table = RCPtr<LStringTable>::DynamicCast(control->GetStringTable())) {
        LStringTable::Pairs pairs;
        table->GetAllStrings(pairs);
        (void)mHotKeys->GetKeyMap().LoadFromPairs(&pairs, u"GHK");  // only a null table is refused
    }
    if (!control->GetRootWindow() && !control->GetParent()) {
        (void)control->AttachToRootWindow(RCPtr<IRootWindow>(this));  // no parent, so it cannot fail
    }
    for (int axis = 0; axis < 2; ++axis) {
        control->SetLayoutPosition(axis, LayoutRecord::ParentOrigin(), LayoutRecord{});
        control->SetLayoutSize(axis, LayoutRecord::ParentExtent(), LayoutRecord{});
    }
    if (!mFocus && mServices) {
        if (mServices->HasFocus()) {
            control->SetFocus(true);
        } else {
            (void)mServices->SetFocus();  // a window the system will not focus keeps working
        }
    }
    AddInternalReference();
    mMainControlCounted = true;
    InvalidateAll();
    return S_OK;
}

QVResult LRootWindow::SetMainControlByName(const String& name)
{
    if (name.IsEmpty()) return SetMainControl(nullptr);
    IControlApplication* app = GetControlApplication();
    IControlFactory* factory = app ? app->GetControlFactory() : nullptr;
    if (!factory) return E_FAIL;
    RCPtr<IControlDescriptor> descriptor = factory->FindControlDescriptor(name);
    if (!descriptor) return E_FAIL;
    RCPtr<LControl> control = factory->CreateControl(descriptor, nullptr);
    if (!control) return E_FAIL;
    return SetMainControl(control);
}

// ---------------------------------------------------------------- geometry

DoubleRect LRootWindow::GetBounds()
{
    if (mServices) {
        LongPoint screen;
        mServices->ClientToScreen(screen, {0, 0});
        mX = screen.x;
        mY = screen.y;
    }
    const DoublePoint size = GetSize();
    return {double(mX), double(mY), size.x, size.y};
}

DoublePoint LRootWindow::GetSize() const
{
    return {double(mWidth), double(mHeight)};
}

void LRootWindow::SetBounds(const DoubleRect& rect)
{
    const DoubleRect current = GetBounds();
    if (current == rect) return;
    if (mServices) mServices->SetWindowRect(rect.Round());
    if (mMainControl) (void)mMainControl->InvalidateArea();
}

void LRootWindow::SetClientSize(int32_t width, int32_t height)
{
    mWidth = width;
    mHeight = height;
}

void LRootWindow::InvalidateRect(const DoubleRect& rect)
{
    DoubleRect clipped = rect;
    if (!clipped.Intersect(DoubleRect{0.0, 0.0, double(mWidth), double(mHeight)})) return;
    if (clipped.width < 1.0 || clipped.height < 1.0) return;
    const int32_t x0 = PixelRound(clipped.x);
    const int32_t y0 = PixelRound(clipped.y);
    const LongRect pixels{x0, y0, PixelRound(clipped.width), PixelRound(clipped.height)};
    {
        Mutex::Lock lock(mRegionLock);
        mDirtyRegion.AddRect(RegionRect{pixels.x, pixels.y, pixels.Right(), pixels.Bottom()});
    }
    if (IWindowOSServices* services = mServices) services->InvalidateRect(pixels);
}

void LRootWindow::InvalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    InvalidateRect(DoubleRect{double(left), double(top), double(right) - left, double(bottom) - top});
}

void LRootWindow::InvalidateAll()
{
    InvalidateRect(DoubleRect{0.0, 0.0, double(mWidth), double(mHeight)});
    if (mServices) mServices->UpdateNow();
}

void LRootWindow::TakeDirtyRegion(RectRegion& out)
{
    if (mRepaintAll) {
        mRepaintAll = false;
        InvalidateRect(DoubleRect{0.0, 0.0, double(mWidth), double(mHeight)});
    }
    Mutex::Lock lock(mRegionLock);
    out.Clear();
    out.AppendRegion(mDirtyRegion);
    mDirtyRegion.Clear();
}

void LRootWindow::Paint(const RectRegion& region)
{
    if (!mMainControl || region.IsEmpty() || !mRenderer) return;
    RCPtr<LRenderer> renderer = mRenderer;
    LRenderContextInfo* context = renderer->GetCurrentContext();
    if (context && !context->GetSavedStates().empty()) {
        if (mServices) mServices->Invalidate();
        return;
    }
    DoubleRect clip = mMainControl->GetFrame();
    RegionRect bounds;
    if (region.GetBounds(bounds)) {
        const double left = std::max(clip.x, double(bounds.left));
        const double top = std::max(clip.y, double(bounds.top));
        const double right = std::min(clip.Right(), double(bounds.right));
        const double bottom = std::min(clip.Bottom(), double(bounds.bottom));
        clip = {left, top, right - left, bottom - top};
    }
    DirtyRects rects;
    region.GetRects(rects);
    RendererControlAdapter adapter(*renderer);
    renderer->PushClipRect(DoubleRect{0.0, 0.0, ClampEdge(double(mWidth)), ClampEdge(double(mHeight))}, clip, nullptr,
                           false);
    DrawControlTree(adapter, *mMainControl, rects, 0);
    renderer->RestoreState();
}

void LRootWindow::DrawControlTree(IControlRenderer& renderer, LControl& control, const DirtyRects& region,
                                  uint8_t layer)
{
    LControl::ControlList& overlay = OverlayList();
    overlay.clear();
    control.Draw(renderer, region, overlay, layer);
    LControl::ControlList entries;
    entries.swap(overlay);
    if (entries.empty()) return;
    std::stable_sort(entries.begin(), entries.end(), [](const RCPtr<LControl>& a, const RCPtr<LControl>& b) {
        return a->GetLayout().zOrder < b->GetLayout().zOrder;
    });
    auto& adapter = static_cast<RendererControlAdapter&>(renderer);
    for (const RCPtr<LControl>& entry : entries) {
        LControl* parent = entry->GetParent();
        DoublePoint origin;
        if (parent) {
            const DoublePoint inRoot = parent->GetPositionInRoot();
            const DoublePoint part = parent->GetPartRect(-1).Origin();
            origin = {ClampEdge(RoundHalfAway(inRoot.x) + part.x) - parent->GetScrollOffset().x,
                      ClampEdge(RoundHalfAway(inRoot.y) + part.y) - parent->GetScrollOffset().y};
        }
        adapter.SetOpacity(1.0f);
        adapter.ClearStencilInForce();
        renderer.PushClipRect(DoubleRect{origin.x, origin.y, 0.0, 0.0}, entry->GetFrame(), 0);
        DrawControlTree(renderer, *entry, region, 1);
        renderer.RestoreState();
    }
    OverlayList().clear();
}

bool LRootWindow::ConstrainSize(int32_t& width, int32_t& height)
{
    const int32_t oldWidth = width;
    const int32_t oldHeight = height;
    IControlApplication* app = GetControlApplication();
    if (mMainControl && app) {
        DoubleRect reference = app->GetWorkArea();
        reference.width = width;
        reference.height = height;
        DoubleRect frame;
        if (app->ResolveLayout(*mMainControl, reference, frame) == S_OK) {
            frame.Normalize();
            // A maximum of 0 or below is none.
            const DoublePoint maximum = mMainControl->GetMaximumSize();
            width = RoundHalfAway(maximum.x > 0 ? std::min(frame.width, maximum.x) : frame.width);
            height = RoundHalfAway(maximum.y > 0 ? std::min(frame.height, maximum.y) : frame.height);
        }
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    return width != oldWidth || height != oldHeight;
}

void LRootWindow::UpdateLayout(int32_t width, int32_t height)
{
    SetClientSize(width, height);
    if (mMainControl) mMainControl->OnLayoutChange(width, height);
}

void LRootWindow::GetClientSize(double& width, double& height) const
{
    width = mWidth;
    height = mHeight;
}

void LRootWindow::ClientToScreen(double& x, double& y) const
{
    if (!mServices) return;
    LongPoint screen;
    mServices->ClientToScreen(screen, {0, 0});
    x += screen.x;
    y += screen.y;
}

void LRootWindow::SetWindowRect(double x, double y, double width, double height)
{
    SetBounds(DoubleRect{x, y, width, height});
}

void LRootWindow::SetWindowTitle(const String& title)
{
    if (mServices) mServices->SetWindowTitle(title);
}

}  // namespace QV
