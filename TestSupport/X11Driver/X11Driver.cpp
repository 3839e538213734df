#include "X11Driver.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <thread>

namespace TestSupport {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr auto kAfterFocus = std::chrono::milliseconds(50);
// How deep under the root a titled window may sit: a window manager puts the
// client window inside a frame or two.
constexpr int kSearchDepth = 3;

// A vanished window or a refused focus must fail the call, not end the test
// process as Xlib's default handler would.
int IgnoreXError(::Display*, XErrorEvent*)
{
    return 0;
}

struct ModifierKey {
    Modifier modifier;
    KeySym keysym;
};
constexpr std::array<ModifierKey, 3> kModifierKeys{{{Ctrl, XK_Control_L}, {Shift, XK_Shift_L}, {Alt, XK_Alt_L}}};

template <class Predicate>
bool PollUntil(std::chrono::milliseconds timeout, Predicate ready)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

}  // namespace

struct X11Driver::Display {
    ::Display* handle = nullptr;
    ~Display()
    {
        if (handle) XCloseDisplay(handle);
    }

    std::string Title(Window window) const
    {
        const Atom utf8 = XInternAtom(handle, "UTF8_STRING", False);
        const Atom netName = XInternAtom(handle, "_NET_WM_NAME", False);
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::string title;
        if (XGetWindowProperty(handle, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
                Success &&
            data) {
            title.assign(reinterpret_cast<const char*>(data), count);
            XFree(data);
            if (!title.empty()) return title;
        }
        char* name = nullptr;
        if (XFetchName(handle, window, &name) && name) {
            title = name;
            XFree(name);
        }
        return title;
    }

    bool IsShown(Window window) const
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(handle, window, &attributes) && attributes.map_state == IsViewable;
    }

    // The titled, viewable windows at or under `window`, the outermost titled
    // one of each branch.
    void CollectTitled(Window window, int depth, std::vector<std::pair<Window, std::string>>& found) const
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(handle, window, &root, &parent, &children, &count)) return;
        for (unsigned i = 0; i < count; ++i) {
            if (!IsShown(children[i])) continue;
            std::string title = Title(children[i]);
            if (!title.empty()) {
                found.emplace_back(children[i], std::move(title));
            } else if (depth > 1) {
                CollectTitled(children[i], depth - 1, found);
            }
        }
        if (children) XFree(children);
    }

    std::vector<std::pair<Window, std::string>> TopLevels() const
    {
        std::vector<std::pair<Window, std::string>> found;
        CollectTitled(DefaultRootWindow(handle), kSearchDepth, found);
        return found;
    }
};

X11Driver::X11Driver() : mDisplay(std::make_unique<Display>())
{
    XSetErrorHandler(IgnoreXError);
    mDisplay->handle = XOpenDisplay(nullptr);
    if (!mDisplay->handle) {
        const char* name = std::getenv("DISPLAY");
        mError = std::string("cannot open the X display \"") + (name ? name : "") + "\"";
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(mDisplay->handle, &event, &error, &major, &minor)) {
        mError = "the X server has no XTEST extension";
        XCloseDisplay(mDisplay->handle);
        mDisplay->handle = nullptr;
    }
}

X11Driver::~X11Driver() = default;

bool X11Driver::IsConnected() const
{
    return mDisplay->handle != nullptr;
}

