#pragma once
// Fakes for the seams a control stands on, and a fixture that installs them.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ControlPopups.h"
#include "IControlApplication.h"
#include "IControlRenderer.h"
#include "LControl.h"
#include "LGlobalHotKeyManager.h"
#include "LNotificationClient.h"

namespace control_test {

using namespace QV;

inline std::string Narrow(const char16_t* text)
{
    std::string out;
    for (; text && *text; ++text) out.push_back(static_cast<char>(*text));
    return out;
}

// A key press as the window delivers it: the virtual key with KeyCode's flag bits.
inline KeyCode KeyPress(uint32_t virtualKey, uint32_t flags = 0)
{
    KeyCode key;
    key.code = KeyCode::kKeyDown | flags | ((virtualKey & 0xFF) << 16);
    return key;
}

inline RectRegion RegionOf(const std::vector<RegionRect>& rects)
{
    RectRegion region;
    for (const RegionRect& r : rects) region.AddRect(r);
    return region;
}

// Compares covered pixels, not node lists: how a subtraction splits an area is the region's business.
inline ::testing::AssertionResult CoversExactly(const RectRegion& actual, const std::vector<RegionRect>& expected)
{
    RectRegion extra = actual;
    extra.SubtractRegion(RegionOf(expected));
    RectRegion missing = RegionOf(expected);
    missing.SubtractRegion(actual);
    if (extra.IsEmpty() && missing.IsEmpty()) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "region holds";
    for (const RegionRect& r : actual)
        failure << " [" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
    return failure;
}

// Records the notifications it receives, by name.
class NotificationLog : public LNotificationClient {
    QV_TYPE_NAME("class NotificationLog")
public:
    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override
    {
        auto* control = dynamic_cast<LControl*>(sender.Get());
        names.push_back(Narrow(notification->GetID()));
        senders.push_back(control ? Narrow(control->GetName().GetChars()) : std::string());
        if (auto* c = dynamic_cast<LConditionsParam*>(notification->GetPayload().Get()))
            words.push_back(c->newConditions);
        if (auto* v = dynamic_cast<LValueParam*>(notification->GetPayload().Get()))
            values.push_back({v->normalizedValue, v->mappedValue});
        if (onReceive) onReceive(notification);
        return S_OK;
    }
    void Listen(LControl* control, std::initializer_list<const char16_t*> ids)
    {
        for (const char16_t* id : ids) RegisterNotification(RCPtr<LNotificationDistributor>(control), id);
    }
    void Clear()
    {
        names.clear();
        senders.clear();
        words.clear();
        values.clear();
    }

    std::vector<std::string> names;
    std::vector<std::string> senders;
    std::vector<uint32_t> words;
    std::vector<std::pair<double, double>> values;
    std::function<void(const RCPtr<LNotification>&)> onReceive;
};

class FakeRootWindow : public LNotificationDistributor, public IRootWindow {
    QV_TYPE_NAME("class FakeRootWindow")
public:
    void InvalidateRect(int32_t l, int32_t t, int32_t r, int32_t b) override { dirty.push_back({l, t, r - l, b - t}); }
    RCPtr<LControl> GetFocusControl() const override { return RCPtr<LControl>(focus); }
    void SetFocusControl(LControl* c) override { focus = c; }
    void OnFocusLost(LControl* c) override
    {
        if (focus == c) focus = nullptr;
    }
    uint32_t SetCursor(uint32_t id) override
    {
        const uint32_t old = cursor;
        cursor = id;
        cursors.push_back(id);
        return old;
    }
    uint32_t GetNormalCursor() const override { return 1; }
    RCPtr<LControl> HitTest(int32_t x, int32_t y, bool update, int32_t* lx, int32_t* ly) override
    {
        ++hitTests;
        if (update) ++hoverUpdates;
        if (!top) return nullptr;
        DoublePoint hit;
        int32_t priority = INT_MIN;
        RCPtr<LControl> found = top->HitTest({double(x), double(y)}, true, hit, priority);
        if (lx) *lx = SaturateToLong(hit.x);
        if (ly) *ly = SaturateToLong(hit.y);
        return found;
    }
    void GetCursorPosition(int32_t& x, int32_t& y) const override
    {
        x = cursorX;
        y = cursorY;
    }
    uint32_t GetMouseButtonState() const override { return buttons; }
    uint32_t GetModifierState() const override { return 0; }
    void SetCapture(LControl* c) override { capture = c; }
    void ReleaseCapture(LControl* c) override
    {
        if (capture == c) capture = nullptr;
    }
    void SetPressTarget(LControl* c) override { pressTarget = c; }
    void HandleTabNavigation(const RCPtr<LKeyParam>& key) override { tabs.push_back(key); }
    QVResult HandleHotKey(const KeyCode& code) override
    {
        hotKeys.push_back(code);
        return hotKeyResult;
    }
    LGlobalHotKeyManager* GetHotKeys() const override { return hotKeyManager.Get(); }
    RCPtr<LNotificationDistributor> GetDistributor() override { return RCPtr<LNotificationDistributor>(this); }
    RCPtr<LNotificationQueue> GetNotificationQueue() const override { return queue; }
    void SetWindowTitle(const String& t) override { title = t; }
    void GetClientSize(double& w, double& h) const override
    {
        w = width;
        h = height;
    }
    void SetWindowRect(double, double, double, double) override { ++windowMoves; }
    void SetCaret(bool show, LControl* control, const LongPoint& at) override { carets.push_back({show, control, at}); }

