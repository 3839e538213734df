// Every text crosses the UTF-8/UTF-16 boundary: checks the conversion
// against a small reference written straight from the Unicode rules, in
// both directions, and through the string class.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "StringT.h"
#include "UtfConversion.h"

namespace {

using QV::UtfResult;

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

struct Decoded {
    std::u16string units;
    size_t consumed = 0;
    UtfResult result = UtfResult::kOk;
};

void PutScalar(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

// Stops at the first sequence whose announced trailing bytes pass the end
// (cut), else at the first ill-formed one.
Decoded ReferenceDecode(std::string_view s)
{
    Decoded d;
    size_t i = 0;
    while (i < s.size()) {
        const uint8_t b = static_cast<uint8_t>(s[i]);
        if (b < 0x80) {
            d.units += b;
            ++i;
            continue;
        }
        const size_t trailing = b >= 0xFC ? 5 : b >= 0xF8 ? 4 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if (trailing >= s.size() - i) {
            d.result = UtfResult::kSourceExhausted;
            break;
        }
        if (trailing == 0 || trailing > 3) {
            d.result = UtfResult::kSourceIllegal;
            break;
        }
        char32_t c = b & (0x7F >> (trailing + 1));
        bool ok = true;
        for (size_t k = 1; k <= trailing; ++k) {
            const uint8_t t = static_cast<uint8_t>(s[i + k]);
            ok = ok && (t & 0xC0) == 0x80;
            c = (c << 6) | (t & 0x3F);
        }
        const char32_t shortest[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || c < shortest[trailing] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            d.result = UtfResult::kSourceIllegal;
            break;
        }
        PutScalar(d.units, c);
        i += trailing + 1;
    }
    d.consumed = i;
    return d;
}

// Pairs are joined; any other surrogate is written in its own three bytes.
std::string ReferenceEncode(std::u16string_view u)
{
    std::string out;
    for (size_t i = 0; i < u.size(); ++i) {
        char32_t c = u[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (u[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void CheckUtf8(std::string_view text)
{
    const Decoded expected = ReferenceDecode(text);
    std::u16string units(text.size(), u'\0');
    const char* source = text.data();
    char16_t* target = units.data();
    const UtfResult result =
        QV::ConvertUtf8ToUtf16(source, text.data() + text.size(), target, units.data() + units.size());
    units.resize(static_cast<size_t>(target - units.data()));
    Check(result == expected.result);
    Check(units == expected.units);
    Check(static_cast<size_t>(source - text.data()) == expected.consumed);
    Check(QV::Utf8ToUtf16(text) == expected.units);
    // The well-formed part encodes back to the bytes it came from.
    Check(QV::Utf16ToUtf8(units) == text.substr(0, expected.consumed));
}

void CheckUtf16(std::u16string_view units)
{
    const std::string utf8 = QV::Utf16ToUtf8(units);
    Check(utf8 == ReferenceEncode(units));
    // The string class agrees up to the first NUL.
    const std::u16string_view beforeNul = units.substr(0, units.find(u'\0'));
    const std::u16string owned(beforeNul);
    const QV::String text(owned.c_str());
    Check(text.ToUtf8() == ReferenceEncode(beforeNul));
    QV::NarrowString narrow;
    (void)QV::ConvertStringToUTF8(narrow, owned.c_str(), -1);  // the text itself is checked next
    Check(narrow.View() == ReferenceEncode(beforeNul));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    CheckUtf16(units);
    return 0;
}
