#include "StartupErrorText.h"

namespace QV {

String FormatStartupErrorText(int32_t errorId)
{
    // The "EXCEPTION_ID" text of the framework string table takes over here
    // once string tables exist; before that the built-in text is all there is.
    String text;
    text.Format(u"The application encountered problems during startup and will now close.  (Error code = %d)",
                errorId);
    return text;
}

}  // namespace QV
