#include "UserSettings.h"

#include "LFrameworkApp.h"

using namespace QV;

namespace {

struct UserFile {
    IIniFileManager* manager = nullptr;
    IniFileHandle handle = 0;
    explicit operator bool() const { return manager && handle; }
};

UserFile OpenUserFile()
{
    LFrameworkApp* application = LFrameworkApp::GetInstance();
    if (!application) return {};
    return {application->GetIniFileManager(), application->GetSettingsFile(LFrameworkApp::kUserSettingsFile)};
}

}  // namespace

String ReadUserSettingText(const String& key)
{
    String text;
    if (UserFile file = OpenUserFile()) (void)file.manager->GetIniValueStr(file.handle, key, String(), text);
    return text;
}

void WriteUserSettingText(const String& key, const String& text)
{
    UserFile file = OpenUserFile();
    if (!file || file.manager->SetIniValueStr(file.handle, key, text) < 0) return;
    (void)file.manager->WriteIniFile(file.handle);
}
