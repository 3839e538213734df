#pragma once
// What a control needs of the application: clocks, cursors, the work area,
// fonts, hot keys, the factory and the layout solver. One process-wide
// instance, replaceable for a test's lifetime.
#include <cstdint>

#include "ControlInput.h"
#include "IControlDescriptor.h"
#include "LFont.h"
#include "LNotificationDistributor.h"
#include "RectT.h"
#include "ScopedService.h"

namespace QV {

class IControlFactory;
class LClipboard;
class LControl;
class LGlobalHotKeyManager;

class IControlApplication {
public:
    virtual ~IControlApplication() = default;
    virtual uint32_t GetTimeMs() = 0;
    virtual double GetElapsedTime() = 0;
    virtual DoubleRect GetWorkArea() = 0;
    virtual uint32_t GetCursorHandle(const char16_t* name) = 0;
    // 1 when no binding took the key.
    [[nodiscard]] virtual QVResult HandleHotKey(const KeyCode& code) = 0;
    // The application's shortcut bindings and where they send; null when none.
    virtual LGlobalHotKeyManager* GetHotKeys() const { return nullptr; }
    virtual RCPtr<LFont> GetDefaultFont() = 0;
    virtual IControlFactory* GetControlFactory() = 0;
    virtual RCPtr<LNotificationDistributor> GetDefaultNotificationCenter() = 0;
    // Solves the control's layout against a reference rectangle; E_FAIL when it cannot.
    [[nodiscard]] virtual QVResult ResolveLayout(LControl& control, const DoubleRect& reference, DoubleRect& frame) = 0;
    // Shows control in a root window of its own and runs that window's modal
    // loop; its result, or E_FAIL when no window could be opened.
    [[nodiscard]] virtual QVResult ShowModal(const RCPtr<LControl>&, int32_t) { return E_FAIL; }
    // The clipboard bridge; null when the application has none.
    virtual LClipboard* GetClipboard() { return nullptr; }
    // The application's strings and the framework's own; null when not loaded.
    virtual RCPtr<IControlStringTable> GetApplicationStrings() { return nullptr; }
    virtual RCPtr<IControlStringTable> GetFrameworkStrings() { return nullptr; }
};

// Null until an application is installed.
IControlApplication* GetControlApplication();
// The application's elapsed time in seconds; `withoutApplication` when none
// is installed (the controls' timers then stand still at 0).
double Now(double withoutApplication = 0.0);

class ScopedControlApplication : public ScopedService<IControlApplication> {
public:
    explicit ScopedControlApplication(IControlApplication& application);
};

}  // namespace QV
