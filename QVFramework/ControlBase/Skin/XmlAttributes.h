#pragma once
// The attributes of one XML element, looked up by exact name, and the value
// conversions the skin and string-table documents use.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "StringT.h"

namespace QV {

class XmlAttributes {
public:
    void Set(const String& name, const String& value);
    // The name as the parser hands it over, in UTF-8.
    void Set(std::string_view name, const String& value);
    bool Has(const char16_t* name) const { return Find(name) != nullptr; }

    std::optional<String> Get(const char16_t* name) const;
    // True exactly for "True".
    std::optional<bool> GetBool(const char16_t* name) const;
    // The leading decimal number, 0 when there is none.
    std::optional<float> GetFloat(const char16_t* name) const;
    std::optional<double> GetDouble(const char16_t* name) const;
    // "0x" and at most four hex digits, or a leading decimal integer.
    std::optional<int32_t> GetInt(const char16_t* name) const;
    // A leading decimal integer only ("0x10" is 0, "0.5" is 0).
    std::optional<int32_t> GetDecimalInt(const char16_t* name) const;

private:
    const String* Find(const char16_t* name) const;

    // An element has a handful of attributes: a walk beats a tree. Names
    // stay in UTF-8, so neither reading nor a lookup converts them.
    std::vector<std::pair<std::string, String>> mValues;
};

// The value conversions on their own.
int32_t ParseIntValue(const String& text);
int32_t ParseDecimalIntValue(const String& text);
double ParseDoubleValue(const String& text);

}  // namespace QV
