#pragma once
// PLACEHOLDER: minimal string until the full StringT lands.
#include <cstdint>
#include <cstring>
#include <string>

#include "Buffer.h"

namespace QV {

template <class T, class U>
class StringT {
public:
    StringT() : mText() {}
    StringT(const char* utf8) { while (utf8 && *utf8) mText.push_back(static_cast<T>(static_cast<unsigned char>(*utf8++))); }
    virtual ~StringT() = default;
    const T* GetChars() const { return mText.c_str(); }
    int32_t GetLength() const { return static_cast<int32_t>(mText.size()); }

private:
    std::basic_string<T> mText;
};

using String = StringT<char16_t, char>;
using NarrowString = StringT<char, char16_t>;

}  // namespace QV
