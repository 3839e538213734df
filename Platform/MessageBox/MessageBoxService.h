#pragma once
// The system's message box, with the Windows flags and answers the callers
// use: a button set in the low nibble, an icon in the next one.
#include <cstdint>
#include <functional>

#include "StringT.h"

namespace Platform {

namespace MessageBoxFlag {
inline constexpr uint32_t kOk = 0x0;
inline constexpr uint32_t kOkCancel = 0x1;
inline constexpr uint32_t kYesNoCancel = 0x3;
inline constexpr uint32_t kYesNo = 0x4;
inline constexpr uint32_t kIconError = 0x10;
inline constexpr uint32_t kIconQuestion = 0x20;
inline constexpr uint32_t kIconWarning = 0x30;
inline constexpr uint32_t kIconInformation = 0x40;
}  // namespace MessageBoxFlag

namespace MessageBoxAnswer {
inline constexpr int32_t kOk = 1;
inline constexpr int32_t kCancel = 2;
inline constexpr int32_t kYes = 6;
inline constexpr int32_t kNo = 7;
}  // namespace MessageBoxAnswer

// The window a box is modal for, and what the program does while it is open.
struct MessageBoxOwner {
    uint64_t window = 0;  // X11 window id; 0 for none
    // Called every few milliseconds while the box is open, so the owner's
    // windows keep painting.
    std::function<void()> whileOpen;
};

class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // Blocks until the user answers; the answer is one of MessageBoxAnswer.
    // UI thread only.
    virtual int32_t Show(const QV::String& text, const QV::String& caption, uint32_t flags,
                         const MessageBoxOwner& owner) = 0;
};

// The process-wide service: the desktop's dialog program, else SDL's message
// box, else standard error, unless a ScopedMessageBoxService is in force.
IMessageBoxService& GetMessageBoxService();

inline int32_t ShowMessageBox(const QV::String& text, const QV::String& caption, uint32_t flags,
                              const MessageBoxOwner& owner = {})
{
    return GetMessageBoxService().Show(text, caption, flags, owner);
}

// Test seam: while it lives, GetMessageBoxService answers service.
class ScopedMessageBoxService {
public:
    explicit ScopedMessageBoxService(IMessageBoxService& service);
    ~ScopedMessageBoxService();
    ScopedMessageBoxService(const ScopedMessageBoxService&) = delete;
    ScopedMessageBoxService& operator=(const ScopedMessageBoxService&) = delete;

private:
    IMessageBoxService* mPrevious;
};

}  // namespace Platform