std::optional<WindowId> X11Driver::FindWindow(const std::string& part, std::chrono::milliseconds timeout)
{
    if (!IsConnected()) return std::nullopt;
    std::optional<WindowId> found;
    PollUntil(timeout, [&] {
        for (const auto& [window, title] : mDisplay->TopLevels()) {
            if (title.find(part) != std::string::npos) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

bool X11Driver::WaitUntilGone(const std::string& part, std::chrono::milliseconds timeout)
{
    if (!IsConnected()) return false;
    return PollUntil(timeout, [&] {
        for (const auto& [window, title] : mDisplay->TopLevels()) {
            if (title.find(part) != std::string::npos) return false;
        }
        return true;
    });
}

std::vector<std::string> X11Driver::TopLevelTitles()
{
    std::vector<std::string> titles;
    if (!IsConnected()) return titles;
    for (auto& entry : mDisplay->TopLevels()) titles.push_back(std::move(entry.second));
    return titles;
}

std::optional<WindowGeometry> X11Driver::Geometry(WindowId window)
{
    if (!IsConnected()) return std::nullopt;
    XWindowAttributes attributes;
    Window child = 0;
    WindowGeometry geometry;
    if (!XGetWindowAttributes(mDisplay->handle, window, &attributes) ||
        !XTranslateCoordinates(mDisplay->handle, window, DefaultRootWindow(mDisplay->handle), 0, 0, &geometry.x,
                               &geometry.y, &child)) {
        return std::nullopt;
    }
    geometry.width = attributes.width;
    geometry.height = attributes.height;
    return geometry;
}

bool X11Driver::MoveTo(WindowId window, int x, int y)
{
    const std::optional<WindowGeometry> geometry = Geometry(window);
    if (!geometry) return false;
    XTestFakeMotionEvent(mDisplay->handle, -1, geometry->x + x, geometry->y + y, CurrentTime);
    Sync();
    return true;
}

bool X11Driver::Button(MouseButton button, bool down)
{
    XTestFakeButtonEvent(mDisplay->handle, static_cast<unsigned>(button), down ? True : False, CurrentTime);
    Sync();
    return true;
}

bool X11Driver::Click(WindowId window, int x, int y, MouseButton button)
{
    return MoveTo(window, x, y) && Button(button, true) && Button(button, false);
}

bool X11Driver::DoubleClick(WindowId window, int x, int y)
{
    return Click(window, x, y) && Button(MouseButton::Left, true) && Button(MouseButton::Left, false);
}

bool X11Driver::Drag(WindowId window, int fromX, int fromY, int toX, int toY)
{
    if (!MoveTo(window, fromX, fromY) || !Button(MouseButton::Left, true)) return false;
    // A step at most every 8 pixels, as a program that follows the pointer sees it.
    const int steps = std::max(1, std::max(std::abs(toX - fromX), std::abs(toY - fromY)) / 8);
    bool moved = true;
    for (int i = 1; i <= steps && moved; ++i) {
        moved = MoveTo(window, fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    }
    // The button goes up even when a move failed, so that no press is left held.
    return Button(MouseButton::Left, false) && moved;
}

void X11Driver::Wheel(int steps)
{
    if (!IsConnected()) return;
    // X reports the wheel as buttons 4 (up) and 5 (down).
    const unsigned button = steps > 0 ? 4 : 5;
    for (int i = 0; i < std::abs(steps); ++i) {
        XTestFakeButtonEvent(mDisplay->handle, button, True, CurrentTime);
        XTestFakeButtonEvent(mDisplay->handle, button, False, CurrentTime);
        Sync();
    }
}

bool X11Driver::Key(unsigned keycode, bool down)
{
    XTestFakeKeyEvent(mDisplay->handle, keycode, down ? True : False, CurrentTime);
    Sync();
    return true;
}

bool X11Driver::PressKey(unsigned long keysym, unsigned modifiers)
{
    if (!IsConnected()) return false;
    const KeyCode keycode = XKeysymToKeycode(mDisplay->handle, keysym);
    if (keycode == 0) return false;
    std::vector<KeyCode> held;
    for (const ModifierKey& key : kModifierKeys) {
        if (!(modifiers & key.modifier)) continue;
        const KeyCode code = XKeysymToKeycode(mDisplay->handle, key.keysym);
        if (code == 0) return false;
        held.push_back(code);
    }
    for (const KeyCode code : held) Key(code, true);
    Key(keycode, true);
    Key(keycode, false);
    for (auto it = held.rbegin(); it != held.rend(); ++it) Key(*it, false);
    return true;
}

bool X11Driver::Type(const std::string& text)
{
    if (!IsConnected()) return false;
    struct Stroke {
        KeySym keysym;
        unsigned modifiers;
    };
    std::vector<Stroke> strokes;
    for (const char c : text) {
        KeySym keysym = 0;
        if (c == '\n') {
            keysym = XK_Return;
        } else if (c == '\t') {
            keysym = XK_Tab;
        } else if (c >= 0x20 && c <= 0x7E) {
            keysym = static_cast<KeySym>(c);  // Latin-1 keysyms are the characters
        } else {
            return false;
        }
        const KeyCode keycode = XKeysymToKeycode(mDisplay->handle, keysym);
        if (keycode == 0) return false;
        // A keysym in the key's second level needs Shift.
        const bool shifted = XkbKeycodeToKeysym(mDisplay->handle, keycode, 0, 0) != keysym;
        strokes.push_back({keysym, shifted ? static_cast<unsigned>(Shift) : NoModifier});
    }
    for (const Stroke& stroke : strokes) PressKey(stroke.keysym, stroke.modifiers);
    return true;
}

bool X11Driver::Focus(WindowId window)
{
    if (!IsConnected() || !mDisplay->IsShown(window)) return false;
    XRaiseWindow(mDisplay->handle, window);
    XSetInputFocus(mDisplay->handle, window, RevertToParent, CurrentTime);
    Sync();
    Window focused = 0;
    int revert = 0;
    XGetInputFocus(mDisplay->handle, &focused, &revert);
    // SDL drops a click that comes within 10 ms of gaining the focus, as the
    // click that gave it.
    std::this_thread::sleep_for(kAfterFocus);
    return focused == window;
}

bool X11Driver::IsAbove(WindowId upper, WindowId lower)
{
    if (!IsConnected()) return false;
    ::Display* display = mDisplay->handle;
    const Window screenRoot = DefaultRootWindow(display);
    // The child of the root window that holds `window`; 0 when it is gone.
    const auto topLevelOf = [&](Window window) -> Window {
        for (;;) {
            Window root = 0, parent = 0;
            Window* children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
            if (children) XFree(children);
            if (parent == screenRoot || parent == 0) return window;
            window = parent;
        }
    };
    const Window a = topLevelOf(upper), b = topLevelOf(lower);
    if (a == 0 || b == 0 || a == b) return false;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, screenRoot, &root, &parent, &children, &count)) return false;
    // Children come bottom to top.
    int indexA = -1, indexB = -1;
    for (unsigned i = 0; i < count; ++i) {
        if (children[i] == a) indexA = static_cast<int>(i);
        if (children[i] == b) indexB = static_cast<int>(i);
    }
    if (children) XFree(children);
    return indexA >= 0 && indexB >= 0 && indexA > indexB;
}

bool X11Driver::RequestClose(WindowId window)
{
    if (!IsConnected()) return false;
    XClientMessageEvent message{};
    message.type = ClientMessage;
    message.window = window;
    message.message_type = XInternAtom(mDisplay->handle, "WM_PROTOCOLS", False);
    message.format = 32;
    message.data.l[0] = static_cast<long>(XInternAtom(mDisplay->handle, "WM_DELETE_WINDOW", False));
    message.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(mDisplay->handle, window, False, NoEventMask, reinterpret_cast<XEvent*>(&message));
    Sync();
    return sent;
}

void X11Driver::Sync()
{
    if (IsConnected()) XSync(mDisplay->handle, False);
}

std::optional<Picture> X11Driver::Capture(WindowId window)
{
    if (!IsConnected()) return std::nullopt;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(mDisplay->handle, window, &attributes)) return std::nullopt;
    XImage* image = XGetImage(mDisplay->handle, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return std::nullopt;
    Picture picture{attributes.width, attributes.height, {}};
    picture.pixels.reserve(static_cast<size_t>(attributes.width) * static_cast<size_t>(attributes.height));
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) picture.pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFFu);
    }
    XDestroyImage(image);
    return picture;
}

bool X11Driver::SavePicture(WindowId window, const std::string& pngPath)
{
    const std::optional<Picture> picture = Capture(window);
    if (!picture) return false;
    std::vector<uint8_t> rgb;
    rgb.reserve(picture->pixels.size() * 3);
    for (uint32_t pixel : picture->pixels) {
        rgb.push_back(static_cast<uint8_t>(pixel >> 16));
        rgb.push_back(static_cast<uint8_t>(pixel >> 8));
        rgb.push_back(static_cast<uint8_t>(pixel));
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(picture->width);
    png.height = static_cast<png_uint_32>(picture->height);
    png.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&png, pngPath.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

}  // namespace TestSupport