    void Idle() { SendNotification(LNotification::Create(u"NID_IDLE")); }

    LControl* top = nullptr;
    LControl* focus = nullptr;
    LControl* capture = nullptr;
    LControl* pressTarget = nullptr;
    std::vector<LongRect> dirty;
    uint32_t cursor = 1;
    std::vector<uint32_t> cursors;
    int32_t cursorX = 0, cursorY = 0;
    uint32_t buttons = 1;
    int hitTests = 0, hoverUpdates = 0, windowMoves = 0;
    std::vector<RCPtr<LKeyParam>> tabs;
    std::vector<KeyCode> hotKeys;
    QVResult hotKeyResult = 1;
    RCPtr<LGlobalHotKeyManager> hotKeyManager;
    RCPtr<LNotificationQueue> queue;
    String title;
    struct Caret {
        bool show;
        LControl* control;
        LongPoint at;
    };
    std::vector<Caret> carets;
    double width = 800, height = 600;
};

class FakeLook : public ILook {
    QV_TYPE_NAME("class FakeLook")
public:
    explicit FakeLook(std::vector<std::string>* log = nullptr, std::string name = "look")
        : mLog(log), mName(std::move(name))
    {}
    void DrawBackground(IControlRenderer& r, const DirtyRects&) override
    {
        Log("background");
        DoublePoint o;
        r.GetOrigin(o.x, o.y);
        origins.push_back(o);
        clips.push_back(r.GetClipRect());
        opacities.push_back(r.GetOpacity());
    }
    void DrawForeground(IControlRenderer&, const DirtyRects&) override { Log("foreground"); }
    void DrawLabelText(IControlRenderer&, const DirtyRects&, const DoublePoint& offset) override
    {
        Log("label");
        labelOffsets.push_back(offset);
    }
    DoubleRect GetClientRect() const override { return {inset, inset, width - 2 * inset, height - 2 * inset}; }
    uint32_t GetColorAtPoint(const DoublePoint&) const override { return color; }
    void SetSize(int32_t w, int32_t h) override
    {
        width = w;
        height = h;
    }
    void SetText(const String& t) override { text = t; }
    void SetFont(const RCPtr<LFont>& f) override { font = f; }
    bool GetTextWidth(double& w) const override
    {
        w = textWidth;
        return hasTextLayout;
    }
    double GetTextAreaWidth(double controlWidth) const override { return controlWidth - 2 * inset; }
    bool GetTextLayoutGeometry(DoubleRect& area, DoublePoint& firstLine, DoublePoint& size) const override
    {
        area = GetClientRect();
        firstLine = lineOrigin;
        size = textExtent;
        return hasTextLayout;
    }
    QVResult SetOverlayPart(const RCPtr<LRefCountedObject>& bitmap, int32_t, bool) override
    {
        if (!bitmap && !overlay) return 1;
        overlay = bitmap;
        return 0;
    }
    void SetTextForegroundPart(const RCPtr<LRefCountedObject>& part) override { textPart = part; }
    void SetRegion(const RectRegion& r) override { region = r; }
    void GetRegion(RectRegion& out) const override { out = region; }

