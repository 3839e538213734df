#pragma once
// What the root window and the controls need of the operating-system window
// behind them. Implemented by the host window; tests put a fake in its place.
#include <cstdint>

#include "PointT.h"
#include "RectT.h"
#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

class IWindowOSServices {
public:
    virtual QVResult SetWindowTitle(const String& text) = 0;
    virtual void Invalidate() = 0;
    virtual void InvalidateRect(const LongRect& rect) = 0;
    virtual void GetClientRect(LongRect& rect) const = 0;
    virtual void ScreenToClient(LongPoint& out, const LongPoint& point) const = 0;
    virtual void ClientToScreen(LongPoint& out, const LongPoint& point) const = 0;
    virtual void SetWindowRect(const LongRect& rect) = 0;
    // Answers whether the window was visible before.
    virtual bool Show(int32_t command) = 0;
    virtual QVResult UpdateNow() = 0;
    [[nodiscard]] virtual QVResult BringToTop() = 0;
    virtual void SetTopMost(bool topMost) = 0;
    virtual void EndModal(int32_t result) = 0;
    virtual int32_t RunModal() = 0;
    virtual bool IsModal() const = 0;
    virtual bool IsActive() const = 0;
    virtual bool HasFocus() const = 0;
    [[nodiscard]] virtual QVResult SetFocus() = 0;
    // Answers the previous cursor.
    virtual uint32_t SetCursor(uint32_t cursor) = 0;
    virtual LongPoint GetCursorPosition() = 0;
    virtual uint32_t GetMouseButtonState() = 0;
    virtual void* GetWindowHandle() const = 0;
    virtual void SetCaret(bool show, const LongPoint& position) = 0;

protected:
    ~IWindowOSServices() = default;
};

}  // namespace QV
