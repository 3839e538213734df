#pragma once
#include <cstdint>

#include "StringT.h"

namespace QV {

// The text shown for a start-up error id: the framework string
// "EXCEPTION_ID" formatted with the id; while there is no such string (or it
// holds a conversion other than one for the id): "The application
// encountered problems during startup and will now close.  (Error code =
// <id>)". Never fails.
String FormatStartupErrorText(int32_t errorId);

}  // namespace QV
