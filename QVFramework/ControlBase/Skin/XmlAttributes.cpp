#include "XmlAttributes.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <string>

namespace QV {
namespace {

// Each unit cut to its low 8 bits, as a narrowing conversion does; a NUL
// unit cannot occur in an XML value.
std::string Narrowed(const String& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.GetLength()));
    for (const char16_t* p = text.GetChars(); *p; ++p) out.push_back(static_cast<char>(*p & 0xFF));
    return out;
}

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

}  // namespace

int32_t ParseDecimalIntValue(const String& text)
{
    const std::string narrow = Narrowed(text);
    errno = 0;
    const long long value = std::strtoll(narrow.c_str(), nullptr, 10);
    // Out-of-range text saturates instead of wrapping.
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int32_t ParseIntValue(const String& text)
{
    const char16_t* p = text.GetChars();
    if (p[0] != u'0' || p[1] != u'x') return ParseDecimalIntValue(text);
    int32_t value = 0;
    for (int i = 0; i < 4 && HexDigit(p[2 + i]) >= 0; ++i) value = value * 16 + HexDigit(p[2 + i]);
    return value;
}

double ParseDoubleValue(const String& text)
{
    return std::strtod(Narrowed(text).c_str(), nullptr);
}

void XmlAttributes::Set(const String& name, const String& value)
{
    Set(std::string_view(name.ToUtf8()), value);
}

void XmlAttributes::Set(std::string_view name, const String& value)
{
    for (auto& [key, old] : mValues) {
        if (key == name) {
            old = value;
            return;
        }
    }
    mValues.emplace_back(std::string(name), value);
}

const String* XmlAttributes::Find(const char16_t* name) const
{
    // The names asked for are ASCII; any other is compared in UTF-8.
    const std::u16string_view wanted(name);
    std::string other;
    if (std::any_of(wanted.begin(), wanted.end(), [](char16_t c) { return c >= 0x80; })) other = String(name).ToUtf8();
    for (const auto& [key, value] : mValues) {
        const bool same = other.empty() ? std::equal(key.begin(), key.end(), wanted.begin(), wanted.end(),
                                                     [](char a, char16_t b) { return char16_t(a) == b; })
                                        : key == other;
        if (same) return &value;
    }
    return nullptr;
}

std::optional<String> XmlAttributes::Get(const char16_t* name) const
{
    const String* value = Find(name);
    if (!value) return std::nullopt;
    return *value;
}

std::optional<bool> XmlAttributes::GetBool(const char16_t* name) const
{
    auto value = Get(name);
    if (!value) return std::nullopt;
    return *value == u"True";
}

std::optional<float> XmlAttributes::GetFloat(const char16_t* name) const
{
    auto value = Get(name);
    if (!value) return std::nullopt;
    return static_cast<float>(ParseDoubleValue(*value));
}

std::optional<double> XmlAttributes::GetDouble(const char16_t* name) const
{
    auto value = Get(name);
    if (!value) return std::nullopt;
    return ParseDoubleValue(*value);
}

std::optional<int32_t> XmlAttributes::GetInt(const char16_t* name) const
{
    auto value = Get(name);
    if (!value) return std::nullopt;
    return ParseIntValue(*value);
}

std::optional<int32_t> XmlAttributes::GetDecimalInt(const char16_t* name) const
{
    auto value = Get(name);
    if (!value) return std::nullopt;
    return ParseDecimalIntValue(*value);
}

}  // namespace QV
