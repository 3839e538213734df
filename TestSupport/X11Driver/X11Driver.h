#pragma once
// Drives the programs under test through the X server as a user would: every
// pointer move, click, wheel step and key goes through the XTEST extension,
// so the program receives real X events. For end-to-end tests under Xvfb.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace TestSupport {

// A top-level window's place on the root window.
struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A window's pixels as 0xRRGGBB, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; }
};

enum class MouseButton { Left = 1, Middle = 2, Right = 3 };

// Modifiers held while a key is pressed; combine with |.
enum Modifier : unsigned { NoModifier = 0, Shift = 1, Ctrl = 2, Alt = 4 };

using WindowId = unsigned long;  // an X window id

class X11Driver {
public:
    // Connects to $DISPLAY; IsConnected tells whether that worked and the
    // server has XTEST. Installs, for the whole process, an X error handler
    // that ignores errors: a window that vanished fails the call instead.
    X11Driver();
    ~X11Driver();
    X11Driver(const X11Driver&) = delete;
    X11Driver& operator=(const X11Driver&) = delete;

    bool IsConnected() const;
    // Why the connection failed, for a test's message.
    const std::string& Error() const { return mError; }

    // The first mapped top-level window whose title holds `part`, waiting up
    // to `timeout` for it to appear.
    std::optional<WindowId> FindWindow(const std::string& part,
                                       std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // True once no top-level window's title holds `part` any more.
    bool WaitUntilGone(const std::string& part, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // The titles of the mapped top-level windows, for a failing test's message.
    std::vector<std::string> TopLevelTitles();
    std::optional<WindowGeometry> Geometry(WindowId window);
    // Whether `upper` is stacked above `lower` (compared by the top-level
    // windows holding them); false when either is gone.
    bool IsAbove(WindowId upper, WindowId lower);

    // Points are relative to the window's top-left corner (its client area).
    bool MoveTo(WindowId window, int x, int y);
    bool Click(WindowId window, int x, int y, MouseButton button = MouseButton::Left);
    bool DoubleClick(WindowId window, int x, int y);
    // The left button pressed at `from`, moved to `to` in small steps, and
    // released there: a drag as a hand makes it.
    bool Drag(WindowId window, int fromX, int fromY, int toX, int toY);
    // Wheel steps at the pointer's place: positive up, negative down.
    void Wheel(int steps);

    // A key by its X keysym (XK_Return, XK_a, XK_F2, ...), with modifiers held.
    bool PressKey(unsigned long keysym, unsigned modifiers = NoModifier);
    // Printable ASCII, newline and tab; false for anything else, typing nothing.
    bool Type(const std::string& text);
    bool Focus(WindowId window);
    // Asks the window to close, as a window manager's close box does
    // (WM_DELETE_WINDOW); Xvfb runs no window manager to do it.
    bool RequestClose(WindowId window);

    // The window's pixels as the screen shows them, written as a PNG file.
    bool SavePicture(WindowId window, const std::string& pngPath);
    std::optional<Picture> Capture(WindowId window);

    // Waits until the server has handled every request sent so far.
    void Sync();

private:
    struct Display;
    bool Button(MouseButton button, bool down);
    bool Key(unsigned keycode, bool down);

    std::unique_ptr<Display> mDisplay;
    std::string mError;
};

}  // namespace TestSupport
