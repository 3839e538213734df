#include "StringT.h"

#include <cstdarg>
#include <cstring>
#include <cwctype>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "Exception.h"
#include "LiveObjects.h"
#include "TextLength.h"
#include "UtfConversion.h"
#include "WideFormat.h"

namespace QV {

namespace {

template <class T>
bool Contains(const T* set, T c)
{
    for (; *set != T(0); ++set) {
        if (*set == c) return true;
    }
    return false;
}

template <class T>
bool IsBlank(T c)
{
    return c == T(' ') || c == T('\t') || c == T('\r') || c == T('\n');
}

// Unsigned unit value, so UTF-8 bytes order above ASCII.
template <class T>
uint32_t UnitValue(T c)
{
    return static_cast<std::make_unsigned_t<T>>(c);
}

template <class T>
T MapUnit(T c, bool upper)
{
    if constexpr (sizeof(T) == 1) {
        // UTF-8 bytes: only ASCII letters have a one-byte case pair.
        if (upper && c >= 'a' && c <= 'z') return static_cast<T>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') return static_cast<T>(c - 'A' + 'a');
        return c;
    } else {
        if (c >= 0xD800 && c <= 0xDFFF) return c;
        const wint_t mapped = upper ? std::towupper(c) : std::towlower(c);
        return mapped > 0xFFFF ? c : static_cast<T>(mapped);
    }
}

}  // namespace

template <class T, class U>
ConstRCPtr<LIBuffer> StringT<T, U>::EmptyBuffer()
{
    // Never released: strings destroyed during static destruction may still
    // hand it back, and its count never reaching 0 keeps it unwritable.
    static LIBuffer* const empty = [] {
        ConstRCPtr<LIBuffer> buffer;
        CreateBuffer(buffer, sizeof(T), 0, true);
        buffer->AddRef();
        LiveObjects::KeepForProcess(buffer.Get());
        return const_cast<LIBuffer*>(buffer.Get());
    }();
    return ConstRCPtr<LIBuffer>(empty);
}

template <class T, class U>
StringT<T, U>::StringT() : mBuffer(EmptyBuffer())
{
}

template <class T, class U>
StringT<T, U>::StringT(T c)
{
    if (c == T(0)) {
        mBuffer = EmptyBuffer();
        return;
    }
    CreateBuffer(mBuffer, 2 * sizeof(T), 0, true);
    Data()[0] = c;
}

template <class T, class U>
StringT<T, U>::StringT(const T* text) : mBuffer(EmptyBuffer())
{
    Assign(text);
}

template <class T, class U>
StringT<T, U>::StringT(const U* text) : mBuffer(EmptyBuffer())
{
    AssignNarrow(text, -1);
}

template <class T, class U>
StringT<T, U>::StringT(const StringT<U, T>& other) : mBuffer(EmptyBuffer())
{
    // The closing NUL is converted too, so a lone high surrogate at the end is
    // written as its own three-byte form instead of being taken for a cut pair.
    AssignNarrow(other.GetChars(), other.IsLocked() ? -1 : other.GetLength() + 1);
}

template <class T, class U>
StringT<T, U>::StringT(const StringT& other)
{
    if (other.IsLocked()) {
        mBuffer = EmptyBuffer();
        Assign(other.GetChars());
    } else {
        mBuffer = other.mBuffer;
    }
}

template <class T, class U>
StringT<T, U>& StringT<T, U>::operator=(const StringT& other)
{
    if (this == &other) return *this;
    // A locked buffer is written in place and is never shared.
    if (IsLocked() || other.IsLocked()) {
        Assign(other.GetChars());
    } else {
        mBuffer = other.mBuffer;
    }
    return *this;
}

template <class T, class U>
void StringT<T, U>::Assign(const T* text, int32_t maxLength)
{
    if (!text || text[0] == T(0) || maxLength <= 0) {
        Clear();
        return;
    }
    size_t len = BoundedLength(text, static_cast<size_t>(maxLength));
    if (IsLocked()) {
        // Never past the locked buffer: keep what fits before its last NUL.
        const size_t room = Capacity() - 1;
        if (len > room) len = room;
        T* data = Data();
        std::memmove(data, text, len * sizeof(T));
        data[len] = T(0);
        return;
    }
    ConstRCPtr<LIBuffer> fresh;
    CreateBuffer(fresh, static_cast<uint32_t>((len + 1) * sizeof(T)), 0, true);
    std::memcpy(fresh->GetData(), text, len * sizeof(T));
    mBuffer = std::move(fresh);
}

template <class T, class U>
void StringT<T, U>::AssignNarrow(const U* text, int32_t length)
{
    if (!text || text[0] == U(0) || length == 0) {
        Clear();
        return;
    }
    // Lenient by design: what converted before a bad sequence is kept.
    StringT converted;
    if constexpr (std::is_same_v<T, char16_t>) {
        (void)ConvertUTF8ToString(converted, text, length < 0 ? -1 : length);
    } else {
        (void)ConvertStringToUTF8(converted, text, length < 0 ? -1 : length);
    }
    *this = converted;
}

template <class T, class U>
int32_t StringT<T, U>::GetLength() const
{
    if (IsLocked()) return static_cast<int32_t>(BoundedLength(GetChars(), Capacity()));
    return static_cast<int32_t>(Capacity()) - 1;
}

template <class T, class U>
bool StringT<T, U>::operator==(const T* text) const
{
    if (!text || text[0] == T(0)) return IsEmpty();
    const T* mine = GetChars();
    for (size_t i = 0;; ++i) {
        if (mine[i] != text[i]) return false;
        if (text[i] == T(0)) return true;
    }
}

template <class T, class U>
bool StringT<T, U>::operator==(const U* text) const
{
    return *this == StringT(text);
}

template <class T, class U>
bool StringT<T, U>::operator==(const StringT& other) const
{
    if (mBuffer.Get() == other.mBuffer.Get()) return true;
    return *this == other.GetChars();
}

template <class T, class U>
bool StringT<T, U>::operator<(const StringT& other) const
{
    if (mBuffer.Get() == other.mBuffer.Get()) return false;
    const T* a = GetChars();
    const T* b = other.GetChars();
    size_t i = 0;
    while (a[i] != T(0) && a[i] == b[i]) ++i;
    return UnitValue(a[i]) < UnitValue(b[i]);
}

template <class T, class U>
int32_t StringT<T, U>::Find(const T* sub) const
{
    if (!sub) return -1;
    const size_t n = BoundedLength(sub, SIZE_MAX);
    const size_t length = static_cast<size_t>(GetLength());
    if (n > length) return -1;
    const T* text = GetChars();
    for (size_t i = 0; i + n <= length; ++i) {
        if (std::memcmp(text + i, sub, n * sizeof(T)) == 0) return static_cast<int32_t>(i);
    }
    return -1;
}

template <class T, class U>
int32_t StringT<T, U>::ReverseFind(T c) const
{
    if (c == T(0)) return -1;
    const T* text = GetChars();
    for (int32_t i = GetLength() - 1; i >= 0; --i) {
        if (text[i] == c) return i;
    }
    return -1;
}

template <class T, class U>
StringT<T, U> StringT<T, U>::Mid(int32_t start, int32_t count) const
{
    const int64_t length = GetLength();
    int64_t first = start;
    int64_t n = count;
    if (first < 0) {
        first += length;
        if (first < 0) {
            n += first;
            first = 0;
        }
    }
    if (first >= length || n <= 0) return StringT();
    if (first + n > length) n = length - first;
    StringT result;
    result.Assign(GetChars() + first, static_cast<int32_t>(n));
    return result;
}

template <class T, class U>
StringT<T, U> StringT<T, U>::Mid(uint32_t start) const
{
    const int32_t length = GetLength();
    if (start >= static_cast<uint32_t>(length)) return StringT();
    return Mid(static_cast<int32_t>(start), length - static_cast<int32_t>(start));
}

template <class T, class U>
StringT<T, U> StringT<T, U>::operator+(const StringT& other) const
{
    StringT result(*this);
    result += other;
    return result;
}

template <class T, class U>
StringT<T, U> StringT<T, U>::Mapped(bool upper) const
{
    const int32_t length = GetLength();
    if (length == 0) return StringT();
    StringT result;
    T* out = result.Lock(length + 1);
    const T* in = GetChars();
    for (int32_t i = 0; i < length; ++i) out[i] = MapUnit(in[i], upper);
    result.Unlock();
    return result;
}

template <class T, class U>
StringT<T, U> StringT<T, U>::ToLower() const
{
    return Mapped(false);
}

template <class T, class U>
StringT<T, U> StringT<T, U>::ToUpper() const
{
    return Mapped(true);
}

template <class T, class U>
StringT<T, U> StringT<T, U>::Trim() const
{
    const T* text = GetChars();
    int32_t first = 0;
    int32_t last = GetLength();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return Mid(first, last - first);
}

template <class T, class U>
StringT<T, U> StringT<T, U>::TrimRight(const T* set) const
{
    if (!set) return *this;
    const T* text = GetChars();
    int32_t last = GetLength();
    while (last > 0 && Contains(set, text[last - 1])) --last;
    return Left(last);
}

// Only the wide string formats; defined for that instance alone so that no
// compiler instantiates it for the narrow one.
template <>
void StringT<char16_t, char>::Format(const char16_t* format, ...)
{
    constexpr int32_t kFormatBuffer = 0x4000;
    // Not zero-filled: the formatter ends the text itself, and emptying 32 KB
    // for every number shown was a large part of the start-up.
    const auto scratch = std::make_unique_for_overwrite<char16_t[]>(kFormatBuffer);
    va_list args;
    va_start(args, format);
    FormatWideV(scratch.get(), kFormatBuffer, format, args);
    va_end(args);
    Assign(scratch.get());
}

template <class T, class U>
T* StringT<T, U>::Lock(int32_t n)
{
    if (IsLocked() || n < 0) return nullptr;
    const uint32_t oldUnits = Capacity();
    const uint32_t m = n == 0 ? static_cast<uint32_t>(GetLength()) + 1 : static_cast<uint32_t>(n);
    const uint32_t bytes = m * sizeof(T);
    if (mBuffer->GetRefCount() > 1) {
        ConstRCPtr<LIBuffer> copy;
        try {
            copy = mBuffer->CopyRange(bytes, 0);
        } catch (const std::bad_alloc&) {
            copy = nullptr;
        }
        if (copy.IsNull()) {
            if constexpr (std::is_same_v<T, char16_t>) {
                throw Exception<std::runtime_error>(
                    "Runtime Error : QV::StringT<wchar_t,char>::Lock : "
                    "qvframework\\utilities\\Storage/StringT : Line 760");
            } else {
                throw Exception<std::runtime_error>(
                    "Runtime Error : QV::StringT<char,wchar_t>::Lock : "
                    "qvframework\\utilities\\Storage/StringT : Line 760");
            }
        }
        mBuffer = std::move(copy);
    }
    Writable()->SetUnshareable(true);
    Writable()->SetSize(bytes);
    T* data = Data();
    // Growing keeps the old bytes only; the rest starts out as NUL.
    for (uint32_t i = oldUnits; i < m; ++i) data[i] = T(0);
    data[m - 1] = T(0);
    return data;
}

template <class T, class U>
int32_t StringT<T, U>::Unlock()
{
    if (!IsLocked()) return kNothingToDo;
    const uint32_t len = static_cast<uint32_t>(GetLength());
    if (len == 0) {
        mBuffer = EmptyBuffer();
        return 0;
    }
    Writable()->SetUnshareable(false);
    Writable()->SetSize((len + 1) * sizeof(T));
    // A writer may have filled the last unit too.
    Data()[len] = T(0);
    return 0;
}

template <class T, class U>
StringT<T, U>& StringT<T, U>::operator+=(const StringT& other)
{
    const uint32_t k = static_cast<uint32_t>(other.GetLength());
    if (k == 0) return *this;
    const uint32_t i = static_cast<uint32_t>(GetLength());
    const bool wasLocked = IsLocked();
    if (wasLocked) {
        Writable()->SetSize((i + k + 1) * sizeof(T));
        Data()[i + k] = T(0);
    } else {
        Lock(static_cast<int32_t>(i + k + 1));
    }
    // Appending a string to itself: locking has moved its text.
    const T* from = &other == this ? Data() : other.GetChars();
    std::memmove(Data() + i, from, k * sizeof(T));
    if (!wasLocked) Unlock();
    return *this;
}

template <class T, class U>
QVResult StringT<T, U>::Insert(int32_t index, const StringT& other)
{
    const int32_t length = GetLength();
    if (index < 0 || index > length) return E_INVALIDARG;
    if (index == length) {
        *this += other;
    } else if (index == 0) {
        *this = other + *this;
    } else {
        *this = Mid(0, index) + other + Mid(static_cast<uint32_t>(index));
    }
    return S_OK;
}

template <class T, class U>
QVResult StringT<T, U>::Insert(int32_t index, const U* text)
{
    if (index < 0 || index > GetLength()) return E_INVALIDARG;
    return Insert(index, StringT(text));
}

template <class T, class U>
QVResult StringT<T, U>::Insert(int32_t index, const T* text, int32_t maxLength)
{
    if (index < 0 || index > GetLength()) return E_INVALIDARG;
    StringT head;
    head.Assign(text, maxLength);
    return Insert(index, head);
}

template <class T, class U>
void StringT<T, U>::AppendChar(U c)
{
    const U text[2] = {c, U(0)};
    (void)Insert(GetLength(), text);  // the end is always a valid index
}

template <class T, class U>
void StringT<T, U>::AppendChar(T c)
{
    const T text[2] = {c, T(0)};
    (void)Insert(GetLength(), text, 1);  // the end is always a valid index
}

template <class T, class U>
void StringT<T, U>::ReplaceChars(const T* set, T c)
{
    if (c == T(0) || !set) return;
    const int32_t length = GetLength();
    std::vector<T> scratch(GetChars(), GetChars() + length);
    scratch.push_back(T(0));
    for (int32_t i = 0; i < length; ++i) {
        if (Contains(set, scratch[i])) scratch[i] = c;
    }
    Assign(scratch.data());
}

template <class T, class U>
void StringT<T, U>::Clear()
{
    if (IsLocked()) {
        Data()[0] = T(0);
    } else {
        mBuffer = EmptyBuffer();
    }
}

template <class T, class U>
void StringT<T, U>::Adopt(ConstRCPtr<LIBuffer> buffer, uint32_t length)
{
    const_cast<LIBuffer*>(buffer.Get())->SetSize((length + 1) * sizeof(T));
    if (IsLocked()) {
        Assign(reinterpret_cast<const T*>(buffer->GetData()));
    } else if (length == 0) {
        Clear();
    } else {
        mBuffer = std::move(buffer);
    }
}

template <>
std::string StringT<char16_t, char>::ToUtf8() const
{
    return Utf16ToUtf8(View());
}

template <>
std::string StringT<char, char16_t>::ToUtf8() const
{
    return std::string(View());
}

template class StringT<char16_t, char>;
template class StringT<char, char16_t>;

namespace {

void PrintQuoted(std::string_view utf8, std::ostream& out)
{
    out << '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (byte < 0x20 || byte == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out << "\\x" << kHex[byte >> 4] << kHex[byte & 0xF];
        } else {
            out << c;
        }
    }
    out << '"';
}

}  // namespace

void PrintTo(const String& text, std::ostream* out)
{
    *out << 'u';
    PrintQuoted(text.ToUtf8(), *out);
}

void PrintTo(const NarrowString& text, std::ostream* out) { PrintQuoted(text.View(), *out); }

}  // namespace QV
