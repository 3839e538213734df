#pragma once
// The stream buffer behind the debug streams. It collects what is written
// and hands each flushed chunk, at most 1023 characters, to the debugger
// output or, when the endpoint has a port, to the debug datagram sender.
#include <cstdint>
#include <streambuf>
#include <string>
#include <string_view>

#include "DebugDatagramSender.h"

namespace QV {

// Where log text goes; read at every flush.
struct DebugEndpoint {
    // Empty: no host (the machine's own is used).
    std::string hostName;
    // 0 or less: the debugger output.
    int32_t port = -1;
};

// C is char (UTF-8 text) or char16_t (UTF-16 text, sent as UTF-8).
template <class C>
class basic_debugbuf : public std::basic_streambuf<C> {
public:
    using int_type = typename std::basic_streambuf<C>::int_type;
    using traits_type = typename std::basic_streambuf<C>::traits_type;

    // One debugger message or datagram carries at most this many characters.
    static constexpr std::streamsize kMessageLength = 1023;

    basic_debugbuf(const DebugEndpoint& endpoint, DebugDatagramSender& sender);
    // Sends what is still buffered.
    ~basic_debugbuf() override;

    basic_debugbuf(const basic_debugbuf&) = delete;
    basic_debugbuf& operator=(const basic_debugbuf&) = delete;

protected:
    // Takes all of text, sending the buffer each time it is full.
    std::streamsize xsputn(const C* text, std::streamsize count) override;
    int_type overflow(int_type c) override;
    // Sends the buffered text (an empty flush still opens the datagram
    // socket when a port is set) and empties the buffer. Always 0.
    int sync() override;

private:
    std::streamsize Buffered() const { return this->pptr() - this->pbase(); }
    // Sends a full buffer. A UTF-16 buffer that ends inside a surrogate pair
    // keeps the high half for the next message, so no character is split.
    void SendFull();
    void Send(std::basic_string_view<C> text);

    const DebugEndpoint& mEndpoint;
    DebugDatagramSender& mSender;
    C mBuffer[kMessageLength];
};

extern template class basic_debugbuf<char>;
extern template class basic_debugbuf<char16_t>;

}  // namespace QV
