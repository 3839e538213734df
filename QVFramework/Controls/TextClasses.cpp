#include "TextClasses.h"

#include <locale.h>
#include <wctype.h>

namespace QV {

namespace {

// Made once and never freed: the classification tables live for the process.
locale_t Utf8Locale()
{
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return locale;
}

bool IsSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

}  // namespace

bool IsPrintableCharacter(char16_t c)
{
    // A surrogate half arrives with its partner; both are printable together.
    if (IsSurrogate(c)) return true;
    if (locale_t l = Utf8Locale()) return iswprint_l(static_cast<wint_t>(c), l) != 0;
    return c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0);
}

bool IsSpaceCharacter(char16_t c)
{
    if (locale_t l = Utf8Locale()) return iswspace_l(static_cast<wint_t>(c), l) != 0 || iswblank_l(c, l) != 0;
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

}  // namespace QV
