#pragma once
// The editor's own skin classes ("ZiroruVovizu.…") and their creators.
#include "LControlFactory.h"

// 0, or the first failed registration's result.
[[nodiscard]] QV::QVResult RegisterEditorControlClasses(QV::LControlFactory& factory);
