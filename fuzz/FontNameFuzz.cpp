// Font files come from any folder fontconfig names: feeds random bytes to
// the name reader and checks that what it accepts is well-formed.
#include <cstddef>
#include <cstdint>

#include "FontNameReader.h"

namespace {

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QV::MemoryFontSource source(data, size);
    const auto names = QV::ReadFontFaceNames(source);
    if (!names) return 0;
    for (const QV::FontFaceName& name : *names) {
        Check(name.faceIndex >= 0);
        Check(static_cast<size_t>(name.faceIndex) <= size / 4);
        Check(!name.family.IsEmpty() && !name.subfamily.IsEmpty());
    }
    return 0;
}
