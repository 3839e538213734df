#pragma once
#include <cstdint>

#include "StringT.h"

namespace QV {

// The text shown for a start-up error id. Until the framework string table
// is loaded: "The application encountered problems during startup and will
// now close.  (Error code = <id>)". Never fails.
String FormatStartupErrorText(int32_t errorId);

}  // namespace QV
