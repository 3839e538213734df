// The string tables' formats meet caller arguments: builds one conversion
// from the input (flags, width, precision, possibly as *, size, type) with
// text around it, passes an argument of the matching type, and compares the
// result with a reference built from snprintf and the wide rules, cut as
// the buffer cuts it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "UtfConversion.h"
#include "WideFormat.h"

namespace {

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

class Input {
public:
    Input(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    uint8_t Byte() { return mPos < mSize ? mData[mPos++] : 0; }
    uint64_t Word()
    {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = v << 8 | Byte();
        return v;
    }
    std::u16string WideText(size_t max)
    {
        std::u16string out;
        for (size_t n = Byte() % (max + 1); n > 0; --n) {
            const char16_t c = static_cast<char16_t>(Byte() << 8 | Byte());
            out += c == u'\0' ? u'x' : c;
        }
        return out;
    }
    std::string NarrowText(size_t max)
    {
        std::string out;
        for (size_t n = Byte() % (max + 1); n > 0; --n) {
            const char c = static_cast<char>(Byte());
            out += c == '\0' ? 'x' : c;
        }
        return out;
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
};

bool IsHigh(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A precision: at most n units, never half a pair.
std::u16string Cut(std::u16string text, size_t n)
{
    if (text.size() <= n) return text;
    if (n > 0 && IsHigh(text[n - 1]) && IsLow(text[n])) --n;
    return text.substr(0, n);
}

// A full buffer cannot tell a cut pair from a lone high surrogate at its
// end, so it drops either.
std::u16string CutToBuffer(std::u16string text, size_t n)
{
    if (text.size() < n) return text;
    text.resize(n);
    if (n > 0 && IsHigh(text[n - 1])) text.pop_back();
    return text;
}

std::u16string Widen(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

struct Spec {
    std::string flags;
    int width = -1;      // -1: none
    int precision = -1;  // -1: none
    bool starWidth = false;
    bool starPrecision = false;

    std::string Text() const
    {
        std::string out = flags;
        if (width >= 0) out += starWidth ? "*" : std::to_string(width);
        if (precision >= 0) out += starPrecision ? ".*" : "." + std::to_string(precision);
        return out;
    }
    std::u16string Padded(std::u16string body) const
    {
        if (width < 0 || static_cast<size_t>(width) <= body.size()) return body;
        const bool left = flags.find('-') != std::string::npos;
        const char16_t fill = !left && flags.find('0') != std::string::npos ? u'0' : u' ';
        const std::u16string pad(width - body.size(), fill);
        return left ? body + pad : pad + body;
    }
};

// Calls the formatter with the star arguments the format asks for, then arg.
template <class Arg>
std::u16string Run(const Spec& spec, const std::u16string& format, int32_t capacity, Arg arg)
{
    std::u16string out(static_cast<size_t>(capacity), u'\xFFFF');
    int32_t n;
    if (spec.starWidth && spec.starPrecision) {
        n = QV::FormatWide(out.data(), capacity, format.c_str(), spec.width, spec.precision, arg);
    } else if (spec.starWidth) {
        n = QV::FormatWide(out.data(), capacity, format.c_str(), spec.width, arg);
    } else if (spec.starPrecision) {
        n = QV::FormatWide(out.data(), capacity, format.c_str(), spec.precision, arg);
    } else {
        n = QV::FormatWide(out.data(), capacity, format.c_str(), arg);
    }
    Check(n >= 0 && n < capacity && out[static_cast<size_t>(n)] == u'\0');
    out.resize(static_cast<size_t>(n));
    return out;
}

template <class Arg>
std::string Snprintf(const std::string& format, Arg arg)
{
    const int n = std::snprintf(nullptr, 0, format.c_str(), arg);
    Check(n >= 0);
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format.c_str(), arg);
    out.resize(static_cast<size_t>(n));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    const int32_t capacity = 1 + in.Byte() % 200;
    Spec spec;
    const uint8_t flagBits = in.Byte();
    for (int i = 0; i < 5; ++i) {
        if (flagBits & (1 << i)) spec.flags += "-+ 0#"[i];
    }
    const uint8_t shape = in.Byte();
    // Widths and precisions past the buffer are clamped to it by design.
    if (shape & 1) spec.width = in.Byte() % capacity;
    if (shape & 2) spec.precision = in.Byte() % capacity;
    spec.starWidth = spec.width >= 0 && (shape & 4);
    spec.starPrecision = spec.precision >= 0 && (shape & 8);
    const std::u16string before = in.WideText(8);
    const std::u16string after = in.WideText(8);
    auto Literal = [](const std::u16string& text) {
        std::u16string out;
        for (const char16_t c : text) out += c == u'%' ? u"%%" : std::u16string(1, c);
        return out;
    };
    auto Format = [&](const std::string& sizeAndType) {
        return Literal(before) + u"%" + Widen(spec.Text() + sizeAndType) + Literal(after);
    };
    auto Expect = [&](const std::u16string& converted) {
        return CutToBuffer(before + converted + after, capacity - 1);
    };

    // Numbers go through the C library with the same flags; only the size
    // prefixes differ from the wide rules.
    struct Number {
        const char* wide;
        const char* narrow;
    };
    static constexpr Number kIntegers[] = {{"d", "d"},     {"i", "i"},   {"ld", "d"},   {"I32d", "d"}, {"hd", "hd"},
                                           {"hhd", "hhd"}, {"u", "u"},   {"x", "x"},    {"X", "X"},    {"o", "o"},
                                           {"lx", "x"},    {"hu", "hu"}, {"hhx", "hhx"}};
    static constexpr Number kLongs[] = {{"lld", "lld"}, {"I64d", "lld"}, {"I64x", "llx"}, {"llu", "llu"}};
    static constexpr const char* kFloats[] = {"e", "E", "f", "F", "g", "G", "a", "A"};
    const std::string narrowSpec = "%" + Spec{spec.flags, spec.width, spec.precision}.Text();

    switch (in.Byte() % 6) {
    case 0: {
        const Number& n = kIntegers[in.Byte() % std::size(kIntegers)];
        const int v = static_cast<int>(in.Word());
        Check(Run(spec, Format(n.wide), capacity, v) == Expect(Widen(Snprintf(narrowSpec + n.narrow, v))));
        break;
    }
    case 1: {
        const Number& n = kLongs[in.Byte() % std::size(kLongs)];
        const long long v = static_cast<long long>(in.Word());
        Check(Run(spec, Format(n.wide), capacity, v) == Expect(Widen(Snprintf(narrowSpec + n.narrow, v))));
        break;
    }
    case 2: {
        const char* type = kFloats[in.Byte() % std::size(kFloats)];
        const uint64_t bits = in.Word();
        double v;
        static_assert(sizeof v == sizeof bits);
        __builtin_memcpy(&v, &bits, sizeof v);
        Check(Run(spec, Format(type), capacity, v) == Expect(Widen(Snprintf(narrowSpec + type, v))));
        break;
    }
    case 3: {
        // A wide string: at most precision units, never half a pair.
        const std::u16string text = in.WideText(40);
        const std::u16string shown = spec.precision >= 0 ? Cut(text, spec.precision) : text;
        Check(Run(spec, Format("s"), capacity, text.c_str()) == Expect(spec.Padded(shown)));
        break;
    }
    case 4: {
        // A UTF-8 string: converted with the tree's rule, then cut as above.
        const std::string text = in.NarrowText(40);
        const std::u16string wide = QV::Utf8ToUtf16(text);
        const std::u16string shown = spec.precision >= 0 ? Cut(wide, spec.precision) : wide;
        Check(Run(spec, Format("S"), capacity, text.c_str()) == Expect(spec.Padded(shown)));
        break;
    }
    default: {
        const char16_t c = static_cast<char16_t>(in.Byte() << 8 | in.Byte());
        if (c == u'\0') break;
        Check(Run(spec, Format("c"), capacity, static_cast<int>(c)) == Expect(spec.Padded(std::u16string(1, c))));
        break;
    }
    }
    return 0;
}
