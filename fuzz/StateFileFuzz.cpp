// The simulated keyboard's state file is written by other processes and may
// be caught half-written. Random text is refused or holds fifteen blobs in
// their ranges that format and read back the same; a cut that ends inside a
// line of accepted text is always refused.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "TarselStateText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const Platform::TarselStateParse parsed = Platform::ParseTarselState(text);
    if (!parsed.blobs) {
        Check(!parsed.error.empty());
        return 0;
    }
    for (int i = 0; i < Platform::kTarselParameterCount; ++i)
        Check(Platform::TarselKeyboard::CheckBlob(i, (*parsed.blobs)[i]) == Platform::TarselResult::Ok);
    const Platform::TarselStateParse again = Platform::ParseTarselState(Platform::FormatTarselState(*parsed.blobs));
    Check(again.blobs && *again.blobs == *parsed.blobs);
    // The first byte picks where the writer was caught.
    const size_t cut = data[0] * text.size() / 256;
    if (cut > 0 && text[cut - 1] != '\n') Check(!Platform::ParseTarselState(text.substr(0, cut)).blobs);
    return 0;
}
