#pragma once
// Stand-ins for the root window, a look and the application that the
// control benchmarks build their trees on.
#include "IControlApplication.h"
#include "LControl.h"

namespace bench_support {

using namespace QV;

class BenchRoot : public LNotificationDistributor, public IRootWindow {
    QV_TYPE_NAME("class BenchRoot")
public:
    void InvalidateRect(int32_t, int32_t, int32_t, int32_t) override { ++dirty; }
    RCPtr<LControl> GetFocusControl() const override { return nullptr; }
    void SetFocusControl(LControl*) override {}
    void OnFocusLost(LControl*) override {}
    uint32_t SetCursor(uint32_t) override { return 0; }
    uint32_t GetNormalCursor() const override { return 0; }
    RCPtr<LControl> HitTest(int32_t, int32_t, bool, int32_t*, int32_t*) override { return nullptr; }
    void GetCursorPosition(int32_t& x, int32_t& y) const override { x = y = -1; }
    uint32_t GetMouseButtonState() const override { return 0; }
    uint32_t GetModifierState() const override { return 0; }
    void SetCapture(LControl*) override {}
    void ReleaseCapture(LControl*) override {}
    void SetPressTarget(LControl*) override {}
    void HandleTabNavigation(const RCPtr<LKeyParam>&) override {}
    QVResult HandleHotKey(const KeyCode&) override { return 1; }
    RCPtr<LNotificationDistributor> GetDistributor() override { return RCPtr<LNotificationDistributor>(this); }
    void SetWindowTitle(const String&) override {}
    void GetClientSize(double& w, double& h) const override
    {
        w = clientWidth;
        h = clientHeight;
    }
    void SetWindowRect(double, double, double, double) override {}
    int64_t dirty = 0;
    double clientWidth = 1000;
    double clientHeight = 1000;
};

class BenchLook : public ILook {
    QV_TYPE_NAME("class BenchLook")
public:
    void DrawBackground(IControlRenderer&, const DirtyRects&) override {}
    void DrawForeground(IControlRenderer&, const DirtyRects&) override {}
    void DrawLabelText(IControlRenderer&, const DirtyRects&, const DoublePoint&) override {}
    DoubleRect GetClientRect() const override { return {0, 0, double(mWidth), double(mHeight)}; }
    uint32_t GetColorAtPoint(const DoublePoint&) const override { return 0xFF808080u; }
    void SetSize(int32_t w, int32_t h) override
    {
        mWidth = w;
        mHeight = h;
    }
    void SetText(const String&) override {}
    void SetFont(const RCPtr<LFont>&) override {}
    bool GetTextWidth(double&) const override { return false; }
    double GetTextAreaWidth(double w) const override { return w; }
    QVResult SetOverlayPart(const RCPtr<LRefCountedObject>&, int32_t, bool) override { return 1; }
    void SetTextForegroundPart(const RCPtr<LRefCountedObject>&) override {}

private:
    int32_t mWidth = 0, mHeight = 0;
};

class BenchApplication : public IControlApplication {
public:
    uint32_t GetTimeMs() override { return 0; }
    double GetElapsedTime() override { return 0; }
    DoubleRect GetWorkArea() override { return {0, 0, 1000, 1000}; }
    uint32_t GetCursorHandle(const char16_t*) override { return 0; }
    QVResult HandleHotKey(const KeyCode&) override { return 1; }
    RCPtr<LFont> GetDefaultFont() override { return nullptr; }
    IControlFactory* GetControlFactory() override { return nullptr; }
    RCPtr<LNotificationDistributor> GetDefaultNotificationCenter() override { return nullptr; }
    QVResult ResolveLayout(LControl& c, const DoubleRect&, DoubleRect& frame) override
    {
        const ControlLayout& l = c.GetLayout();
        frame = {l.position[0].offset, l.position[1].offset, l.size[0].offset, l.size[1].offset};
        return S_OK;
    }
};

}  // namespace bench_support
