#include "VersionInfo.h"

#include <algorithm>

namespace Platform {

namespace {

constexpr std::string_view kTranslationPath = "\\VarFileInfo\\Translation";

std::optional<uint32_t> ParseHex8(std::string_view item)
{
    if (item.size() != 8) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : item) {
        uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        value = value << 4 | digit;
    }
    return value;
}

}  // namespace

uint32_t GetVersionInfoSize(const ResourceModule& module)
{
    const auto record = module.FindResource(kVersionResourceType, kVersionResourceName);
    return record ? static_cast<uint32_t>(record->size()) : 0;
}

bool GetVersionInfo(const ResourceModule& module, std::span<unsigned char> block)
{
    const auto record = module.FindResource(kVersionResourceType, kVersionResourceName);
    if (!record || record->size() != block.size()) {
        return false;
    }
    std::copy(record->begin(), record->end(), block.begin());
    return true;
}

std::optional<std::string_view> QueryVersionValue(std::span<const unsigned char> block, std::string_view path)
{
    std::string_view rest(reinterpret_cast<const char*>(block.data()), block.size());
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos && line.substr(0, equals) == path) {
            return line.substr(equals + 1);
        }
    }
    return std::nullopt;
}

std::optional<std::vector<LanguageCodePage>> QueryVersionTranslations(std::span<const unsigned char> block)
{
    const auto value = QueryVersionValue(block, kTranslationPath);
    if (!value) {
        return std::nullopt;
    }
    std::vector<LanguageCodePage> list;
    std::string_view rest = *value;
    while (true) {
        const size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(start);
        const size_t end = rest.find(' ');
        const auto pair = ParseHex8(rest.substr(0, end));
        if (!pair) {
            return std::nullopt;
        }
        list.push_back({static_cast<uint16_t>(*pair >> 16), static_cast<uint16_t>(*pair & 0xFFFF)});
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    }
    return list;
}

}  // namespace Platform
