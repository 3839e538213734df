#pragma once
// An unbuffered UTF-16 stream buffer over standard error (written as UTF-8):
// the wide log stream once the debug console is open.
#include <streambuf>
#include <string_view>

namespace QV {

class WideStandardErrorBuf : public std::basic_streambuf<char16_t> {
public:
    WideStandardErrorBuf() = default;
    // A high surrogate still waiting for its pair is written alone.
    ~WideStandardErrorBuf() override;

protected:
    std::streamsize xsputn(const char16_t* text, std::streamsize count) override;
    int_type overflow(int_type c) override;

private:
    void Write(std::u16string_view text);

    // The first half of a surrogate pair split between two writes.
    char16_t mPendingHigh = 0;
};

}  // namespace QV
