#pragma once
// The numeric up-down's text: which characters it takes, how typed text
// becomes a value in range, and how a value is shown.
#include <cstdint>
#include <optional>

#include "StringT.h"

namespace QV {

// The ten digits; a minus too when the range reaches below 0.
String UpDownAllowedCharacters(double minimum);
// Digits with at most one leading minus, clamped to the range; none for
// text that is not such a number (the shown value then stays).
std::optional<double> ParseUpDownText(const String& text, double minimum, double maximum);
// "%0.<decimals>f".
String FormatUpDownValue(double value, int32_t decimals);

}  // namespace QV
