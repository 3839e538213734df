#include "FontNameReader.h"

#include <array>
#include <cstring>

namespace QV {
namespace {

constexpr uint16_t kPlatformMacintosh = 1;
constexpr uint16_t kPlatformWindows = 3;
constexpr uint16_t kLanguageEnglishUS = 0x0409;
constexpr uint16_t kNameFamily = 1;
constexpr uint16_t kNameSubfamily = 2;
constexpr uint32_t kCollectionVersion2 = 0x00020000;

// Reads big-endian fields; the first failed read poisons every later one.
class BigEndianReader {
public:
    explicit BigEndianReader(const FontFileSource& source) : mSource(source) {}

    bool Ok() const { return mOk; }
    uint64_t Size() const { return mSource.GetSize(); }

    bool Bytes(uint64_t offset, uint32_t length, uint8_t* out)
    {
        mOk = mOk && mSource.Read(offset, length, out);
        return mOk;
    }
    uint32_t U32(uint64_t offset)
    {
        std::array<uint8_t, 4> b{};
        if (!Bytes(offset, 4, b.data())) return 0;
        return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
    }
    uint16_t U16(uint64_t offset)
    {
        std::array<uint8_t, 2> b{};
        if (!Bytes(offset, 2, b.data())) return 0;
        return static_cast<uint16_t>((b[0] << 8) | b[1]);
    }
    // Fails unless count items of itemSize bytes from offset lie in the file;
    // a hostile count can then never make the walk outrun the data.
    bool Fits(uint64_t offset, uint64_t count, uint64_t itemSize)
    {
        mOk = mOk && offset <= Size() && count <= (Size() - offset) / itemSize;
        return mOk;
    }

private:
    const FontFileSource& mSource;
    bool mOk = true;
};

struct NameRecord {
    uint16_t platform, language, nameId, length, offset;
};

bool IsWanted(const NameRecord& r)
{
    const bool language = (r.platform == kPlatformMacintosh && r.language == 0) ||
                          (r.platform == kPlatformWindows && r.language == kLanguageEnglishUS);
    return language && (r.nameId == kNameFamily || r.nameId == kNameSubfamily);
}

String DecodeName(const NameRecord& r, const std::vector<uint8_t>& bytes)
{
    String text;
    if (r.platform == kPlatformMacintosh) {
        std::string narrow(bytes.begin(), bytes.end());
        text.AssignNarrow(narrow.c_str(), static_cast<int32_t>(narrow.size()));
        return text;
    }
    std::u16string wide;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide.push_back(static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1]));
    text.Assign(wide.c_str(), static_cast<int32_t>(wide.size()));
    return text;
}

// Walks one font's name records, completing (family, subfamily) pairs.
void ReadNameTable(BigEndianReader& in, uint64_t table, int32_t faceIndex, std::vector<FontFaceName>& out)
{
    const uint16_t count = in.U16(table + 2);
    const uint64_t storage = table + in.U16(table + 4);
    if (!in.Fits(table + 6, count, 12)) return;
    FontFaceName current;
    current.faceIndex = faceIndex;
    bool haveFamily = false, haveSubfamily = false;
    for (uint16_t i = 0; i < count && in.Ok(); ++i) {
        const uint64_t at = table + 6 + uint64_t{12} * i;
        const NameRecord r{in.U16(at), in.U16(at + 4), in.U16(at + 6), in.U16(at + 8), in.U16(at + 10)};
        if (!in.Ok() || !IsWanted(r)) continue;
        std::vector<uint8_t> bytes(r.length);
        if (!in.Bytes(storage + r.offset, r.length, bytes.data())) return;
        String text = DecodeName(r, bytes);
        if (text.IsEmpty()) continue;
        if (r.nameId == kNameFamily && !haveFamily) {
            current.family = text;
            haveFamily = true;
        } else if (r.nameId == kNameSubfamily && !haveSubfamily) {
            current.subfamily = text.ToLower();
            haveSubfamily = true;
        }
        if (haveFamily && haveSubfamily) {
            out.push_back(current);
            haveFamily = haveSubfamily = false;
        }
    }
}

bool IsNameTag(const uint8_t* tag)
{
    static constexpr char kName[4] = {'n', 'a', 'm', 'e'};
    for (int i = 0; i < 4; ++i) {
        const uint8_t c = (tag[i] >= 'A' && tag[i] <= 'Z') ? static_cast<uint8_t>(tag[i] - 'A' + 'a') : tag[i];
        if (c != static_cast<uint8_t>(kName[i])) return false;
    }
    return true;
}

void ReadFont(BigEndianReader& in, uint64_t start, int32_t faceIndex, std::vector<FontFaceName>& out)
{
    const uint16_t tables = in.U16(start + 4);
    if (!in.Fits(start + 12, tables, 16)) return;
    for (uint16_t i = 0; i < tables && in.Ok(); ++i) {
        const uint64_t record = start + 12 + uint64_t{16} * i;
        uint8_t tag[4] = {};
        if (!in.Bytes(record, 4, tag) || tag[0] == 0) return;
        if (IsNameTag(tag)) {
            ReadNameTable(in, in.U32(record + 8), faceIndex, out);
            return;
        }
    }
}

}  // namespace

std::optional<std::vector<FontFaceName>> ReadFontFaceNames(const FontFileSource& source)
{
    BigEndianReader in(source);
    std::vector<FontFaceName> names;
    uint8_t tag[4] = {};
    in.Bytes(0, 4, tag);
    const uint32_t version = in.U32(4);
    const uint32_t count = in.U32(8);
    if (!in.Ok()) return std::nullopt;
    if (std::memcmp(tag, "ttcf", 4) != 0) {
        ReadFont(in, 0, 0, names);
    } else if (in.Fits(12, count, 4)) {
        if (version == kCollectionVersion2) {
            uint8_t signature[12];
            in.Bytes(12 + uint64_t{4} * count, sizeof signature, signature);
        }
        for (uint32_t i = 0; i < count && in.Ok(); ++i)
            ReadFont(in, in.U32(12 + uint64_t{4} * i), static_cast<int32_t>(i), names);
    }
    if (!in.Ok()) return std::nullopt;
    return names;
}

}  // namespace QV
