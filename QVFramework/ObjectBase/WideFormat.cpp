#include "WideFormat.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "UtfConversion.h"

namespace QV {

namespace {

// Output cursor that stops quietly at the end of the buffer.
class Sink {
public:
    Sink(char16_t* out, int32_t capacity) : mOut(out), mLast(capacity - 1) {}

    void Put(char16_t c)
    {
        if (mLength < mLast) mOut[mLength++] = c;
    }
    void Put(const char16_t* text, size_t n)
    {
        for (size_t i = 0; i < n && mLength < mLast; ++i) mOut[mLength++] = text[i];
    }
    void PutAscii(const char* text, size_t n)
    {
        for (size_t i = 0; i < n && mLength < mLast; ++i) {
            mOut[mLength++] = static_cast<unsigned char>(text[i]);
        }
    }
    void Repeat(char16_t c, int32_t n)
    {
        for (int32_t i = 0; i < n; ++i) Put(c);
    }
    bool IsFull() const { return mLength >= mLast; }

    int32_t Finish()
    {
        // A pair cut by the end of the buffer loses its high half too.
        if (IsFull() && mLength > 0 && mOut[mLength - 1] >= 0xD800 && mOut[mLength - 1] <= 0xDBFF) {
            --mLength;
        }
        mOut[mLength] = u'\0';
        return mLength;
    }

private:
    char16_t* mOut;
    int32_t mLast;
    int32_t mLength = 0;
};

enum class Size { kDefault, kChar, kShort, kLong32, kLong64, kNarrow, kWide };

struct Conversion {
    std::string flags;
    int32_t width = -1;
    int32_t precision = -1;
    Size size = Size::kDefault;
    char16_t conversion = 0;

