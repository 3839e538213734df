#pragma once
// The operating-system side of one host window: what the platform-neutral
// host needs the system to do. The SDL layer implements it; tests fake it.
#include <cstdint>

#include "PointT.h"
#include "RectT.h"
#include "StringT.h"

namespace QV {

class IOSWindowBackend {
public:
    virtual ~IOSWindowBackend() = default;
    virtual void* GetHandle() const = 0;
    virtual void SetTitle(const String& text) = 0;
    // Adds to the area the next paint message reports; null: everything.
    virtual void InvalidateRect(const LongRect* rect) = 0;
    virtual LongRect GetClientRect() const = 0;
    // Window frame and client origin in screen coordinates.
    virtual LongRect GetWindowRect() const = 0;
    virtual LongPoint GetClientOrigin() const = 0;
    virtual void SetClientRect(const LongRect& screenRect) = 0;
    // Answers whether the window was visible before.
    virtual bool Show(int32_t command) = 0;
    virtual bool IsVisible() const = 0;
    virtual bool Raise() = 0;
    virtual void SetTopMost(bool topMost) = 0;
    virtual bool IsActive() const = 0;
    virtual bool HasFocus() const = 0;
    virtual bool TakeFocus() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void SetCursor(uint32_t cursor) = 0;
    virtual LongPoint GetScreenCursor() const = 0;
    // 1 left, 2 middle, 4 right, read from the system now.
    virtual uint32_t GetSystemButtons() const = 0;
    // The window's own capture; never a pointer grab while only hovering.
    virtual void SetCapture(bool held) = 0;
    // The pointer grab of a drag: the window hears the pointer outside it.
    virtual void CapturePointer(bool capture) = 0;
    // The smallest client size the user can drag the window to.
    virtual void SetMinimumSize(int32_t width, int32_t height) = 0;
    virtual void StartTimer(uint32_t periodMs) = 0;
    // Show state (1 normal, 2 minimised, 3 maximised) and the normal frame.
    virtual int32_t GetShowState() const = 0;
    virtual void Destroy() = 0;

    // The message pump: true when a message is waiting.
    virtual bool HasPendingMessage() = 0;
    // Waits for one message (the timer ends a wait) and dispatches it;
    // false when the program is asked to quit.
    virtual bool PumpMessage() = 0;
    virtual void PostQuit() = 0;
};

}  // namespace QV
