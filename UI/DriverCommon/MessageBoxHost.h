#pragma once
// The application's message box as the main control, the device view and
// the preset manager reach it. The application installs itself as the host
// for its lifetime; tests install a fake. UI thread only.
#include <cstdint>

#include "ScopedService.h"
#include "StringT.h"

namespace QV {

class IMessageBoxHost {
public:
    // flags: the Windows message-box flags (0x10 the error icon); the
    // pressed button's id (IDOK 1, ...).
    virtual int32_t ShowMessageBox(const String& text, const String& caption, uint32_t flags) = 0;

protected:
    ~IMessageBoxHost() = default;
};

// Null until a host is installed.
IMessageBoxHost* GetMessageBoxHost();

class ScopedMessageBoxHost : public ScopedService<IMessageBoxHost> {
public:
    explicit ScopedMessageBoxHost(IMessageBoxHost& host);
};

// The host's answer; 0 (no button) when no host is installed.
int32_t ShowMessageBox(const String& text, const String& caption, uint32_t flags);

}  // namespace QV
