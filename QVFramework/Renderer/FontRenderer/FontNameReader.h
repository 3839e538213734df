#pragma once
// Reads the family and subfamily names of every font in a TrueType file or
// collection from its "name" table (big-endian, checked against the file's
// size at every step).
#include <cstdint>
#include <optional>
#include <vector>

#include "FontFileSource.h"
#include "StringT.h"

namespace QV {

struct FontFaceName {
    int32_t faceIndex = 0;  // the font's place inside a collection; 0 in a single font
    String family;
    String subfamily;  // lower-cased
};

// One entry each time a font's records complete a (family, subfamily) pair,
// in file order. None when the file is short or an offset, length or count
// leaves it: such a file is skipped as a whole.
std::optional<std::vector<FontFaceName>> ReadFontFaceNames(const FontFileSource& source);

}  // namespace QV
