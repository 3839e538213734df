#pragma once
// What the process entry needs of the operating system. The program wires it
// to the platform layers; tests put a fake in its place.
#include <cstdint>
#include <optional>
#include <string>

#include "StringT.h"

namespace QV {

class IEntryServices {
public:
    virtual ~IEntryServices() = default;

    // Starts and ends the platform's application layer; false when it cannot start.
    virtual bool StartPlatform() = 0;
    virtual void EndPlatform() = 0;
    // The user's language id (low 16 bits used).
    virtual int32_t GetUserLanguageId() = 0;
    // The error box of a failed start: no owner, the error icon.
    virtual void ShowStartupError(const String& text, const String& caption) = 0;
    // Takes the single-instance lock of that name; true when no other
    // instance holds it (false: this start never runs in full).
    virtual bool AcquireSingleInstance(const String& name) = 0;
    // Raises and restores the running instance's window and hands it the
    // UTF-8 command line when that is not empty; false when no running
    // instance answers.
    virtual bool HandOverToRunningInstance(const std::string& commandLine) = 0;
    virtual void OpenDebugConsole() = 0;
    // Without a host the log keeps the host it has.
    virtual void SetDebugTarget(const std::optional<std::string>& host, int32_t port) = 0;
    // The plain message loop, run when start-up made no main window.
    virtual int32_t RunPlainMessageLoop() = 0;
};

}  // namespace QV
