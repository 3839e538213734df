#include "PlatformEntryServices.h"

#include <cstdio>

#include "DebugLog.h"
#include "FontFolders.h"
#include "LanguageId.h"
#include "MessageBoxService.h"

PlatformEntryServices::PlatformEntryServices() = default;

PlatformEntryServices::~PlatformEntryServices()
{
    if (mFontSetup.joinable()) mFontSetup.join();
}

bool PlatformEntryServices::StartPlatform()
{
    // Fonts are first needed once the skin is read; until then their set-up
    // overlaps the display's.
    if (!mFontSetup.joinable()) mFontSetup = std::thread(&Platform::LoadFontSetup);
    mVideo = std::make_unique<Platform::Window::SdlVideo>();
    if (mVideo->HasDisplay()) return true;
    std::fputs("tarsel-editor: no display to open the editor's window on (is DISPLAY set?)\n", stderr);
    mVideo.reset();
    mFontSetup.join();
    return false;
}

void PlatformEntryServices::EndPlatform()
{
    if (mFontSetup.joinable()) mFontSetup.join();
    mInstance.reset();
    mVideo.reset();
}

int32_t PlatformEntryServices::GetUserLanguageId()
{
    return Platform::GetUserDefaultLanguageId();
}

void PlatformEntryServices::ShowStartupError(const QV::String& text, const QV::String& caption)
{
    (void)Platform::ShowMessageBox(text, caption, Platform::MessageBoxFlag::kIconError);
}

bool PlatformEntryServices::AcquireSingleInstance(const QV::String& name)
{
    mInstance = std::make_unique<Platform::SingleInstance::InstanceGuard>(name.ToUtf8(), &Platform::Window::WakeLoop);
    return mInstance->Acquire() == Platform::SingleInstance::InstanceGuard::Role::kFirst;
}

bool PlatformEntryServices::HandOverToRunningInstance(const std::string& commandLine)
{
    return mInstance && mInstance->SendToRunning(commandLine);
}

void PlatformEntryServices::OpenDebugConsole()
{
    QV::OpenDebugConsole();
}

void PlatformEntryServices::SetDebugTarget(const std::optional<std::string>& host, int32_t port)
{
    QV::DebugLog::SetEndpoint(host ? host->c_str() : nullptr, port);
}

int32_t PlatformEntryServices::RunPlainMessageLoop()
{
    // Start-up never asks for it: the editor always has a main window.
    return 1;
}

std::vector<std::string> PlatformEntryServices::TakeHandedOverCommandLines()
{
    return mInstance ? mInstance->TakeReceived() : std::vector<std::string>{};
}
