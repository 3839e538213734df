#include "IniDocument.h"

#include <algorithm>
#include <cstdio>

namespace Platform {
namespace {

constexpr std::string_view kBlanks = " \t";
// Only at the very start of a file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

bool NeedsQuotes(std::string_view value)
{
    if (value.empty()) return false;
    if (kBlanks.find(value.front()) != std::string_view::npos) return true;
    if (kBlanks.find(value.back()) != std::string_view::npos) return true;
    if (value.front() == '"') return true;
    return std::any_of(value.begin(), value.end(), IsControl);
}

std::string EncodeValue(std::string_view value)
{
    if (!NeedsQuotes(value)) return std::string(value);
    std::string out = "\"";
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (IsControl(c)) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
                out += hex;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string FormatLine(const std::string& name, std::string_view value)
{
    const std::string encoded = EncodeValue(value);
    return encoded.empty() ? name + " =\n" : name + " = " + encoded + "\n";
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// text starts after the opening quote.
std::optional<std::string> DecodeQuoted(std::string_view text, std::string& reason)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            if (!Trim(text.substr(i + 1)).empty()) {
                reason = "text after the closing quote";
                return std::nullopt;
            }
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) break;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0) {
                reason = "bad \\x escape";
                return std::nullopt;
            }
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            reason = std::string("unknown escape \\") + text[i];
            return std::nullopt;
        }
    }
    reason = "missing closing quote";
    return std::nullopt;
}

}  // namespace

bool IniDocument::IsValidName(std::string_view name)
{
    if (name.empty() || Trim(name).size() != name.size()) return false;
    if (name.front() == ';' || name.front() == '#' || name.front() == '"') return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return IsControl(c) || std::string_view("=[]/\\").find(c) != std::string_view::npos;
    });
}

std::optional<std::string> IniDocument::NormalizeSection(std::string_view path)
{
    std::string out;
    while (!path.empty()) {
        const size_t cut = path.find_first_of("/\\");
        const std::string_view part = path.substr(0, cut);
        if (!IsValidName(part)) return std::nullopt;
        if (!out.empty()) out += '/';
        out += part;
        if (cut == std::string_view::npos) break;
        path.remove_prefix(cut + 1);
        if (path.empty()) return std::nullopt;  // a trailing separator
    }
    return out;
}

std::optional<std::pair<std::string, std::string>> IniDocument::SplitPath(std::string_view path)
{
    const size_t cut = path.find_last_of("/\\");
    const std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
    if (!IsValidName(name)) return std::nullopt;
    if (cut == std::string_view::npos) return std::make_pair(std::string(), std::string(name));
    if (cut == 0) return std::nullopt;
    auto section = NormalizeSection(path.substr(0, cut));
    if (!section) return std::nullopt;
    return std::make_pair(std::move(*section), std::string(name));
}

std::optional<size_t> IniDocument::FindSectionIndex(std::string_view name) const
{
    for (size_t i = 0; i < mSections.size(); ++i) {
        if (EqualsNoCase(mSections[i].name, name)) return i;
    }
    return std::nullopt;
}

const IniDocument::Section* IniDocument::FindSection(std::string_view name) const
{
    const auto index = FindSectionIndex(name);
    return index ? &mSections[*index] : nullptr;
}

IniDocument::Section* IniDocument::FindSection(std::string_view name)
{
    const auto index = FindSectionIndex(name);
    return index ? &mSections[*index] : nullptr;
}

IniDocument::Section& IniDocument::GetOrAddSection(const std::string& name)
{
    if (Section* found = FindSection(name)) return *found;
    mSections.push_back(Section{name, {}, {}});
    return mSections.back();
}

const IniDocument::Array* IniDocument::FindArrayIn(const Section& section, std::string_view name)
{
    for (const Array& array : section.arrays) {
        if (EqualsNoCase(array.name, name)) return &array;
    }
    return nullptr;
}

bool IniDocument::HasNode(std::string_view path) const
{
    if (path.empty()) return true;
    if (auto section = NormalizeSection(path)) {
        const std::string prefix = *section + "/";
        for (const Section& s : mSections) {
            if (EqualsNoCase(s.name, *section)) return true;
            if (s.name.size() > prefix.size() && EqualsNoCase(std::string_view(s.name).substr(0, prefix.size()), prefix)) {
                return true;
            }
        }
    }
    return GetValue(path) != nullptr || GetArray(path) != nullptr;
}

const std::string* IniDocument::GetValue(std::string_view keyPath) const
{
    const auto split = SplitPath(keyPath);
    if (!split) return nullptr;
    const Section* section = FindSection(split->first);
    if (!section) return nullptr;
    for (const Entry& entry : section->keys) {
        if (EqualsNoCase(entry.name, split->second)) return &entry.value;
    }
    return nullptr;
}

bool IniDocument::SetValue(std::string_view keyPath, std::string_view value)
{
    const auto split = SplitPath(keyPath);
    if (!split) return false;
    Section& section = GetOrAddSection(split->first);
    for (Entry& entry : section.keys) {
        if (EqualsNoCase(entry.name, split->second)) {
            entry.value = value;
            return true;
        }
    }
    section.keys.push_back(Entry{split->second, std::string(value)});
    return true;
}