    std::vector<DoublePoint> origins;
    std::vector<DoubleRect> clips;  // where the background may paint, in the control's own coordinates
    std::vector<DoublePoint> labelOffsets;
    std::vector<float> opacities;
    double inset = 0;
    double width = 0, height = 0;
    DoublePoint lineOrigin;
    DoublePoint textExtent;
    uint32_t color = 0xFF000000u;
    String text;
    RCPtr<LFont> font;
    bool hasTextLayout = true;
    double textWidth = 0;
    RCPtr<LRefCountedObject> overlay;
    RCPtr<LRefCountedObject> textPart;
    RectRegion region;

private:
    void Log(const char* what)
    {
        if (mLog) mLog->push_back(mName + ":" + what);
    }
    std::vector<std::string>* mLog;
    std::string mName;
};

// Keeps the state stack the drawing code pushes and pops.
class FakeRenderer : public IControlRenderer {
public:
    struct State {
        double ox = 0, oy = 0;
        DoubleRect clip{-1e9, -1e9, 2e9, 2e9};
        float opacity = 1.0f;
    };
    void SaveState() override { stack.push_back(current); }
    void RestoreState() override
    {
        if (stack.empty()) return;
        current = stack.back();
        stack.pop_back();
    }
    // As the real renderer: a relative clip stays inside the bounds it is given.
    void PushClipRect(const DoubleRect& origin, const DoubleRect& clip, int relative) override
    {
        SaveState();
        DoubleRect c = clip;
        if (relative && !c.Intersect(origin)) c = {};
        c.Intersect(current.clip);
        current.ox += origin.x;
        current.oy += origin.y;
        c.x -= origin.x;
        c.y -= origin.y;
        current.clip = c;
    }
    void PushOrigin(double dx, double dy) override
    {
        SaveState();
        current.ox += dx;
        current.oy += dy;
        current.clip.x -= dx;
        current.clip.y -= dy;
    }
    DoubleRect GetClipRect() const override { return current.clip; }
    void GetOrigin(double& x, double& y) const override
    {
        x = current.ox;
        y = current.oy;
    }
    float GetOpacity() const override { return current.opacity; }
    void SetOpacity(float o) override { current.opacity = o; }

    State current;
    std::vector<State> stack;
};

class FakeDescriptor : public IControlDescriptor {
    QV_TYPE_NAME("class FakeDescriptor")
public:
    explicit FakeDescriptor(String name) : name(std::move(name)) {}
    String GetName() const override { return name; }
    bool HasAttributes() const override { return hasAttributes; }
    bool GetAttribute(const String& key, String& value) const override
    {
        for (const auto& [k, v] : attributes) {
            if (k == key) {
                value = v;
                return true;
            }
        }
        return false;
    }
    ControlLayout GetLayout() const override { return layout; }
    uint32_t GetLookCount() const override { return lookCount; }
    RCPtr<ILook> CreateLook(uint32_t) const override { return RCPtr<ILook>(new FakeLook()); }
    ControlTextProperties GetTextProperties() const override { return text; }
    uint32_t GetChildCount() const override { return static_cast<uint32_t>(children.size()); }
    RCPtr<IControlDescriptor> GetChild(uint32_t i) const override { return children[i]; }
    QVResult GetAttributesWithPrefix(const String& prefix, std::vector<std::pair<String, String>>& out) const override
    {
        out.clear();
        for (const auto& pair : attributes) {
            if (pair.first.View().substr(0, prefix.View().size()) == prefix.View()) out.push_back(pair);
        }
        return S_OK;
    }

