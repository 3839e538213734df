#pragma once
// Where code below the application (renderers, start-up texts) finds the
// framework string table's texts in the user's language. The application
// installs its lookup while it lives; without one every lookup fails.
#include "StringT.h"

namespace QV {

using FrameworkStringLookup = bool (*)(const String& id, String& text);

// False, and text untouched, when no lookup is installed or it lacks the id.
bool LookUpFrameworkString(const String& id, String& text);
// Returns the lookup it replaces; null removes it. UI thread only.
FrameworkStringLookup SetFrameworkStringLookup(FrameworkStringLookup lookup);

}  // namespace QV
