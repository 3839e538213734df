#pragma once
// The settings manager's interface: settings files read and written through
// the run-time loaded INI library. Handles are the library's own values,
// passed back unchanged.
#include <cstdint>

#include "Result.h"
#include "StringT.h"

namespace QV {

using IniFileHandle = uintptr_t;

class IIniFileManager {
public:
    virtual ~IIniFileManager() = default;

    // Loads "IniFileManager.dll" from folder (empty: beside the program).
    // 0, 1 when already loaded, E_FAIL when the library or an entry is missing.
    [[nodiscard]] virtual QVResult Initialize(const String& folder) = 0;
    // 0, 1 when not loaded, E_FAIL when unloading failed.
    [[nodiscard]] virtual QVResult Terminate() = 0;

    [[nodiscard]] virtual QVResult OpenIniFile(const String& path, const String& versionTag, const String& appName,
                                               IniFileHandle& handle) = 0;
    [[nodiscard]] virtual QVResult WriteIniFile(IniFileHandle handle) = 0;
    virtual bool DoesNodeExist(IniFileHandle handle, const String& node) = 0;
    [[nodiscard]] virtual QVResult CloseIniFile(IniFileHandle handle, int32_t saveFirst) = 0;
    [[nodiscard]] virtual QVResult GetIniValueInt(IniFileHandle handle, const String& key, int32_t defaultValue,
                                                  int32_t& value) = 0;
    [[nodiscard]] virtual QVResult SetIniValueInt(IniFileHandle handle, const String& key, int32_t value) = 0;
    [[nodiscard]] virtual QVResult GetIniValueStr(IniFileHandle handle, const String& key, const String& defaultText,
                                                  String& text) = 0;
    [[nodiscard]] virtual QVResult SetIniValueStr(IniFileHandle handle, const String& key, const String& text) = 0;
    [[nodiscard]] virtual QVResult GetKeyCount(IniFileHandle handle, const String& node, int32_t& count) = 0;
    [[nodiscard]] virtual QVResult GetKeyNameAt(IniFileHandle handle, const String& node, int32_t index,
                                                String& name) = 0;
    [[nodiscard]] virtual QVResult GetArrayCount(IniFileHandle handle, const String& array, int32_t& count) = 0;
    [[nodiscard]] virtual QVResult SetArrayCount(IniFileHandle handle, const String& array, int32_t count) = 0;
    [[nodiscard]] virtual QVResult GetArrayItemAt(IniFileHandle handle, const String& array, int32_t index,
                                                  String& text) = 0;
    [[nodiscard]] virtual QVResult SetArrayItemAt(IniFileHandle handle, const String& array, int32_t index,
                                                  const String& text) = 0;
    [[nodiscard]] virtual QVResult RemoveArrayItemAt(IniFileHandle handle, const String& array, int32_t index) = 0;
};

}  // namespace QV
