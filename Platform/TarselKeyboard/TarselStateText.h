#pragma once

// The simulated keyboard's blobs as text that tests read and write by hand:
//
//   # comment lines and blank lines are skipped
//   0: 01
//   1: 03 02 0C
//   ...
//   14: 00 06 00 7F 00 00 7F 00 00 43 00 7F 00
//
// One line per parameter, "index: hex bytes", each of the fifteen exactly
// once, every blob of its length, every byte two hex digits in its range and
// every line ending in a newline: a file cut short anywhere is refused.

#include <optional>
#include <string>

#include "TarselKeyboard.h"

namespace Platform {

std::string FormatTarselState(const TarselBlobs& blobs);

struct TarselStateParse {
    std::optional<TarselBlobs> blobs;  // none when the text is refused
    std::string error;                 // why it was refused
};
TarselStateParse ParseTarselState(const std::string& text);

}  // namespace Platform
