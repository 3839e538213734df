#include <algorithm>
#include <cstring>

#include "IWindowApplication.h"
#include "KeyCode.h"
#include "OSWindow.h"

namespace QV {
namespace {

using Kind = WindowMessage::Kind;

constexpr int32_t kWheelStep = 120;
constexpr uint32_t kPointerModifiers = WindowMessage::kCtrl | WindowMessage::kShift | WindowMessage::kAlt;

bool Contains(const DoubleRect& outer, const LongRect& inner)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() &&
           inner.Bottom() <= outer.Bottom();
}

void Deliver(LRootWindow& root, const KeyCode& code)
{
    root.OnKey(RCPtr<LKeyParam>(new LKeyParam(code, 1)));
}

}  // namespace

bool OSWindow::HandleMessage(const WindowMessage& message)
{
    if (message.kind == Kind::kKickIdle) return OnKickIdle(message.idleCount);
    if (message.kind == Kind::kClipboardDestroyed) {
        if (IWindowApplication* app = GetWindowApplication()) app->DropClipboardValue();
        return false;
    }
    if (message.kind == Kind::kCaptureChanged) {
        if (message.toOtherWindow) {
            mPressCount = 0;
            mCaptureHeld = false;
            if (mRoot) mRoot->EndCapture();
        }
        return false;
    }
    if (message.kind == Kind::kSize) {
        OnSize(message);
        return false;
    }
    if (message.kind == Kind::kMove) {
        OnMove();
        return false;
    }
    if (message.kind == Kind::kClose) {
        DestroyWindow();
        return false;
    }
    if (message.kind == Kind::kCopyData) {
        OnCopyData(message);
        return false;
    }
    if (!mRoot || mDestroyed) return false;
    switch (message.kind) {
    case Kind::kPaint: OnPaint(message); break;
    case Kind::kKeyDown:
    case Kind::kKeyUp:
    case Kind::kSysKeyDown:
    case Kind::kSysKeyUp:
    case Kind::kChar: OnKey(message); break;
    case Kind::kButtonDown:
    case Kind::kButtonUp:
    case Kind::kButtonDoubleClick: OnButton(message); break;
    case Kind::kNonClientButtonDown:
    case Kind::kSetFocus: mRoot->RestoreFocus(); break;
    case Kind::kKillFocus:
        ReleaseCapture();
        mRoot->ResetFocus();
        break;
    case Kind::kMouseMove: OnMouseMove(message); break;
    case Kind::kWheel: OnWheel(message, 0); break;
    case Kind::kHorizontalWheel: OnWheel(message, 1); break;
    case Kind::kSystemClose: OnSystemClose(); break;
    default: break;
    }
    return false;
}

void OSWindow::OnPaint(const WindowMessage& message)
{
    if (!mRenderer || !mContext) return;
    RectRegion local;
    mRoot->TakeDirtyRegion(local);
    RectRegion& combined = mContext->GetDirtyRegion();
    combined.Clear();
    combined.AppendRegion(local);
    const LongRect& update = message.updateRect;
    if (!update.IsEmpty()) combined.AddRect(RegionRect{update.x, update.y, update.Right(), update.Bottom()});
    RCPtr<LRenderer> renderer = mRenderer;
    RCPtr<LRenderContextInfo> context = mContext;
    // A frame that cannot start leaves the region dirty for the next try.
    if (Failed(renderer->RenderStart(context))) return;
    const LongRect& target = context->GetViewport();
    RegionRect only;
    const bool whole = combined.GetCount() == 1 && combined.GetBounds(only) &&
                       only == RegionRect{target.x, target.y, target.Right(), target.Bottom()};
    if (whole) {
        RectRegion all;
        all.AppendRegion(combined);
        mRoot->Paint(all);
    } else {
        mRoot->Paint(local);
    }
    (void)renderer->RenderFinish(context);  // a mismatch raises; otherwise it succeeds
    local.Clear();
}

void OSWindow::OnKey(const WindowMessage& message)
{
    if (message.kind == Kind::kChar) {
        if (message.modifiers & WindowMessage::kWin) return;
        const uint32_t modifiers = message.modifiers & kPointerModifiers;
        Deliver(*mRoot, KeyCode(message.character, modifiers));
        return;
    }
    const bool system = message.kind == Kind::kSysKeyDown || message.kind == Kind::kSysKeyUp;
    const bool down = message.kind == Kind::kKeyDown || message.kind == Kind::kSysKeyDown;
    if (message.virtualKey == 0 && !system) {
        const uint32_t both = WindowMessage::kCtrl | WindowMessage::kAlt;
        if ((message.modifiers & both) != both) return;
    }
    const uint8_t previous = down ? (message.repeat ? 1 : 0) : 1;
    Deliver(*mRoot, KeyCode(message.virtualKey, down, previous, message.modifiers));
}

void OSWindow::TakeCapture()
{
    mBackend->SetCapture(true);
    mCaptureHeld = true;
}

