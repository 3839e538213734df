#pragma once
// Another X client's view of windows under test: find a top-level window by
// its title and act on it as a user or window manager would. Include after
// the test framework: Xlib's macros (None, Bool, Status) clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <memory>
#include <optional>
#include <string>

namespace X11Testing {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

inline std::optional<Window> FindWindowTitled(Display* display, Window under, const std::string& title)
{
    // The title's bytes, whatever encoding the window set it in.
    XTextProperty name{};
    if (XGetWMName(display, under, &name) && name.value) {
        const bool match = title == std::string(reinterpret_cast<const char*>(name.value), name.nitems);
        XFree(name.value);
        if (match) return under;
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, under, &root, &parent, &children, &count)) return std::nullopt;
    std::optional<Window> found;
    for (unsigned i = 0; i < count && !found; ++i) found = FindWindowTitled(display, children[i], title);
    if (children) XFree(children);
    return found;
}

// The close box, as a window manager reports a click on it.
inline void PressCloseBox(Display* display, Window window)
{
    XClientMessageEvent message{};
    message.type = ClientMessage;
    message.window = window;
    message.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.format = 32;
    message.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    message.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, reinterpret_cast<XEvent*>(&message));
    XFlush(display);
}

// A key pressed and released with the window focused.
inline void PressKey(Display* display, Window window, KeySym key)
{
    XKeyEvent event{};
    event.display = display;
    event.window = window;
    event.root = DefaultRootWindow(display);
    event.same_screen = True;
    event.keycode = XKeysymToKeycode(display, key);
    for (int type : {KeyPress, KeyRelease}) {
        event.type = type;
        XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                   reinterpret_cast<XEvent*>(&event));
    }
    XFlush(display);
}

}  // namespace X11Testing
