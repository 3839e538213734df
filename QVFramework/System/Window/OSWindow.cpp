#include "OSWindow.h"

#include "IWindowApplication.h"

namespace QV {
namespace {

// The cursor last set by any window: one for the whole program.
uint32_t gCurrentCursor = 0;

void PutInt32(std::vector<uint8_t>& out, int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(u >> shift));
}

}  // namespace

OSWindow::OSWindow(std::unique_ptr<IOSWindowBackend> backend, OSWindow* owner)
    : mBackend(std::move(backend)), mOwner(owner)
{}

OSWindow::~OSWindow()
{
    DestroyWindow();
    mContext = nullptr;
    mRenderer = nullptr;
    mRoot = nullptr;
}

QVResult OSWindow::CreateRenderer(int32_t kind)
{
    LongRect client;
    GetClientRect(client);
    RCPtr<LRenderer> renderer = LRenderer::Create(kind, client, GetWindowHandle());
    mBackend->StartTimer(kTimerPeriodMs);
    return AttachRenderer(renderer);
}

QVResult OSWindow::AttachRenderer(const RCPtr<LRenderer>& renderer)
{
    mRenderer = renderer;
    LongRect client;
    GetClientRect(client);
    RCPtr<LRenderContextInfo> context;
    // A refusal leaves the context null, which painting checks.
    if (mRenderer) (void)mRenderer->InitRenderContextInfo(client, GetWindowHandle(), false, context);
    mContext = context;
    if (mRoot) {
        if (IWindowApplication* app = GetWindowApplication()) app->RemoveRootWindow(mRoot.Get());
        mRoot->SetOSServices(nullptr);
    }
    mRoot = LRootWindow::Create(mRenderer, this);
    mRoot->SetClientSize(client.width, client.height);
    if (IWindowApplication* app = GetWindowApplication()) app->AddRootWindow(mRoot);
    return 0;
}

bool OSWindow::IsMainWindow() const
{
    IWindowApplication* app = GetWindowApplication();
    if (!app || !mRoot) return false;
    const std::vector<RCPtr<LRootWindow>> roots = app->GetRootWindows();
    return !roots.empty() && roots.front() == mRoot;
}

void OSWindow::DestroyWindow()
{
    if (mDestroyed) return;
    mDestroyed = true;
    if (IsMainWindow()) SavePlacement();
    ReleaseCapture();
    mBackend->Destroy();
    if (RCPtr<LRootWindow> root = mRoot) {
        if (IWindowApplication* app = GetWindowApplication()) app->RemoveRootWindow(root.Get());
        root->SetOSServices(nullptr);
    }
}

void OSWindow::SavePlacement()
{
    IWindowApplication* app = GetWindowApplication();
    if (!app) return;
    // The 44-byte placement record: length, flags, show state, minimised and
    // maximised positions, then the normal frame.
    const LongRect frame = mBackend->GetWindowRect();
    std::vector<uint8_t> bytes;
    PutInt32(bytes, 44);
    PutInt32(bytes, 0);
    PutInt32(bytes, mBackend->GetShowState());
    for (int i = 0; i < 4; ++i) PutInt32(bytes, -1);
    PutInt32(bytes, frame.x);
    PutInt32(bytes, frame.y);
    PutInt32(bytes, frame.Right());
    PutInt32(bytes, frame.Bottom());
    app->WriteProfileBinary(app->GetMainWindowClassName(), u"WP", bytes);
}

void OSWindow::EnableWindow(bool enable)
{
    mBackend->SetEnabled(enable);
}

// ---------------------------------------------------------------- services

QVResult OSWindow::SetWindowTitle(const String& text)
{
    if (mDestroyed || !mBackend->GetHandle()) return E_FAIL;
    mBackend->SetTitle(text);
    return S_OK;
}

void OSWindow::Invalidate()
{
    mBackend->InvalidateRect(nullptr);
}

void OSWindow::InvalidateRect(const LongRect& rect)
{
    mBackend->InvalidateRect(&rect);
}

void OSWindow::GetClientRect(LongRect& rect) const
{
    const LongRect client = mBackend->GetClientRect();
    if (client.width < 0 || client.height < 0) return;
    rect = {0, 0, client.width, client.height};
}

void OSWindow::ScreenToClient(LongPoint& out, const LongPoint& point) const
{
    const LongPoint origin = mBackend->GetClientOrigin();
    out = {point.x - origin.x, point.y - origin.y};
}