    String name;
    bool hasAttributes = true;
    std::vector<std::pair<String, String>> attributes;
    ControlLayout layout;
    uint32_t lookCount = 1;
    ControlTextProperties text;
    std::vector<RCPtr<IControlDescriptor>> children;
};

class FakeStringTable : public IControlStringTable {
    QV_TYPE_NAME("class FakeStringTable")
public:
    bool GetString(const String& name, String& value) const override
    {
        for (const auto& [k, v] : strings) {
            if (k == name) {
                value = v;
                return true;
            }
        }
        return false;
    }
    QVResult GetStringsWithPrefix(const String& prefix, std::vector<std::pair<String, String>>& out) const override
    {
        out.clear();
        for (const auto& pair : strings) {
            if (pair.first.View().substr(0, prefix.View().size()) == prefix.View()) out.push_back(pair);
        }
        return S_OK;
    }
    std::vector<std::pair<String, String>> strings;
};

// The popups a control raises, recording how they were used.
class FakePopup : public LControl, public IContextMenuPopup, public IToolTipPopup {
    QV_TYPE_NAME("class FakePopup")
public:
    FakePopup(LControl* parent, const String& name) : LControl(parent, name) {}
    QVResult SetMenuDescriptor(const RCPtr<LRefCountedObject>& m) override
    {
        menu = m;
        return S_OK;
    }
    void ShowAtMousePosition() override
    {
        ++shown;
        SetVisible(true);
    }
    void PlaceAtCursor() override
    {
        ++shown;
        SetVisible(true);
    }
    void Dismiss() override
    {
        ++dismissed;
        SetVisible(false);
    }
    RCPtr<LRefCountedObject> menu;
    int shown = 0;
    int dismissed = 0;
};

class FakeFactory : public IControlFactory {
public:
    RCPtr<LControl> CreateControl(const RCPtr<IControlDescriptor>& d, LControl* parent) override
    {
        ++created;
        RCPtr<LControl> c(new FakePopup(parent, d->GetName()));
        c->ApplyDescriptor(d);
        c->CreateChildren(d);
        c->Initialize();
        c->OnInitialized();
        c->SetInitialized(true);
        return c;
    }
    RCPtr<IControlDescriptor> FindControlDescriptor(const String& name) override
    {
        for (auto& d : descriptors) {
            if (d->GetName() == name) return d;
        }
        return nullptr;
    }
    RCPtr<IControlStringTable> GetStringTable(LControl*, const String& name) override
    {
        for (auto& [key, table] : tables) {
            if (key == name) return table;
        }
        return nullptr;
    }
    bool TakePendingAttachment() override { return std::exchange(attachmentPending, false); }

    std::vector<std::pair<String, RCPtr<IControlStringTable>>> tables;
    std::vector<RCPtr<IControlDescriptor>> descriptors;
    int created = 0;
    bool attachmentPending = false;
};

class FakeApplication : public IControlApplication {
public:
    uint32_t GetTimeMs() override { return nowMs; }
    double GetElapsedTime() override { return nowMs / 1000.0; }
    DoubleRect GetWorkArea() override { return {0, 0, 1024, 768}; }
    uint32_t GetCursorHandle(const char16_t* name) override
    {
        const std::string n = Narrow(name);
        if (n == "UI_CURSOR_DROP_MOVE") return kDropMove;
        if (n == "UI_CURSOR_NO_DROP") return kNoDrop;
        return 0;
    }
    QVResult HandleHotKey(const KeyCode& code) override
    {
        hotKeys.push_back(code);
        return 1;
    }
    LGlobalHotKeyManager* GetHotKeys() const override { return hotKeyManager.Get(); }
    RCPtr<LFont> GetDefaultFont() override { return defaultFont; }
    IControlFactory* GetControlFactory() override { return &factory; }
    RCPtr<LNotificationDistributor> GetDefaultNotificationCenter() override { return nullptr; }
    // Offsets in pixels; a factor scales the reference's size; "Self" takes the text's width.
    QVResult ResolveLayout(LControl& control, const DoubleRect& ref, DoubleRect& frame) override
    {
        const ControlLayout& l = control.GetLayout();
        const double extent[2] = {ref.width, ref.height};
        double out[4];
        for (int axis = 0; axis < 2; ++axis) {
            out[axis] = l.position[axis].offset + l.position[axis].factor * extent[axis];
            out[axis + 2] = l.size[axis].kind == LayoutKind::kSelf
                                ? (axis == 0 ? 7.0 * control.GetText().GetLength() : 14.0)
                                : l.size[axis].offset + l.size[axis].factor * extent[axis];
            // An absolute minimum, as the window's own minimum size uses it.
            const LayoutRecord& minimum = l.minimum[axis];
            if (minimum.kind == LayoutKind::kSelf && minimum.offset > 0)
                out[axis + 2] = std::max(out[axis + 2], minimum.offset);
        }
        frame = {out[0], out[1], out[2], out[3]};
        ++layouts;
        return S_OK;
    }

