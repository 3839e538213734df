#pragma once
// UTF-8 <-> UTF-16 conversion, the one place in the tree that reads or writes
// UTF-8 sequences. One rule for bad input everywhere: ill-formed UTF-8 ends
// the conversion where it begins, and an unpaired surrogate is written as its
// own three-byte form. The range routines move the source and target cursors
// as far as they converted, so the text before a stop stays usable.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace QV {

enum class UtfResult : int32_t {
    kOk = 0,
    // A sequence is cut off by the end of the source: a lead byte announces
    // more trailing bytes than remain, whatever the bytes present are.
    kSourceExhausted = 1,
    kTargetExhausted = 2,
    // Ill-formed UTF-8; in strict mode also an unpaired surrogate.
    kSourceIllegal = 3,
};

enum class UtfMode { kStrict, kLenient };

// Ill-formed UTF-8 always stops with kSourceIllegal; the mode only matters
// for UTF-16 input.
UtfResult ConvertUtf8ToUtf16(const char*& source, const char* sourceEnd, char16_t*& target, char16_t* targetEnd);

// Lenient mode writes an unpaired surrogate as its own three-byte form.
UtfResult ConvertUtf16ToUtf8(const char16_t*& source, const char16_t* sourceEnd, char*& target, char* targetEnd,
                             UtfMode mode);

// Room a conversion needs, counted without converting: the units of the
// UTF-8 text (exact for well-formed text, never short for any other), and
// the bytes of the lenient UTF-8 form of the UTF-16 text (exact).
size_t Utf16LengthOfUtf8(std::string_view text);
size_t Utf8LengthOfUtf16(std::u16string_view text);

// Whole texts, with the lenient rule above; the text before a stop is kept.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace QV
