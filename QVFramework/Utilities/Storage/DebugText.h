#pragma once
// The debug log sends UTF-8 whatever the stream's character type.
#include <string>
#include <string_view>

namespace QV {

inline std::string ToUtf8(std::string_view text) { return std::string(text); }

// Unpaired surrogates become their own three-byte form.
std::string ToUtf8(std::u16string_view text);

}  // namespace QV
