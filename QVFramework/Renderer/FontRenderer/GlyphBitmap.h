#pragma once
// FreeType's rendered bitmaps as 8-bit coverage buffers: a monochrome bit
// becomes 255, grey levels are kept.
#include <ft2build.h>
#include FT_FREETYPE_H

#include "LPixelBuffer.h"

namespace QV {

// Null for a pixel mode other than mono and 8-bit grey.
RCPtr<LPixelBuffer<uint8_t>> MakeCoverageBuffer(const FT_Bitmap& bitmap);

}  // namespace QV
