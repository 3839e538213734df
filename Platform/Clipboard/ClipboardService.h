#pragma once
// The system clipboard as the editor needs it: text, a sequence number that
// changes with every change of the content (also by other programs), and a
// mark that this program holds a value other programs cannot read.
#include <cstdint>
#include <optional>
#include <string>

namespace Platform {

class IClipboardService {
public:
    virtual ~IClipboardService() = default;

    // Different after every change of the clipboard since the last call.
    virtual uint32_t GetSequenceNumber() = 0;
    virtual bool HasText() = 0;
    // UTF-8; none when the clipboard cannot be read.
    virtual std::optional<std::string> GetText() = 0;
    // False when the clipboard cannot be written.
    virtual bool SetText(const std::string& utf8) = 0;
    // Empties the clipboard for other programs and marks it as holding this
    // program's private value; false when the clipboard cannot be written.
    virtual bool SetPrivateMark() = 0;
    // True while nothing has changed the clipboard since SetPrivateMark.
    virtual bool HasPrivateMark() = 0;
};

// The process-wide service: SDL's text clipboard, unless a
// ScopedClipboardService is in force.
IClipboardService& GetClipboardService();

// Test seam: while it lives, GetClipboardService answers service.
class ScopedClipboardService {
public:
    explicit ScopedClipboardService(IClipboardService& service);
    ~ScopedClipboardService();
    ScopedClipboardService(const ScopedClipboardService&) = delete;
    ScopedClipboardService& operator=(const ScopedClipboardService&) = delete;

private:
    IClipboardService* mPrevious;
};

}  // namespace Platform
