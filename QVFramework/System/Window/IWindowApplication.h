#pragma once
// What the root and host windows need of the application: its list of root
// windows, key state, idle processing and the few requests a window hands
// up. One process-wide instance, replaceable for a test's lifetime.
#include <cstdint>
#include <vector>

#include "RCPtr.h"
#include "RectT.h"
#include "ScopedService.h"
#include "StringT.h"

namespace QV {

class LRootWindow;

class IWindowApplication {
public:
    virtual ~IWindowApplication() = default;
    virtual void AddRootWindow(const RCPtr<LRootWindow>& root) = 0;
    virtual void RemoveRootWindow(LRootWindow* root) = 0;
    // A copy, so a window may come or go while the caller walks it.
    virtual std::vector<RCPtr<LRootWindow>> GetRootWindows() = 0;
    // 1 Ctrl, 8 Shift, 0x40 Alt.
    virtual uint32_t GetModifierState() = 0;
    // 1 left, 2 middle, 4 right.
    virtual uint32_t GetMouseButtonState() = 0;
    virtual DoubleRect GetWorkArea() = 0;
    // Posts "NID_APP_EXIT_REQ".
    virtual void RequestExit() = 0;
    virtual void HandleCommandText(const String& text) = 0;
    // True when more idle passes are wanted.
    virtual bool ProcessPendingNotifications(bool firstPass) = 0;
    virtual void DropClipboardValue() = 0;
    virtual String GetMainWindowClassName() = 0;
    // A binary profile value ("WP" placement) under a section.
    virtual void WriteProfileBinary(const String& section, const String& name, const std::vector<uint8_t>& bytes) = 0;
};

// Null until an application is installed.
IWindowApplication* GetWindowApplication();

class ScopedWindowApplication : public ScopedService<IWindowApplication> {
public:
    explicit ScopedWindowApplication(IWindowApplication& application);
};

}  // namespace QV