void OSWindow::ReleaseCapture()
{
    mBackend->CapturePointer(false);
    if (!mCaptureHeld) return;
    mBackend->SetCapture(false);
    // Capture-changed arrives at once: no other window takes a logical capture.
    WindowMessage changed;
    changed.kind = Kind::kCaptureChanged;
    changed.toOtherWindow = true;
    HandleMessage(changed);
}

void OSWindow::OnButton(const WindowMessage& message)
{
    mLastPoint = message.point;
    const uint32_t modifiers = message.modifiers & kPointerModifiers;
    const auto bit = static_cast<uint32_t>(message.button) & 7u;
    if (message.kind != Kind::kButtonUp) {
        if (!mRoot->GetFocusControl()) (void)SetFocus();  // as for any focus request
        mButtons |= bit;
        if (mPressCount++ == 0 && !mCaptureHeld) TakeCapture();
        mBackend->CapturePointer(true);
        const int32_t kind = message.kind == Kind::kButtonDown ? LRootWindow::kPress : LRootWindow::kDoubleClick;
        mRoot->OnMouseButton(kind, message.button, modifiers, mLastPoint, 0);
        return;
    }
    mButtons &= ~bit;
    if (mButtons == 0) mBackend->CapturePointer(false);
    if (message.elsewhere && mButtons == 0 && mPressCount != 0) {
        mPressCount = 0;
        RCPtr<LRootWindow> root = mRoot;
        root->OnMouseButton(LRootWindow::kRelease, message.button, modifiers, mLastPoint, 0);
        ReleaseCapture();
        return;
    }
    mRoot->OnMouseButton(LRootWindow::kRelease, message.button, modifiers, mLastPoint, 0);
}

void OSWindow::OnMouseMove(const WindowMessage& message)
{
    if (!mCaptureHeld) {
        if (mBackend->IsActive() && !message.onFrame && !message.elsewhere) TakeCapture();
    } else if ((mBackend->GetSystemButtons() & 7u) == 0 && (message.elsewhere || message.onFrame)) {
        ReleaseCapture();
    }
    mLastPoint = message.point;
    if (mRoot) mRoot->OnMouseMove(mLastPoint, message.modifiers & kPointerModifiers, 0);
}

void OSWindow::OnWheel(const WindowMessage& message, int axis)
{
    int32_t& accumulator = mWheel[axis];
    accumulator += message.delta;
    if (accumulator > -kWheelStep && accumulator < kWheelStep) return;
    const bool positive = accumulator >= kWheelStep;
    accumulator %= kWheelStep;
    const int32_t direction = axis == 0 ? (positive ? 1 : 0) : (positive ? 3 : 2);
    mLastPoint = message.point;
    mRoot->OnMouseWheel(mLastPoint, message.modifiers & kPointerModifiers, direction);
}

void OSWindow::OnSize(const WindowMessage& message)
{
    // A minimised window keeps its image: an empty target would leave it
    // blank when it comes back.
    if (message.minimized || message.width <= 0 || message.height <= 0) return;
    if (mRoot) {
        mRoot->UpdateLayout(message.width, message.height);
        mRoot->SetRepaintAllPending();
    }
    if (mContext) mContext->SetViewport({0, 0, message.width, message.height});
}

void OSWindow::OnMove()
{
    if (mPartlyOutside) {
        if (mRoot) mRoot->SetRepaintAllPending();
        mPartlyOutside = false;
    }
    IWindowApplication* app = GetWindowApplication();
    if (app && !Contains(app->GetWorkArea(), mBackend->GetWindowRect())) mPartlyOutside = true;
}

void OSWindow::OnSystemClose()
{
    if (IsMainWindow()) {
        if (IWindowApplication* app = GetWindowApplication()) app->RequestExit();
        return;
    }
    mRoot->Cancel();
}

void OSWindow::OnCopyData(const WindowMessage& message)
{
    if (message.dataId != WindowMessage::kCopyDataCommandText) return;
    // Bounded by what arrived, cut at the first NUL, capped.
    const std::string& bytes = message.data;
    const size_t length = std::min({bytes.size(), ::strnlen(bytes.data(), bytes.size()), kMaxCommandTextBytes});
    String text;
    if (ConvertUTF8ToString(text, bytes.data(), static_cast<int32_t>(length)) < 0) return;
    if (!mBackend->IsEnabled()) return;
    if (IWindowApplication* app = GetWindowApplication()) app->HandleCommandText(text);
}

bool OSWindow::OnKickIdle(int32_t idleCount)
{
    IWindowApplication* app = GetWindowApplication();
    const bool more = app && app->ProcessPendingNotifications(idleCount == 0);
    mIdleWorkLeft = more;
    return more && idleCount < 2;
}

bool OSWindow::WantsTimerTicks() const
{
    if (mDestroyed || !mRoot) return false;
    const RCPtr<LNotificationQueue>& queue = mRoot->GetQueue();
    return mIdleWorkLeft || mRoot->HasIdleSubscribers() || (queue && queue->GetQueuedCount() != 0);
}

}  // namespace QV
