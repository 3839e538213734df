#pragma once
// Initialize of the editor's controls looks its skin parts up by name; a
// part missing from the skin is a start-up error that names it.
#include <string_view>

#include "LControl.h"

// The child, or a runtime error "Null Pointer : Cannot find child <name>".
QV::RCPtr<QV::LControl> FindRequiredChild(const QV::LControl& parent, const QV::String& name, std::string_view method,
                                          std::string_view path, int line);
