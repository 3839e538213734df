#pragma once
// printf-style formatting into UTF-16 with the wide-format rules the string
// tables are written for:
//   %s  wide (char16_t) string      %S  narrow (UTF-8) string
//   %c  wide unit                   %C  narrow character
//   h forces narrow, l or w forces wide for s/S/c/C;
//   for integers h/hh are short/char, l and I32 are 32 bits (Windows long),
//   ll, I64 and q are 64 bits, I, z, j, t are pointer-sized; L and l with a
//   floating conversion still take a double.
// Also %d %i %u %o %x %X %e %E %f %F %g %G %a %A %p %%, the flags "-+ 0#",
// width and precision (also as *). %n writes nothing.
#include <cstdarg>
#include <cstdint>

namespace QV {

// Writes at most capacity - 1 units and a closing NUL into out (capacity must
// be at least 1); longer output is cut there. Returns the units written.
int32_t FormatWideV(char16_t* out, int32_t capacity, const char16_t* format, va_list args);
int32_t FormatWide(char16_t* out, int32_t capacity, const char16_t* format, ...);

}  // namespace QV
