// What a local process sends to the single-instance socket. Random bytes as
// received: a verdict never changes once reached as more bytes come, a taken
// text sent again is taken the same; random text as a command line is taken
// whole up to its first NUL (or cut short of the cap).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "InstanceMessage.h"

namespace {

using namespace Platform::SingleInstance;
using State = ParsedRecord::State;

bool Same(const ParsedRecord& a, const ParsedRecord& b)
{
    return a.state == b.state && a.text == b.text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ParsedRecord whole = ParseRecord(bytes);
    for (const size_t cut : {size / 3, size / 2, size > 0 ? size - 1 : 0}) {
        const ParsedRecord part = ParseRecord(bytes.substr(0, cut));
        if (part.state != State::kNeedMore) Check(Same(part, whole));
    }
    if (whole.state == State::kTaken) {
        Check(whole.text.find('\0') == std::string::npos);
        Check(Same(ParseRecord(EncodeMessage(whole.text)), whole));
    } else {
        Check(whole.text.empty());
    }

    const std::string sent = EncodeMessage(bytes);
    const ParsedRecord taken = ParseRecord(sent);
    Check(taken.state == State::kTaken);
    const std::string_view expected = bytes.substr(0, bytes.find('\0'));
    if (expected.size() < kMaxMessageBytes) {
        Check(taken.text == expected);
    } else {
        Check(taken.text.size() < kMaxMessageBytes && expected.substr(0, taken.text.size()) == taken.text);
    }
    return 0;
}
