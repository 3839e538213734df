#pragma once
// Writes small TrueType files and collections with a "name" table, for tests.
#include <cstdint>
#include <string>
#include <vector>

struct NameEntry {
    uint16_t platform;
    uint16_t language;
    uint16_t nameId;
    std::u16string text;  // platform 1: stored as UTF-8; platform 3: UTF-16 big-endian
};

using Bytes = std::vector<uint8_t>;

inline void PutU16(Bytes& b, uint16_t v)
{
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
inline void PutU32(Bytes& b, uint32_t v)
{
    PutU16(b, static_cast<uint16_t>(v >> 16));
    PutU16(b, static_cast<uint16_t>(v));
}
inline void SetU32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

inline NameEntry Win(uint16_t id, std::u16string text)
{
    return {3, 0x0409, id, std::move(text)};
}
inline NameEntry Mac(uint16_t id, std::u16string text)
{
    return {1, 0, id, std::move(text)};
}

// One font (offset table, a dummy "head" record, the "name" record and the
// name table) appended at b's end; table offsets are absolute.
inline void AppendFont(Bytes& b, const std::vector<NameEntry>& names)
{
    PutU32(b, 0x00010000);
    PutU16(b, 2);
    PutU16(b, 0), PutU16(b, 0), PutU16(b, 0);
    const size_t records = b.size();
    for (const char* tag : {"head", "NAME"}) {
        b.insert(b.end(), tag, tag + 4);
        PutU32(b, 0), PutU32(b, 0), PutU32(b, 0);
    }
    const size_t table = b.size();
    SetU32(b, records + 16 + 8, static_cast<uint32_t>(table));
    Bytes storage;
    PutU16(b, 0);
    PutU16(b, static_cast<uint16_t>(names.size()));
    PutU16(b, static_cast<uint16_t>(6 + 12 * names.size()));
    for (const NameEntry& n : names) {
        Bytes text;
        if (n.platform == 1) {
            for (char16_t c : n.text) text.push_back(static_cast<uint8_t>(c));  // ASCII in tests
        } else {
            for (char16_t c : n.text) PutU16(text, c);
        }
        PutU16(b, n.platform), PutU16(b, 1), PutU16(b, n.language), PutU16(b, n.nameId);
        PutU16(b, static_cast<uint16_t>(text.size())), PutU16(b, static_cast<uint16_t>(storage.size()));
        storage.insert(storage.end(), text.begin(), text.end());
    }
    b.insert(b.end(), storage.begin(), storage.end());
}

inline Bytes MakeFont(const std::vector<NameEntry>& names)
{
    Bytes b;
    AppendFont(b, names);
    return b;
}

inline Bytes MakeCollection(const std::vector<std::vector<NameEntry>>& fonts, uint32_t version = 0x00010000)
{
    Bytes b;
    b.insert(b.end(), {'t', 't', 'c', 'f'});
    PutU32(b, version);
    PutU32(b, static_cast<uint32_t>(fonts.size()));
    const size_t offsets = b.size();
    for (size_t i = 0; i < fonts.size(); ++i) PutU32(b, 0);
    if (version == 0x00020000) PutU32(b, 0), PutU32(b, 0), PutU32(b, 0);
    for (size_t i = 0; i < fonts.size(); ++i) {
        SetU32(b, offsets + 4 * i, static_cast<uint32_t>(b.size()));
        AppendFont(b, fonts[i]);
    }
    return b;
}
