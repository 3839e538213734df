#pragma once
// The small message record the host window handles: what an operating
// system reports about one window, already in the window's terms.
#include <cstdint>
#include <string>

#include "PointT.h"
#include "RectT.h"

namespace QV {

struct WindowMessage {
    enum class Kind {
        kPaint,
        kKeyDown,
        kKeyUp,
        kSysKeyDown,
        kSysKeyUp,
        kChar,
        kButtonDown,
        kButtonUp,
        kButtonDoubleClick,
        kNonClientButtonDown,
        kMouseMove,
        kWheel,
        kHorizontalWheel,
        kCaptureChanged,
        kSize,
        kMove,
        kSetFocus,
        kKillFocus,
        kClose,
        kSystemClose,
        kCopyData,
        kKickIdle,
        kClipboardDestroyed,
    };

    // Modifier word bits of a key message.
    static constexpr uint32_t kShift = 0x8;
    static constexpr uint32_t kLeftShift = 0x10;
    static constexpr uint32_t kRightShift = 0x20;
    static constexpr uint32_t kCtrl = 0x1;
    static constexpr uint32_t kLeftCtrl = 0x2;
    static constexpr uint32_t kRightCtrl = 0x4;
    static constexpr uint32_t kWin = 0x200;
    static constexpr uint32_t kLeftWin = 0x400;
    static constexpr uint32_t kRightWin = 0x800;
    static constexpr uint32_t kAlt = 0x40;
    static constexpr uint32_t kLeftAlt = 0x80;
    static constexpr uint32_t kRightAlt = 0x100;

    // Pointer buttons.
    static constexpr int32_t kLeftButton = 1;
    static constexpr int32_t kMiddleButton = 2;
    static constexpr int32_t kRightButton = 4;

    static constexpr uint32_t kCopyDataCommandText = 0x465;

    Kind kind = Kind::kPaint;
    // Keys: the Windows virtual key (0 for a modifier alone), auto-repeat,
    // and the modifier word at the time of the message.
    uint32_t virtualKey = 0;
    bool repeat = false;
    uint32_t modifiers = 0;
    char16_t character = 0;
    // Pointer: a button above, client point, wheel delta.
    int32_t button = 0;
    LongPoint point;
    int32_t delta = 0;
    // The pointer is over another window, or on this window's frame.
    bool elsewhere = false;
    bool onFrame = false;
    // Size and move.
    int32_t width = 0;
    int32_t height = 0;
    bool minimized = false;
    // Capture changed: another window took it.
    bool toOtherWindow = true;
    // Copy-data.
    uint32_t dataId = 0;
    std::string data;
    // Kick-idle.
    int32_t idleCount = 0;
    // Paint: the area the system asks to be redrawn.
    LongRect updateRect;
};

}  // namespace QV
