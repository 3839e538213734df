#include "LIniFileManager.h"

#include "CIniFileManagerProxy.h"

namespace QV {

LIniFileManager::LIniFileManager() : mProxy(std::make_unique<CIniFileManagerProxy>()) {}

LIniFileManager::~LIniFileManager() = default;

QVResult LIniFileManager::Initialize(const String& folder) { return mProxy->Initialize(folder); }

QVResult LIniFileManager::Terminate() { return mProxy->Terminate(); }

QVResult LIniFileManager::OpenIniFile(const String& path, const String& versionTag, const String& appName,
                                      IniFileHandle& handle)
{
    return mProxy->OpenIniFile(path, versionTag, appName, handle);
}

QVResult LIniFileManager::WriteIniFile(IniFileHandle handle) { return mProxy->WriteIniFile(handle); }

bool LIniFileManager::DoesNodeExist(IniFileHandle handle, const String& node)
{
    return mProxy->DoesNodeExist(handle, node);
}

QVResult LIniFileManager::CloseIniFile(IniFileHandle handle, int32_t saveFirst)
{
    return mProxy->CloseIniFile(handle, saveFirst);
}

QVResult LIniFileManager::GetIniValueInt(IniFileHandle handle, const String& key, int32_t defaultValue,
                                         int32_t& value)
{
    return mProxy->GetIniValueInt(handle, key, defaultValue, value);
}

QVResult LIniFileManager::SetIniValueInt(IniFileHandle handle, const String& key, int32_t value)
{
    return mProxy->SetIniValueInt(handle, key, value);
}

QVResult LIniFileManager::GetIniValueStr(IniFileHandle handle, const String& key, const String& defaultText,
                                         String& text)
{
    return mProxy->GetIniValueStr(handle, key, defaultText, text);
}

QVResult LIniFileManager::SetIniValueStr(IniFileHandle handle, const String& key, const String& text)
{
    return mProxy->SetIniValueStr(handle, key, text);
}

QVResult LIniFileManager::GetKeyCount(IniFileHandle handle, const String& node, int32_t& count)
{
    return mProxy->GetKeyCount(handle, node, count);
}

QVResult LIniFileManager::GetKeyNameAt(IniFileHandle handle, const String& node, int32_t index, String& name)
{
    return mProxy->GetKeyNameAt(handle, node, index, name);
}

QVResult LIniFileManager::GetArrayCount(IniFileHandle handle, const String& array, int32_t& count)
{
    return mProxy->GetArrayCount(handle, array, count);
}

QVResult LIniFileManager::SetArrayCount(IniFileHandle handle, const String& array, int32_t count)
{
    return mProxy->SetArrayCount(handle, array, count);
}

QVResult LIniFileManager::GetArrayItemAt(IniFileHandle handle, const String& array, int32_t index, String& text)
{
    return mProxy->GetArrayItemAt(handle, array, index, text);
}

QVResult LIniFileManager::SetArrayItemAt(IniFileHandle handle, const String& array, int32_t index,
                                         const String& text)
{
    return mProxy->SetArrayItemAt(handle, array, index, text);
}

QVResult LIniFileManager::RemoveArrayItemAt(IniFileHandle handle, const String& array, int32_t index)
{
    return mProxy->RemoveArrayItemAt(handle, array, index);
}

}  // namespace QV