    static constexpr uint32_t kDropMove = 101;
    static constexpr uint32_t kNoDrop = 102;
    uint32_t nowMs = 5000;
    std::vector<KeyCode> hotKeys;
    RCPtr<LGlobalHotKeyManager> hotKeyManager;
    RCPtr<LFont> defaultFont = LFont::GetFont(u"Sans", 10.0f, 0);
    FakeFactory factory;
    int layouts = 0;
};

// A control with a look of its own, placed by its layout record.
class TestControl : public LControl {
    QV_TYPE_NAME("class TestControl")
public:
    TestControl(LControl* parent, const String& name) : LControl(parent, name) {}
    QVResult OnKeyDown(const RCPtr<LKeyParam>& key) override
    {
        keys.push_back(key->code);
        return keyResult;
    }
    void OnConditionsChanged(const RCPtr<LConditionsParam>& p) override { changes.push_back(p->newConditions); }
    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override
    {
        if (sender.Get() == static_cast<LNotificationDistributor*>(this))
            received.push_back(Narrow(notification->GetID()));
        return LControl::ReceiveNotification(sender, notification);
    }
    void OnTimer() override { ++timers; }
    int timers = 0;
    std::vector<std::string> received;
    std::vector<KeyCode> keys;
    QVResult keyResult = 1;
    std::vector<uint32_t> changes;
};

class ControlFixture : public ::testing::Test {
protected:
    ControlFixture() : mScope(app), root(new FakeRootWindow()) {}
    ~ControlFixture() override
    {
        // The tree goes before the root window that it points back to.
        if (top) top->Close();
        top = nullptr;
    }

    // A laid-out, initialised, focusable control with one shown look.
    RCPtr<TestControl> Make(LControl* parent, const char16_t* name, double x, double y, double w, double h,
                            int32_t tabStop = 0)
    {
        RCPtr<TestControl> c(new TestControl(parent, name));
        ControlLayout layout;
        layout.position[0].offset = x;
        layout.position[1].offset = y;
        layout.size[0].offset = w;
        layout.size[1].offset = h;
        layout.size[0].kind = layout.size[1].kind = LayoutKind::kParent;
        layout.tabStop = tabStop;
        c->SetLayout(layout);
        c->AddVisualPart(RCPtr<ILook>(new FakeLook(&drawLog, Narrow(name))));
        c->ShowPart(0);
        c->SetNotFocusable(tabStop < 0);
        c->Initialize();
        c->SetInitialized(true);
        EXPECT_GE(c->UpdateLayout(), 0);
        return c;
    }

    RCPtr<TestControl> MakeTop(double w = 400, double h = 300)
    {
        top = Make(nullptr, u"top", 0, 0, w, h);
        EXPECT_GE(top->AttachToRootWindow(RCPtr<IRootWindow>(root.Get())), 0);
        EXPECT_GE(top->UpdateLayout(), 0);
        root->top = top.Get();
        return top;
    }

    FakeApplication app;
    ScopedControlApplication mScope;
    RCPtr<FakeRootWindow> root;
    RCPtr<TestControl> top;
    std::vector<std::string> drawLog;
};

}  // namespace control_test
