#include "WideStandardErrorBuf.h"

#include <iostream>
#include <string>

#include "DebugText.h"

namespace QV {

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

WideStandardErrorBuf::~WideStandardErrorBuf()
{
    if (mPendingHigh != 0) {
        const std::u16string alone(1, mPendingHigh);
        std::cerr << ToUtf8(alone) << std::flush;
    }
}

std::streamsize WideStandardErrorBuf::xsputn(const char16_t* text, std::streamsize count)
{
    Write(std::u16string_view(text, static_cast<size_t>(count)));
    return count;
}

WideStandardErrorBuf::int_type WideStandardErrorBuf::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char16_t unit = traits_type::to_char_type(c);
    Write(std::u16string_view(&unit, 1));
    return c;
}

void WideStandardErrorBuf::Write(std::u16string_view text)
{
    if (text.empty()) {
        return;
    }
    std::u16string whole;
    if (mPendingHigh != 0) {
        whole.push_back(mPendingHigh);
        mPendingHigh = 0;
    }
    whole.append(text);
    if (IsHighSurrogate(whole.back())) {
        mPendingHigh = whole.back();
        whole.pop_back();
    }
    std::cerr << ToUtf8(whole) << std::flush;
}

}  // namespace QV
