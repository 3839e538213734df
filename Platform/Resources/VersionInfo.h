#pragma once
// The version record, in place of GetFileVersionInfoSize, GetFileVersionInfo
// and VerQueryValue. The record is a resource of type "VERSION" generated
// from the CMake project: UTF-8 lines "<path>=<value>", for example
//   \VarFileInfo\Translation=040904b0 040704b0
//   \StringFileInfo\040904b0\CompanyName=Corvane
// where each translation is the language id and the code page as four
// lower-case hexadecimal digits each.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "ResourceModule.h"

namespace Platform {

inline constexpr std::string_view kVersionResourceType = "VERSION";
inline constexpr std::string_view kVersionResourceName = "VS_VERSION_INFO";

struct LanguageCodePage {
    uint16_t language;
    uint16_t codePage;
    bool operator==(const LanguageCodePage&) const = default;
};

// The size of the module's version record; 0 when it has none.
uint32_t GetVersionInfoSize(const ResourceModule& module);
// Copies the record into block, which must be exactly its size.
bool GetVersionInfo(const ResourceModule& module, std::span<unsigned char> block);

// The value stored under path, as UTF-8 text; none when the path is absent.
std::optional<std::string_view> QueryVersionValue(std::span<const unsigned char> block,
                                                  std::string_view path);
// The list under "\VarFileInfo\Translation"; none when the path is absent or
// an item is not eight hexadecimal digits. The list may be empty.
std::optional<std::vector<LanguageCodePage>> QueryVersionTranslations(std::span<const unsigned char> block);

}  // namespace Platform
