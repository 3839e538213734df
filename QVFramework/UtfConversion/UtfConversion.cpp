#include "UtfConversion.h"

#include <cstring>

namespace QV {

namespace {

constexpr char32_t kHighFirst = 0xD800;
constexpr char32_t kHighLast = 0xDBFF;
constexpr char32_t kLowFirst = 0xDC00;
constexpr char32_t kLowLast = 0xDFFF;

bool IsTrail(uint8_t b)
{
    return (b & 0xC0) == 0x80;
}

// Trailing bytes a byte announces by its high bits alone, as the reference
// routine's table counts them: 0 for ASCII and trailing bytes, up to 5 for
// the old six-byte forms. A sequence whose announced trailing bytes pass the
// end of the source is cut, whatever those bytes are.
int AnnouncedTrailingBytes(uint8_t lead)
{
    if (lead < 0xC0) return 0;
    if (lead < 0xE0) return 1;
    if (lead < 0xF0) return 2;
    if (lead < 0xF8) return 3;
    if (lead < 0xFC) return 4;
    return 5;
}

// Bytes of the sequence a lead byte opens; 0 for a byte that can never lead
// (a trailing byte, the overlong leads C0/C1, F5..FF beyond U+10FFFF).
int SequenceLength(uint8_t lead)
{
    if (lead < 0x80) return 1;
    if (lead < 0xC2) return 0;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    if (lead < 0xF5) return 4;
    return 0;
}

// The allowed range of the second byte narrows for a few leads so that no
// overlong form, surrogate or value above U+10FFFF gets through.
bool IsLegalSecond(uint8_t lead, uint8_t second)
{
    switch (lead) {
    case 0xE0: return second >= 0xA0 && second <= 0xBF;
    case 0xED: return second >= 0x80 && second <= 0x9F;
    case 0xF0: return second >= 0x90 && second <= 0xBF;
    case 0xF4: return second >= 0x80 && second <= 0x8F;
    default: return IsTrail(second);
    }
}

// Checks the trailing bytes of a whole sequence of `length` bytes.
bool IsLegalSequence(const uint8_t* p, int length)
{
    if (length >= 2 && !IsLegalSecond(p[0], p[1])) return false;
    for (int i = 2; i < length; ++i) {
        if (!IsTrail(p[i])) return false;
    }
    return true;
}

char32_t Decode(const uint8_t* p, int length)
{
    switch (length) {
    case 2: return (char32_t(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
    case 3: return (char32_t(p[0] & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    default:
        return (char32_t(p[0] & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) | (char32_t(p[2] & 0x3F) << 6) |
               (p[3] & 0x3F);
    }
}

constexpr uint64_t kHighBits = 0x8080808080808080ull;

}  // namespace

UtfResult ConvertUtf8ToUtf16(const char*& source, const char* sourceEnd, char16_t*& target, char16_t* targetEnd)
{
    const uint8_t* s = reinterpret_cast<const uint8_t*>(source);
    const uint8_t* const end = reinterpret_cast<const uint8_t*>(sourceEnd);
    char16_t* t = target;
    UtfResult result = UtfResult::kOk;

    while (s < end) {
        // Runs of ASCII go eight bytes at a time.
        while (end - s >= 8 && targetEnd - t >= 8) {
            uint64_t word;
            std::memcpy(&word, s, 8);
            if (word & kHighBits) break;
            for (int i = 0; i < 8; ++i) t[i] = s[i];
            s += 8;
            t += 8;
        }
        if (s >= end) break;
        const uint8_t lead = *s;
        if (lead < 0x80) {
            if (t >= targetEnd) {
                result = UtfResult::kTargetExhausted;
                break;
            }
            *t++ = lead;
            ++s;
            continue;
        }
        // Whole, well-formed sequences with room to spare take the short road;
        // anything else goes the careful way below, which finds the fault.
        if (end - s >= 4 && targetEnd - t >= 2) {
            if (lead >= 0xC2 && lead < 0xE0 && IsTrail(s[1])) {
                *t++ = static_cast<char16_t>(Decode(s, 2));
                s += 2;
                continue;
            }
            if (lead >= 0xE0 && lead < 0xF0 && IsLegalSecond(lead, s[1]) && IsTrail(s[2])) {
                *t++ = static_cast<char16_t>(Decode(s, 3));
                s += 3;
                continue;
            }
            if (lead >= 0xF0 && lead < 0xF5 && IsLegalSecond(lead, s[1]) && IsTrail(s[2]) && IsTrail(s[3])) {
                const char32_t v = Decode(s, 4) - 0x10000;
                t[0] = static_cast<char16_t>(kHighFirst + (v >> 10));
                t[1] = static_cast<char16_t>(kLowFirst + (v & 0x3FF));
                t += 2;
                s += 4;
                continue;
            }
        }
        // A cut sequence is told before an ill-formed one.
        if (AnnouncedTrailingBytes(lead) >= end - s) {
            result = UtfResult::kSourceExhausted;
            break;
        }
        const int length = SequenceLength(lead);
        if (length == 0 || !IsLegalSequence(s, length)) {
            result = UtfResult::kSourceIllegal;
            break;
        }

        const char32_t c = Decode(s, length);
        if (c >= 0x10000) {
            if (targetEnd - t < 2) {
                result = UtfResult::kTargetExhausted;
                break;
            }
            const char32_t v = c - 0x10000;
            t[0] = static_cast<char16_t>(kHighFirst + (v >> 10));
            t[1] = static_cast<char16_t>(kLowFirst + (v & 0x3FF));
            t += 2;
        } else {
            if (t >= targetEnd) {
                result = UtfResult::kTargetExhausted;
                break;
            }
            *t++ = static_cast<char16_t>(c);
        }
        s += length;
    }
    source = reinterpret_cast<const char*>(s);
    target = t;
    return result;
}

UtfResult ConvertUtf16ToUtf8(const char16_t*& source, const char16_t* sourceEnd, char*& target, char* targetEnd,
                             UtfMode mode)
{
    const char16_t* s = source;
    char* t = target;
    UtfResult result = UtfResult::kOk;

    while (s < sourceEnd) {
        // Runs of ASCII go four units at a time.
        while (sourceEnd - s >= 4 && targetEnd - t >= 4) {
            uint64_t word;
            std::memcpy(&word, s, 8);
            if (word & 0xFF80FF80FF80FF80ull) break;
            t[0] = static_cast<char>(s[0]);
            t[1] = static_cast<char>(s[1]);
            t[2] = static_cast<char>(s[2]);
            t[3] = static_cast<char>(s[3]);
            s += 4;
            t += 4;
        }
        if (s >= sourceEnd) break;

        char32_t c = *s;
        int consumed = 1;
        if (c >= kHighFirst && c <= kHighLast) {
            if (s + 1 >= sourceEnd) {
                result = UtfResult::kSourceExhausted;
                break;
            }
            const char32_t low = s[1];
            if (low >= kLowFirst && low <= kLowLast) {
                c = 0x10000 + ((c - kHighFirst) << 10) + (low - kLowFirst);
                consumed = 2;
            } else if (mode == UtfMode::kStrict) {
                result = UtfResult::kSourceIllegal;
                break;
            }
        } else if (c >= kLowFirst && c <= kLowLast && mode == UtfMode::kStrict) {
            result = UtfResult::kSourceIllegal;
            break;
        }

        const int length = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (targetEnd - t < length) {
            result = UtfResult::kTargetExhausted;
            break;
        }
        switch (length) {
        case 1: t[0] = static_cast<char>(c); break;
        case 2:
            t[0] = static_cast<char>(0xC0 | (c >> 6));
            t[1] = static_cast<char>(0x80 | (c & 0x3F));
            break;
        case 3:
            t[0] = static_cast<char>(0xE0 | (c >> 12));
            t[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            t[2] = static_cast<char>(0x80 | (c & 0x3F));
            break;
        default:
            t[0] = static_cast<char>(0xF0 | (c >> 18));
            t[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            t[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            t[3] = static_cast<char>(0x80 | (c & 0x3F));
            break;
        }
        t += length;
        s += consumed;
    }
    source = s;
    target = t;
    return result;
}

size_t Utf16LengthOfUtf8(std::string_view text)
{
    // Every unit comes from a byte that is not a trailing byte; a four-byte
    // lead gives two.
    size_t units = 0;
    for (const char c : text) {
        const uint8_t b = static_cast<uint8_t>(c);
        units += static_cast<size_t>((b & 0xC0) != 0x80) + static_cast<size_t>(b >= 0xF0);
    }
    return units;
}

size_t Utf8LengthOfUtf16(std::u16string_view text)
{
    // Three bytes for every surrogate, less two for each low one right after
    // a high one (the pair takes four).
    size_t bytes = 0;
    char16_t previous = 0;
    for (const char16_t u : text) {
        bytes += 1 + static_cast<size_t>(u >= 0x80) + static_cast<size_t>(u >= 0x800);
        bytes -= 2 * static_cast<size_t>(u >= kLowFirst && u <= kLowLast && previous >= kHighFirst &&
                                         previous <= kHighLast);
        previous = u;
    }
    return bytes;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out(Utf8LengthOfUtf16(text), '\0');
    const char16_t* source = text.data();
    char* target = out.data();
    const char16_t* const end = text.data() + text.size();
    if (ConvertUtf16ToUtf8(source, end, target, out.data() + out.size(), UtfMode::kLenient) ==
        UtfResult::kSourceExhausted) {
        // A whole text ends here: a high surrogate left last is unpaired.
        const char16_t high = *source;
        target[0] = static_cast<char>(0xE0 | (high >> 12));
        target[1] = static_cast<char>(0x80 | ((high >> 6) & 0x3F));
        target[2] = static_cast<char>(0x80 | (high & 0x3F));
        target += 3;
    }
    out.resize(static_cast<size_t>(target - out.data()));
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out(Utf16LengthOfUtf8(text), u'\0');
    const char* source = text.data();
    char16_t* target = out.data();
    ConvertUtf8ToUtf16(source, text.data() + text.size(), target, out.data() + out.size());
    out.resize(static_cast<size_t>(target - out.data()));
    return out;
}

}  // namespace QV
