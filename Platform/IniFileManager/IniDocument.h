#pragma once
// The in-memory form of one settings file: sections of keys and arrays, in
// the order they were met, read from and written to INI text.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

class IniDocument {
public:
    struct ParseError {
        int line = 0;  // 1-based
        std::string reason;
    };

    // Reads INI text; on failure answers nothing and fills error.
    static std::optional<IniDocument> Parse(std::string_view text, ParseError* error);
    // The whole file; each comment is written first as one line with "; "
    // before it (control characters become blanks).
    std::string ToText(const std::vector<std::string>& comments = {}) const;

    // Paths: see IniFileManagerApi.h. Names match regardless of ASCII case.
    bool HasNode(std::string_view path) const;

    const std::string* GetValue(std::string_view keyPath) const;
    // False when a part of the path cannot be written as a name.
    bool SetValue(std::string_view keyPath, std::string_view value);

    // Keys of the section (the root for an empty path), arrays not included.
    size_t GetKeyCount(std::string_view sectionPath) const;
    const std::string* GetKeyNameAt(std::string_view sectionPath, size_t index) const;

    // An absent array is empty.
    const std::vector<std::string>* GetArray(std::string_view arrayPath) const;
    bool SetArrayCount(std::string_view arrayPath, size_t count);
    // index == count appends; false beyond that or for a bad name.
    bool SetArrayItem(std::string_view arrayPath, size_t index, std::string_view text);
    bool RemoveArrayItem(std::string_view arrayPath, size_t index);

    // A name part is valid when non-empty, without surrounding blanks,
    // control characters or any of = [ ] / \, and not starting with ; # ".
    static bool IsValidName(std::string_view name);
    // True when the path names a key or an array that can be written.
    static bool IsValidPath(std::string_view path) { return SplitPath(path).has_value(); }

private:
    struct Entry {
        std::string name;
        std::string value;
    };
    struct Array {
        std::string name;
        std::vector<std::string> items;
    };
    struct Section {
        std::string name;  // parts joined by "/"; empty for the root
        std::vector<Entry> keys;
        std::vector<Array> arrays;
    };

    // Splits "a/b\c" into the section "a/b" and the name "c"; nothing when
    // a part is not a valid name.
    static std::optional<std::pair<std::string, std::string>> SplitPath(std::string_view path);
    static std::optional<std::string> NormalizeSection(std::string_view path);

    std::optional<size_t> FindSectionIndex(std::string_view name) const;
    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    Section& GetOrAddSection(const std::string& name);
    static const Array* FindArrayIn(const Section& section, std::string_view name);
    Array* FindArray(std::string_view arrayPath, bool create);

    bool ParseLine(std::string_view line, Section*& current, std::string& reason);

    std::vector<Section> mSections{Section{}};  // the root section first
};

}  // namespace Platform