size_t IniDocument::GetKeyCount(std::string_view sectionPath) const
{
    const auto name = NormalizeSection(sectionPath);
    const Section* section = name ? FindSection(*name) : nullptr;
    return section ? section->keys.size() : 0;
}

const std::string* IniDocument::GetKeyNameAt(std::string_view sectionPath, size_t index) const
{
    const auto name = NormalizeSection(sectionPath);
    const Section* section = name ? FindSection(*name) : nullptr;
    if (!section || index >= section->keys.size()) return nullptr;
    return &section->keys[index].name;
}

IniDocument::Array* IniDocument::FindArray(std::string_view arrayPath, bool create)
{
    const auto split = SplitPath(arrayPath);
    if (!split) return nullptr;
    Section* section = FindSection(split->first);
    if (!section) {
        if (!create) return nullptr;
        section = &GetOrAddSection(split->first);
    }
    if (const Array* found = FindArrayIn(*section, split->second)) return const_cast<Array*>(found);
    if (!create) return nullptr;
    section->arrays.push_back(Array{split->second, {}});
    return &section->arrays.back();
}

const std::vector<std::string>* IniDocument::GetArray(std::string_view arrayPath) const
{
    const auto split = SplitPath(arrayPath);
    const Section* section = split ? FindSection(split->first) : nullptr;
    const Array* array = section ? FindArrayIn(*section, split->second) : nullptr;
    return array ? &array->items : nullptr;
}

bool IniDocument::SetArrayCount(std::string_view arrayPath, size_t count)
{
    Array* array = FindArray(arrayPath, true);
    if (!array) return false;
    array->items.resize(count);
    return true;
}

bool IniDocument::SetArrayItem(std::string_view arrayPath, size_t index, std::string_view text)
{
    if (!SplitPath(arrayPath)) return false;
    const auto* existing = GetArray(arrayPath);
    if (index > (existing ? existing->size() : 0)) return false;
    Array* array = FindArray(arrayPath, true);
    if (index == array->items.size()) {
        array->items.emplace_back(text);
    } else {
        array->items[index] = text;
    }
    return true;
}

bool IniDocument::RemoveArrayItem(std::string_view arrayPath, size_t index)
{
    Array* array = FindArray(arrayPath, false);
    if (!array || index >= array->items.size()) return false;
    array->items.erase(array->items.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool IniDocument::ParseLine(std::string_view line, Section*& current, std::string& reason)
{
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') return true;
    if (line.front() == '[') {
        if (line.back() != ']') {
            reason = "section header without ']'";
            return false;
        }
        const auto name = NormalizeSection(Trim(line.substr(1, line.size() - 2)));
        if (!name || name->empty()) {
            reason = "invalid section name";
            return false;
        }
        current = &GetOrAddSection(*name);
        return true;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        reason = "expected 'name = value'";
        return false;
    }
    std::string_view name = Trim(line.substr(0, equals));
    const bool isArrayItem = name.size() > 2 && name.substr(name.size() - 2) == "[]";
    if (isArrayItem) name = Trim(name.substr(0, name.size() - 2));
    if (!IsValidName(name)) {
        reason = "invalid key name";
        return false;
    }
    std::string_view raw = Trim(line.substr(equals + 1));
    std::string value;
    if (!raw.empty() && raw.front() == '"') {
        auto decoded = DecodeQuoted(raw.substr(1), reason);
        if (!decoded) return false;
        value = std::move(*decoded);
    } else {
        value = raw;
    }
    const std::string path = current->name.empty() ? std::string(name) : current->name + "/" + std::string(name);
    if (isArrayItem) {
        Array* array = FindArray(path, true);
        array->items.push_back(std::move(value));
    } else {
        SetValue(path, value);
    }
    return true;
}

std::optional<IniDocument> IniDocument::Parse(std::string_view text, ParseError* error)
{
    IniDocument document;
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    int lineNumber = 0;
    size_t current = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // Sections may be added while parsing: keep an index, not a pointer.
        Section* section = &document.mSections[current];
        std::string reason;
        if (!document.ParseLine(line, section, reason)) {
            if (error) *error = ParseError{lineNumber, reason};
            return std::nullopt;
        }
        current = static_cast<size_t>(section - document.mSections.data());
    }
    return document;
}

std::string IniDocument::ToText(const std::vector<std::string>& comments) const
{
    std::string out;
    for (const std::string& comment : comments) {
        // A caller's text may hold line breaks; each line stays a comment.
        std::string line = comment;
        std::replace_if(line.begin(), line.end(), IsControl, ' ');
        out += "; " + line + "\n";
    }
    bool first = comments.empty();
    for (const Section& section : mSections) {
        if (section.name.empty() && section.keys.empty() && section.arrays.empty()) continue;
        if (!first) out += '\n';
        first = false;
        if (!section.name.empty()) out += "[" + section.name + "]\n";
        for (const Entry& entry : section.keys) out += FormatLine(entry.name, entry.value);
        for (const Array& array : section.arrays) {
            for (const std::string& item : array.items) out += FormatLine(array.name + "[]", item);
        }
    }
    // A first name starting with U+FEFF would read back as a byte-order mark.
    if (out.starts_with(kByteOrderMark)) out.insert(0, kByteOrderMark);
    return out;
}

}  // namespace Platform
