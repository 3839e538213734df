#include "StartupErrorText.h"

#include "FrameworkStrings.h"

namespace QV {
namespace {

// A table text becomes a format only when its one conversion takes the id:
// anything else ("%s" in a file someone edited) would read a missing argument.
bool TakesOnlyTheId(const String& format)
{
    int32_t conversions = 0;
    const std::u16string_view c = format.View();
    for (size_t i = 0; i < c.size(); ++i) {
        if (c[i] != u'%') continue;
        if (i + 1 >= c.size()) return false;
        const char16_t next = c[++i];
        if (next == u'%') continue;
        if (next != u'd' && next != u'i') return false;
        ++conversions;
    }
    return conversions <= 1;
}

}  // namespace

String FormatStartupErrorText(int32_t errorId)
{
    String text;
    String format;
    if (LookUpFrameworkString(String(u"EXCEPTION_ID"), format) && TakesOnlyTheId(format)) {
        text.Format(format.GetChars(), errorId);
        return text;
    }
    text.Format(u"The application encountered problems during startup and will now close.  (Error code = %d)",
                errorId);
    return text;
}

}  // namespace QV
