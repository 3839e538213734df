// Settings files are edited by hand and written back by the library: feeds
// random text to the parser, and checks that an accepted file, written back
// with random comment lines, reads to the same document, and that a value
// or name set through the interface survives a save.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "IniDocument.h"

namespace {

using Platform::IniDocument;

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

IniDocument MustParse(std::string_view text)
{
    IniDocument::ParseError error;
    auto document = IniDocument::Parse(text, &error);
    Check(document.has_value());
    return std::move(*document);
}

// The input: comment text, a NUL, a key path, a NUL, a value, a NUL, then
// the file. Missing parts are empty.
std::string_view NextPart(std::string_view& rest)
{
    const size_t cut = rest.find('\0');
    const std::string_view part = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> comments{std::string(NextPart(rest))};
    const std::string key(NextPart(rest));
    const std::string value(NextPart(rest));

    auto parsed = IniDocument::Parse(rest, nullptr);
    if (!parsed) return 0;
    const std::string written = parsed->ToText();
    // Written text reads back to itself, whatever the comments hold.
    Check(MustParse(parsed->ToText(comments)).ToText() == written);

    if (parsed->SetValue(key, value)) {
        const IniDocument back = MustParse(parsed->ToText(comments));
        const std::string* read = back.GetValue(key);
        Check(read && *read == value);
        Check(back.ToText() == parsed->ToText());
    }
    if (parsed->SetArrayItem(key, 0, value)) {
        const IniDocument back = MustParse(parsed->ToText(comments));
        const auto* items = back.GetArray(key);
        Check(items && !items->empty() && (*items)[0] == value);
    }
    return 0;
}