void OSWindow::ClientToScreen(LongPoint& out, const LongPoint& point) const
{
    const LongPoint origin = mBackend->GetClientOrigin();
    out = {point.x + origin.x, point.y + origin.y};
}

void OSWindow::SetWindowRect(const LongRect& rect)
{
    mBackend->SetClientRect(rect);
}

bool OSWindow::Show(int32_t command)
{
    if (command != 0) ApplyMinimumSize();
    return mBackend->Show(command);
}

void OSWindow::ApplyMinimumSize()
{
    if (!mRoot || mDestroyed) return;
    int32_t width = 1;
    int32_t height = 1;
    mRoot->ConstrainSize(width, height);  // the answer is the size itself
    mBackend->SetMinimumSize(width, height);
}

QVResult OSWindow::UpdateNow()
{
    if (mDestroyed) return E_FAIL;
    mBackend->InvalidateRect(nullptr);
    // A hidden window is painted once it is shown: a whole frame nobody sees
    // was a large part of the start-up.
    if (!mBackend->IsVisible()) return S_OK;
    WindowMessage paint;
    paint.kind = WindowMessage::Kind::kPaint;
    paint.updateRect = mBackend->GetClientRect();
    HandleMessage(paint);
    return S_OK;
}

QVResult OSWindow::BringToTop()
{
    if (mDestroyed || !mBackend->GetHandle()) return E_FAIL;
    return mBackend->Raise() ? S_OK : E_FAIL;
}

void OSWindow::SetTopMost(bool topMost)
{
    mBackend->SetTopMost(topMost);
}

void OSWindow::EndModal(int32_t result)
{
    if (mInModal) {
        mModalResult = result;
        mContinueModal = false;
        mInModal = false;
        return;
    }
    DestroyWindow();
}

int32_t OSWindow::RunModal()
{
    mInModal = true;
    mContinueModal = true;
    const bool disableOwner = mOwner && !mOwner->mDestroyed && mOwner->mBackend->IsEnabled();
    if (disableOwner) mOwner->EnableWindow(false);
    EnableWindow(true);
    bool shown = mBackend->IsVisible();
    int32_t idleCount = 0;
    bool idle = true;
    while (mContinueModal) {
        while (idle && mContinueModal && !mBackend->HasPendingMessage()) {
            if (!shown) {
                Show(1);
                UpdateNow();
                shown = true;
            }
            if (!OnKickIdle(idleCount++)) idle = false;
        }
        if (!mContinueModal) break;
        if (!mBackend->PumpMessage()) {
            mBackend->PostQuit();
            return -1;
        }
        idle = true;
        idleCount = 0;
    }
    // Copied now: the window may go with the destroy below.
    const int32_t result = mModalResult;
    mInModal = false;
    if (disableOwner) mOwner->EnableWindow(true);
    if (mOwner && !mOwner->mDestroyed && IsActive()) (void)mOwner->BringToTop();  // cosmetic
    DestroyWindow();
    return result;
}

bool OSWindow::IsActive() const
{
    if (mDestroyed) return false;
    if (mBackend->IsActive()) return true;
    return IsMainWindow() && mOwner && mOwner->mBackend->IsActive();
}

bool OSWindow::HasFocus() const
{
    return !mDestroyed && mBackend->HasFocus();
}

QVResult OSWindow::SetFocus()
{
    if (mDestroyed || !mBackend->GetHandle()) return E_FAIL;
    return mBackend->TakeFocus() ? S_OK : E_FAIL;
}

uint32_t OSWindow::SetCursor(uint32_t cursor)
{
    const uint32_t previous = gCurrentCursor;
    if (cursor != previous) {
        mBackend->SetCursor(cursor);
        gCurrentCursor = cursor;
    }
    return previous;
}

LongPoint OSWindow::GetCursorPosition()
{
    if (!mCaptureHeld) ScreenToClient(mLastPoint, mBackend->GetScreenCursor());
    return mLastPoint;
}

uint32_t OSWindow::GetMouseButtonState()
{
    if (!mCaptureHeld) mButtons = mBackend->GetSystemButtons() & 7u;
    return mButtons;
}

void* OSWindow::GetWindowHandle() const
{
    return mDestroyed ? nullptr : mBackend->GetHandle();
}

}  // namespace QV
