#include "CommandLine.h"

namespace QV {

std::string ToValidUtf8(std::string_view text)
{
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out.push_back(text[i++]);
            continue;
        }
        // Length and the second byte's range per lead byte (no overlongs, surrogates or beyond U+10FFFF).
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        size_t good = 1;
        while (good < length && i + good < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + good]);
            if (next < (good == 1 ? low : 0x80) || next > (good == 1 ? high : 0xBF)) break;
            ++good;
        }
        if (length != 0 && good == length) {
            out.append(text.substr(i, length));
        } else {
            out.append(kReplacement);
        }
        i += good;
    }
    return out;
}

String JoinCommandLine(int argc, const char* const* argv)
{
    std::string text;
    for (int i = 0; i < argc; ++i) {
        if (i) text.push_back(' ');
        const std::string arg = ToValidUtf8(argv[i] ? argv[i] : "");
        const bool quote = arg.empty() || arg.find(' ') != std::string::npos;
        text += quote ? "\"" + arg + "\"" : arg;
    }
    return String(text.c_str());
}

}  // namespace QV
