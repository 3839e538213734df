// The two string conversions between UTF-8 and UTF-16.
#include <cstring>

#include "StringT.h"
#include "TextLength.h"
#include "UtfConversion.h"

namespace QV {

QVResult ConvertUTF8ToString(String& out, const char* text, int32_t length)
{
    if (!text || text[0] == '\0' || length == 0) {
        out.Clear();
        return S_OK;
    }
    const uint64_t bytes = length < 0 ? std::strlen(text) + 1 : static_cast<uint64_t>(length);
    // The text's own units and one more for the closing NUL: no block larger than the text needs.
    const uint64_t units = Utf16LengthOfUtf8({text, static_cast<size_t>(bytes)}) + 1;
    if (units * sizeof(char16_t) > UINT32_MAX) {
        out.Clear();
        return E_FAIL;
    }
    // Only the converted units are ever read, so the block needs no zeroing.
    ConstRCPtr<LIBuffer> buffer;
    CreateBuffer(buffer, static_cast<uint32_t>(units * sizeof(char16_t)), 0, false);
    char16_t* const first = reinterpret_cast<char16_t*>(buffer->GetData());
    const char* source = text;
    char16_t* target = first;
    const UtfResult result = ConvertUtf8ToUtf16(source, text + bytes, target, first + units - 1);
    *target = u'\0';

    // The text ends at the first NUL converted; most often there is none, or
    // only the closing one the length took in.
    const uint32_t produced = static_cast<uint32_t>(target - first);
    const size_t consumed = static_cast<size_t>(source - text);
    const void* zero = std::memchr(text, 0, consumed);
    uint32_t kept = produced;
    if (zero == text + consumed - 1) kept = produced - 1;
    else if (zero) kept = static_cast<uint32_t>(BoundedLength(first, produced));
    out.Adopt(std::move(buffer), kept);
    return result == UtfResult::kOk ? S_OK : E_FAIL;
}

QVResult ConvertStringToUTF8(NarrowString& out, const char16_t* text, int32_t length)
{
    if (!text || text[0] == u'\0' || length == 0) {
        out.Clear();
        return S_OK;
    }
    const uint64_t units =
        length < 0 ? BoundedLength(text, UINT32_MAX) + 1 : static_cast<uint64_t>(length);
    const uint64_t bytes = Utf8LengthOfUtf16({text, static_cast<size_t>(units)}) + 1;
    if (bytes > UINT32_MAX) {
        out.Clear();
        return E_FAIL;
    }
    ConstRCPtr<LIBuffer> buffer;
    CreateBuffer(buffer, static_cast<uint32_t>(bytes), 0, false);
    char* const first = buffer->GetData();
    const char16_t* source = text;
    char* target = first;
    const UtfResult result =
        ConvertUtf16ToUtf8(source, text + units, target, first + bytes - 1, UtfMode::kLenient);
    *target = '\0';
    const uint32_t kept = static_cast<uint32_t>(std::strlen(first));
    out.Adopt(std::move(buffer), kept);
    return result == UtfResult::kOk ? S_OK : E_FAIL;
}

}  // namespace QV
