#pragma once
// The process entry's system services on Linux: SDL's video for the
// windows, the single-instance lock and socket, the message box, the
// user's language and the debug log's targets.
#include <memory>
#include <thread>

#include "EntryServices.h"
#include "InstanceGuard.h"
#include "SdlWindowBackend.h"

class PlatformEntryServices : public QV::IEntryServices {
public:
    PlatformEntryServices();
    ~PlatformEntryServices() override;

    bool StartPlatform() override;
    void EndPlatform() override;
    int32_t GetUserLanguageId() override;
    void ShowStartupError(const QV::String& text, const QV::String& caption) override;
    bool AcquireSingleInstance(const QV::String& name) override;
    bool HandOverToRunningInstance(const std::string& commandLine) override;
    void OpenDebugConsole() override;
    void SetDebugTarget(const std::optional<std::string>& host, int32_t port) override;
    int32_t RunPlainMessageLoop() override;

    // The command lines later starts handed over since the last call.
    std::vector<std::string> TakeHandedOverCommandLines();

private:
    std::unique_ptr<Platform::Window::SdlVideo> mVideo;
    std::unique_ptr<Platform::SingleInstance::InstanceGuard> mInstance;
    // Loads the font set-up while the display and the skin are being set up.
    std::thread mFontSetup;
};
