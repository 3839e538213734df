#pragma once
// The debug log sends UTF-8 whatever the stream's character type.
#include <string>
#include <string_view>

#include "UtfConversion.h"

namespace QV {

inline std::string ToUtf8(std::string_view text)
{
    return std::string(text);
}
inline std::string ToUtf8(std::u16string_view text)
{
    return Utf16ToUtf8(text);
}

}  // namespace QV
