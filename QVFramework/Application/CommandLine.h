#pragma once
// The program's arguments as the one command-line text the framework reads.
#include <string>
#include <string_view>

#include "StringT.h"

namespace QV {

// text with every ill-formed UTF-8 sequence replaced by U+FFFD (one for each
// maximal ill-formed part), so nothing after it is lost.
std::string ToValidUtf8(std::string_view text);

// The arguments joined by blanks, each quoted when empty or holding a blank,
// each made valid UTF-8 first.
String JoinCommandLine(int argc, const char* const* argv);

}  // namespace QV
