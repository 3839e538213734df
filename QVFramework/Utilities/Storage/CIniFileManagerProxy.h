#pragma once
// Owns the loaded INI library and its fifteen entries; turns the framework's
// UTF-16 strings into the library's UTF-8 and back.
#include <memory>

#include "IIniFileManager.h"

namespace Platform {
class DynamicLibrary;
}

class CIniFileManagerProxy {
public:
    CIniFileManagerProxy();
    virtual ~CIniFileManagerProxy();
    CIniFileManagerProxy(const CIniFileManagerProxy&) = delete;
    CIniFileManagerProxy& operator=(const CIniFileManagerProxy&) = delete;

    [[nodiscard]] virtual QV::QVResult Initialize(const QV::String& folder);
    [[nodiscard]] virtual QV::QVResult Terminate();
    [[nodiscard]] virtual QV::QVResult OpenIniFile(const QV::String& path, const QV::String& versionTag,
                                                   const QV::String& appName, QV::IniFileHandle& handle);
    [[nodiscard]] virtual QV::QVResult WriteIniFile(QV::IniFileHandle handle);
    virtual bool DoesNodeExist(QV::IniFileHandle handle, const QV::String& node);
    [[nodiscard]] virtual QV::QVResult CloseIniFile(QV::IniFileHandle handle, int32_t saveFirst);
    [[nodiscard]] virtual QV::QVResult GetIniValueInt(QV::IniFileHandle handle, const QV::String& key,
                                                      int32_t defaultValue, int32_t& value);
    [[nodiscard]] virtual QV::QVResult SetIniValueInt(QV::IniFileHandle handle, const QV::String& key, int32_t value);
    [[nodiscard]] virtual QV::QVResult GetIniValueStr(QV::IniFileHandle handle, const QV::String& key,
                                                      const QV::String& defaultText, QV::String& text);
    [[nodiscard]] virtual QV::QVResult SetIniValueStr(QV::IniFileHandle handle, const QV::String& key,
                                                      const QV::String& text);
    [[nodiscard]] virtual QV::QVResult GetKeyCount(QV::IniFileHandle handle, const QV::String& node, int32_t& count);
    [[nodiscard]] virtual QV::QVResult GetKeyNameAt(QV::IniFileHandle handle, const QV::String& node, int32_t index,
                                                    QV::String& name);
    [[nodiscard]] virtual QV::QVResult GetArrayCount(QV::IniFileHandle handle, const QV::String& array, int32_t& count);
    [[nodiscard]] virtual QV::QVResult SetArrayCount(QV::IniFileHandle handle, const QV::String& array, int32_t count);
    [[nodiscard]] virtual QV::QVResult GetArrayItemAt(QV::IniFileHandle handle, const QV::String& array, int32_t index,
                                                      QV::String& text);
    [[nodiscard]] virtual QV::QVResult SetArrayItemAt(QV::IniFileHandle handle, const QV::String& array, int32_t index,
                                                      const QV::String& text);
    [[nodiscard]] virtual QV::QVResult RemoveArrayItemAt(QV::IniFileHandle handle, const QV::String& array,
                                                         int32_t index);

    bool IsLoaded() const;

private:
    struct Entries;

    // True when every entry is bound; no entry is called otherwise.
    bool IsUsable() const;

    std::unique_ptr<Entries> mEntries;
    std::unique_ptr<Platform::DynamicLibrary> mLibrary;
};
