#include "DebugText.h"

#include "UtfConversion.h"

namespace QV {

std::string ToUtf8(std::u16string_view text)
{
    // A UTF-16 unit never needs more than three bytes.
    std::string out(text.size() * 3, '\0');
    const char16_t* source = text.data();
    char* target = out.data();
    ConvertUtf16ToUtf8(source, text.data() + text.size(), target, out.data() + out.size(), UtfMode::kLenient);
    out.resize(static_cast<size_t>(target - out.data()));
    return out;
}

}  // namespace QV
