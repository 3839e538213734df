#pragma once
// The framework's settings manager: a counted object that hands every
// operation to its proxy of the INI library.
#include <memory>

#include "IIniFileManager.h"
#include "RefCountedObject.h"

class CIniFileManagerProxy;

namespace QV {

class LIniFileManager : public LRefCountedObject, public IIniFileManager {
    QV_TYPE_NAME("class QV::LIniFileManager")

public:
    LIniFileManager();
    ~LIniFileManager() override;
    LIniFileManager(const LIniFileManager&) = delete;
    LIniFileManager& operator=(const LIniFileManager&) = delete;

    [[nodiscard]] QVResult Initialize(const String& folder) override;
    [[nodiscard]] QVResult Terminate() override;
    [[nodiscard]] QVResult OpenIniFile(const String& path, const String& versionTag, const String& appName,
                                       IniFileHandle& handle) override;
    [[nodiscard]] QVResult WriteIniFile(IniFileHandle handle) override;
    bool DoesNodeExist(IniFileHandle handle, const String& node) override;
    [[nodiscard]] QVResult CloseIniFile(IniFileHandle handle, int32_t saveFirst) override;
    [[nodiscard]] QVResult GetIniValueInt(IniFileHandle handle, const String& key, int32_t defaultValue,
                                          int32_t& value) override;
    [[nodiscard]] QVResult SetIniValueInt(IniFileHandle handle, const String& key, int32_t value) override;
    [[nodiscard]] QVResult GetIniValueStr(IniFileHandle handle, const String& key, const String& defaultText,
                                          String& text) override;
    [[nodiscard]] QVResult SetIniValueStr(IniFileHandle handle, const String& key, const String& text) override;
    [[nodiscard]] QVResult GetKeyCount(IniFileHandle handle, const String& node, int32_t& count) override;
    [[nodiscard]] QVResult GetKeyNameAt(IniFileHandle handle, const String& node, int32_t index, String& name) override;
    [[nodiscard]] QVResult GetArrayCount(IniFileHandle handle, const String& array, int32_t& count) override;
    [[nodiscard]] QVResult SetArrayCount(IniFileHandle handle, const String& array, int32_t count) override;
    [[nodiscard]] QVResult GetArrayItemAt(IniFileHandle handle, const String& array, int32_t index,
                                          String& text) override;
    [[nodiscard]] QVResult SetArrayItemAt(IniFileHandle handle, const String& array, int32_t index,
                                          const String& text) override;
    [[nodiscard]] QVResult RemoveArrayItemAt(IniFileHandle handle, const String& array, int32_t index) override;

private:
    std::unique_ptr<CIniFileManagerProxy> mProxy;
};

}  // namespace QV