    bool LeftAligned() const { return flags.find('-') != std::string::npos; }
    bool ZeroPadded() const { return flags.find('0') != std::string::npos && !LeftAligned(); }
};

// Parses flags, width, precision and size after the '%'; p is left on the
// conversion character (or the NUL that ends the format).
const char16_t* ParseConversion(const char16_t* p, Conversion& conv, va_list& args, int32_t limit)
{
    while (*p == u'-' || *p == u'+' || *p == u' ' || *p == u'0' || *p == u'#') {
        conv.flags += static_cast<char>(*p++);
    }
    if (*p == u'*') {
        int32_t w = va_arg(args, int);
        ++p;
        if (w < 0) {
            conv.flags += '-';
            w = w == INT32_MIN ? INT32_MAX : -w;
        }
        conv.width = w;
    } else if (*p >= u'0' && *p <= u'9') {
        int64_t w = 0;
        while (*p >= u'0' && *p <= u'9') w = std::min<int64_t>(w * 10 + (*p++ - u'0'), INT32_MAX);
        conv.width = static_cast<int32_t>(w);
    }
    if (*p == u'.') {
        ++p;
        if (*p == u'*') {
            const int32_t prec = va_arg(args, int);
            ++p;
            conv.precision = prec < 0 ? -1 : prec;
        } else {
            int64_t prec = 0;
            while (*p >= u'0' && *p <= u'9') prec = std::min<int64_t>(prec * 10 + (*p++ - u'0'), INT32_MAX);
            conv.precision = static_cast<int32_t>(prec);
        }
    }
    // Nothing wider than the buffer can ever show.
    if (conv.width > limit) conv.width = limit;
    if (conv.precision > limit) conv.precision = limit;

    if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
        conv.size = Size::kLong64;
        p += 3;
    } else if (p[0] == u'I' && p[1] == u'3' && p[2] == u'2') {
        conv.size = Size::kLong32;
        p += 3;
    } else if (p[0] == u'h' && p[1] == u'h') {
        conv.size = Size::kChar;
        p += 2;
    } else if (p[0] == u'l' && p[1] == u'l') {
        conv.size = Size::kLong64;
        p += 2;
    } else {
        switch (*p) {
        case u'h': conv.size = Size::kShort; ++p; break;
        case u'l': conv.size = Size::kLong32; ++p; break;
        case u'w': conv.size = Size::kWide; ++p; break;
        case u'L':
        case u'q':
        case u'I':
        case u'z':
        case u'j':
        case u't': conv.size = Size::kLong64; ++p; break;
        default: break;
        }
    }
    conv.conversion = *p;
    return p;
}

void Pad(Sink& sink, const Conversion& conv, size_t length, bool before)
{
    if (conv.width < 0 || static_cast<size_t>(conv.width) <= length) return;
    if (before == conv.LeftAligned()) return;
    sink.Repeat(conv.ZeroPadded() ? u'0' : u' ', conv.width - static_cast<int32_t>(length));
}

void PutPadded(Sink& sink, const Conversion& conv, const char16_t* text, size_t n)
{
    Pad(sink, conv, n, true);
    sink.Put(text, n);
    Pad(sink, conv, n, false);
}

// One numeric conversion through the C library, widened to UTF-16.
template <class V>
void PutNumber(Sink& sink, const Conversion& conv, const char* lengthModifier, char conversion, V value)
{
    std::string format(1, '%');
    format += conv.flags;
    if (conv.width >= 0) format += std::to_string(conv.width);
    if (conv.precision >= 0) {
        format += '.';
        format += std::to_string(conv.precision);
    }
    format += lengthModifier;
    format += conversion;

    char small[128];
    const int n = std::snprintf(small, sizeof small, format.c_str(), value);
    if (n < 0) return;
    if (static_cast<size_t>(n) < sizeof small) {
        sink.PutAscii(small, static_cast<size_t>(n));
        return;
    }
    std::string large(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(large.data(), large.size(), format.c_str(), value);
    sink.PutAscii(large.data(), static_cast<size_t>(n));
}

void PutSigned(Sink& sink, const Conversion& conv, va_list& args)
{
    long long v;
    switch (conv.size) {
    case Size::kChar: v = static_cast<signed char>(va_arg(args, int)); break;
    case Size::kShort: v = static_cast<short>(va_arg(args, int)); break;
    case Size::kLong64: v = va_arg(args, long long); break;
    default: v = va_arg(args, int); break;
    }
    PutNumber(sink, conv, "ll", 'd', v);
}

void PutUnsigned(Sink& sink, const Conversion& conv, va_list& args)
{
    unsigned long long v;
    switch (conv.size) {
    case Size::kChar: v = static_cast<unsigned char>(va_arg(args, unsigned)); break;
    case Size::kShort: v = static_cast<unsigned short>(va_arg(args, unsigned)); break;
    case Size::kLong64: v = va_arg(args, unsigned long long); break;
    default: v = va_arg(args, unsigned); break;
    }
    PutNumber(sink, conv, "ll", static_cast<char>(conv.conversion), v);
}

bool WantsNarrow(const Conversion& conv, bool narrowByDefault)
{
    if (conv.size == Size::kShort) return true;
    if (conv.size == Size::kLong32 || conv.size == Size::kWide) return false;
    return narrowByDefault;
}

void PutChar(Sink& sink, const Conversion& conv, va_list& args, bool narrowByDefault)
{
    const int value = va_arg(args, int);
    char16_t c;
    if (WantsNarrow(conv, narrowByDefault)) {
        // A lone byte is whole UTF-8 only below 0x80.
        const unsigned char byte = static_cast<unsigned char>(value);
        c = byte < 0x80 ? byte : u'\xFFFD';
    } else {
        c = static_cast<char16_t>(value);
    }
    PutPadded(sink, conv, &c, 1);
}

// A precision that ends between the halves of a pair keeps neither.
size_t KeepPairsWhole(const char16_t* text, size_t n, size_t available)
{
    const bool cutsPair = n > 0 && n < available && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF &&
                          text[n] >= 0xDC00 && text[n] <= 0xDFFF;
    return cutsPair ? n - 1 : n;
}

void PutWideString(Sink& sink, const Conversion& conv, const char16_t* text)
{
    if (!text) text = u"(null)";
    size_t n = 0;
    const size_t max = conv.precision < 0 ? SIZE_MAX : static_cast<size_t>(conv.precision);
    while (n < max && text[n] != u'\0') ++n;
    PutPadded(sink, conv, text, KeepPairsWhole(text, n, text[n] == u'\0' ? n : n + 1));
}

void PutNarrowString(Sink& sink, const Conversion& conv, const char* text)
{
    if (!text) text = "(null)";
    // Each unit needs at least one byte and never more than three of its own,
    // so a precision bounds how far the text is read.
    const size_t bytes = conv.precision < 0 ? std::strlen(text)
                                            : strnlen(text, static_cast<size_t>(conv.precision) * 3);
    std::u16string wide(bytes, u'\0');
    const char* source = text;
    char16_t* target = wide.data();
    ConvertUtf8ToUtf16(source, text + bytes, target, wide.data() + wide.size());
    const size_t converted = static_cast<size_t>(target - wide.data());
    size_t n = converted;
    if (conv.precision >= 0 && n > static_cast<size_t>(conv.precision)) n = static_cast<size_t>(conv.precision);
    PutPadded(sink, conv, wide.data(), KeepPairsWhole(wide.data(), n, converted));
}

void PutPointer(Sink& sink, const Conversion& conv, va_list& args)
{
    const void* p = va_arg(args, void*);
    char digits[32];
    const int n = std::snprintf(digits, sizeof digits, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
    // Always all digits; a width pads with blanks only.
    const int32_t pad = conv.width > n ? conv.width - n : 0;
    if (!conv.LeftAligned()) sink.Repeat(u' ', pad);
    sink.PutAscii(digits, static_cast<size_t>(n));
    if (conv.LeftAligned()) sink.Repeat(u' ', pad);
}

// Handles one conversion; false when the conversion character is unknown.
bool PutConversion(Sink& sink, const Conversion& conv, va_list& args)
{
    switch (conv.conversion) {
    case u'd':
    case u'i': PutSigned(sink, conv, args); return true;
    case u'u':
    case u'o':
    case u'x':
    case u'X': PutUnsigned(sink, conv, args); return true;
    case u'e':
    case u'E':
    case u'f':
    case u'F':
    case u'g':
    case u'G':
    case u'a':
    case u'A':
        PutNumber(sink, conv, "", static_cast<char>(conv.conversion), va_arg(args, double));
        return true;
    case u'c': PutChar(sink, conv, args, false); return true;
    case u'C': PutChar(sink, conv, args, true); return true;
    case u's':
    case u'S':
        if (WantsNarrow(conv, conv.conversion == u'S')) {
            PutNarrowString(sink, conv, va_arg(args, const char*));
        } else {
            PutWideString(sink, conv, va_arg(args, const char16_t*));
        }
        return true;
    case u'p': PutPointer(sink, conv, args); return true;
    case u'n': (void)va_arg(args, void*); return true;
    case u'%': sink.Put(u'%'); return true;
    default: return false;
    }
}

}  // namespace

int32_t FormatWideV(char16_t* out, int32_t capacity, const char16_t* format, va_list args)
{
    if (!out || capacity < 1) return 0;
    Sink sink(out, capacity);
    if (!format) return sink.Finish();
    va_list ap;
    va_copy(ap, args);
    const char16_t* p = format;
    while (*p != u'\0' && !sink.IsFull()) {
        if (*p != u'%') {
            sink.Put(*p++);
            continue;
        }
        const char16_t* start = p;
        Conversion conv;
        p = ParseConversion(p + 1, conv, ap, capacity);
        if (*p == u'\0' || !PutConversion(sink, conv, ap)) {
            // Unknown or unfinished: the text stands as written.
            const char16_t* stop = *p == u'\0' ? p : p + 1;
            sink.Put(start, static_cast<size_t>(stop - start));
            p = stop;
            continue;
        }
        ++p;
    }
    va_end(ap);
    return sink.Finish();
}

int32_t FormatWide(char16_t* out, int32_t capacity, const char16_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int32_t n = FormatWideV(out, capacity, format, args);
    va_end(args);
    return n;
}

}  // namespace QV
