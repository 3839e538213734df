#pragma once
// Counted, copy-on-write text. StringT<char16_t,char> holds UTF-16 text;
// its twin StringT<char,char16_t> holds UTF-8. Lengths, indexes and counts
// are in code units of T. Copies share one buffer; a writer locks the string
// to get a private buffer and unlocks it when done.
//
// Buffer invariants:
//  - unlocked: the buffer is shareable, its size is (length + 1) units and
//    the last unit is NUL; every empty string shares one static buffer;
//  - locked: the buffer is private and unshareable, its size is the locked
//    length in units, the text ends at the first NUL and the last unit is NUL.
#include <concepts>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "Buffer.h"
#include "RCPtr.h"
#include "Result.h"

namespace QV {

template <class T, class U>
class StringT;

using String = StringT<char16_t, char>;
using NarrowString = StringT<char, char16_t>;

// UTF-8 text of `length` bytes (-1: up to and including the NUL) into out.
// Returns S_OK, or E_FAIL when the text is cut or ill-formed; what was
// converted before the stop stays in out.
[[nodiscard]] QVResult ConvertUTF8ToString(String& out, const char* text, int32_t length);
// UTF-16 text of `length` units (-1: up to and including the NUL) into out.
// Unpaired surrogates are written as their own three-byte form.
[[nodiscard]] QVResult ConvertStringToUTF8(NarrowString& out, const char16_t* text, int32_t length);

template <class T, class U>
class StringT {
public:
    // As a maximum length: the whole text.
    static constexpr int32_t kWholeText = 0x7FFFFFFE;

    StringT();
    // One unit; NUL gives the empty string.
    StringT(T c);
    StringT(const T* text);
    // Text in the other encoding (UTF-8 for the wide string).
    StringT(const U* text);
    StringT(const StringT<U, T>& other);
    StringT(const StringT& other);
    StringT& operator=(const StringT& other);
    virtual ~StringT() = default;

    // Copies at most maxLength units of text. A locked string writes into its
    // locked buffer and keeps only what fits there.
    void Assign(const T* text, int32_t maxLength = kWholeText);
    // Text of `length` units in the other encoding (-1: up to its NUL).
    void AssignNarrow(const U* text, int32_t length);

    int32_t GetLength() const;
    bool IsEmpty() const { return GetChars()[0] == T(0); }
    const T* GetChars() const { return reinterpret_cast<const T*>(mBuffer->GetData()); }
    bool IsLocked() const { return !mBuffer->IsShareable(); }
    // The text without its NUL; valid while the string is unchanged.
    std::basic_string_view<T> View() const { return {GetChars(), static_cast<size_t>(GetLength())}; }
    operator std::basic_string_view<T>() const& { return View(); }
    // A view of a temporary would outlive its text: such a line must not compile.
    operator std::basic_string_view<T>() const&& = delete;
    // The text as UTF-8, for libraries that take it.
    std::string ToUtf8() const;

    // A null or empty text equals only the empty string.
    bool operator==(const T* text) const;
    bool operator==(const U* text) const;
    bool operator==(const StringT& other) const;
    // Code-unit order; a prefix sorts first.
    bool operator<(const StringT& other) const;

    // Index of the first occurrence of sub, or -1.
    int32_t Find(const T* sub) const;
    int32_t Find(const StringT& sub) const { return Find(sub.GetChars()); }
    // Index of the last occurrence of c, or -1.
    int32_t ReverseFind(T c) const;

    // A negative start counts from the end.
    StringT Mid(int32_t start, int32_t count) const;
    StringT Mid(uint32_t start) const;
    StringT Left(int32_t count) const { return Mid(0, count); }
    StringT operator+(const StringT& other) const;
    StringT ToLower() const;
    StringT ToUpper() const;
    // Without leading and trailing blanks, tabs, CR and LF.
    StringT Trim() const;
    // Without the trailing units that belong to set.
    StringT TrimRight(const T* set) const;
    StringT GetCopy() const { return *this; }

    // printf-style text with the wide rules: %s a wide string, %S a UTF-8
    // one, %c a wide unit, %C a narrow one; %ld is 32 bits, %I64d/%lld 64.
    // Output is cut at 16383 units. Wide strings only: the narrow
    // instance declares it but has no definition.
    void Format(const T* format, ...);

    // Gives a private, writable buffer of n units (0: length + 1) holding the
    // text; null when already locked.
    T* Lock(int32_t n = 0);
    // Ends a Lock: 0, or 1 when the string was not locked.
    int32_t Unlock();

    StringT& operator+=(const StringT& other);
    // E_INVALIDARG when index is beyond the length.
    [[nodiscard]] QVResult Insert(int32_t index, const StringT& other);
    [[nodiscard]] QVResult Insert(int32_t index, const U* text);
    [[nodiscard]] QVResult Insert(int32_t index, const T* text, int32_t maxLength = kWholeText);
    void AppendChar(U c);
    // NUL appends nothing.
    void AppendChar(T c);
    // Every unit found in set becomes c; a NUL c changes nothing.
    void ReplaceChars(const T* set, T c);
    void Clear();

private:
    ConstRCPtr<LIBuffer> mBuffer;

    static ConstRCPtr<LIBuffer> EmptyBuffer();
    LIBuffer* Writable() const { return const_cast<LIBuffer*>(mBuffer.Get()); }
    T* Data() const { return reinterpret_cast<T*>(mBuffer->GetData()); }
    // Units the buffer holds (not the text length).
    uint32_t Capacity() const { return mBuffer->GetSize() / sizeof(T); }
    StringT Mapped(bool upper) const;
    // Takes a converted text of length units whose NUL follows it: a locked
    // string copies it into its own buffer, any other shares the buffer.
    void Adopt(ConstRCPtr<LIBuffer> buffer, uint32_t length);

    friend QVResult ConvertUTF8ToString(String& out, const char* text, int32_t length);
    friend QVResult ConvertStringToUTF8(NarrowString& out, const char16_t* text, int32_t length);
};

template <>
void StringT<char16_t, char>::Format(const char16_t* format, ...);
template <>
std::string StringT<char16_t, char>::ToUtf8() const;
template <>
std::string StringT<char, char16_t>::ToUtf8() const;

// GoogleTest shows strings as quoted UTF-8 text.
void PrintTo(const String& text, std::ostream* out);
void PrintTo(const NarrowString& text, std::ostream* out);

extern template class StringT<char16_t, char>;
extern template class StringT<char, char16_t>;

}  // namespace QV

#include "NumberText.h"
