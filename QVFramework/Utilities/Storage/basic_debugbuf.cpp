#include "basic_debugbuf.h"

#include <algorithm>

#include "DebugOutput.h"
#include "DebugText.h"

namespace QV {

namespace {

bool IsHighSurrogate(char) { return false; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

template <class C>
basic_debugbuf<C>::basic_debugbuf(const DebugEndpoint& endpoint, DebugDatagramSender& sender)
    : mEndpoint(endpoint), mSender(sender)
{
    this->setp(mBuffer, mBuffer + kMessageLength);
}

template <class C>
basic_debugbuf<C>::~basic_debugbuf()
{
    if (Buffered() > 0) {
        basic_debugbuf::sync();
    }
}

template <class C>
std::streamsize basic_debugbuf<C>::xsputn(const C* text, std::streamsize count)
{
    std::streamsize taken = 0;
    while (taken < count) {
        if (Buffered() > kMessageLength - 1) {
            SendFull();
        }
        const std::streamsize chunk = std::min(count - taken, kMessageLength - Buffered());
        std::copy(text + taken, text + taken + chunk, this->pptr());
        this->pbump(static_cast<int>(chunk));
        taken += chunk;
    }
    return count;
}

template <class C>
typename basic_debugbuf<C>::int_type basic_debugbuf<C>::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    if (Buffered() >= kMessageLength) {
        SendFull();
    }
    *this->pptr() = traits_type::to_char_type(c);
    this->pbump(1);
    return c;
}

template <class C>
int basic_debugbuf<C>::sync()
{
    Send(std::basic_string_view<C>(this->pbase(), static_cast<size_t>(Buffered())));
    this->setp(mBuffer, mBuffer + kMessageLength);
    return 0;
}

template <class C>
void basic_debugbuf<C>::SendFull()
{
    const std::streamsize count = Buffered();
    if (count > 1 && IsHighSurrogate(mBuffer[count - 1])) {
        const C carried = mBuffer[count - 1];
        Send(std::basic_string_view<C>(mBuffer, static_cast<size_t>(count - 1)));
        this->setp(mBuffer, mBuffer + kMessageLength);
        mBuffer[0] = carried;
        this->pbump(1);
        return;
    }
    sync();
}

template <class C>
void basic_debugbuf<C>::Send(std::basic_string_view<C> text)
{
    const int32_t port = mEndpoint.port;
    if (port <= 0 || port > 0xFFFF) {
        Platform::OutputDebugText(ToUtf8(text));
        return;
    }
    mSender.Send(mEndpoint.hostName, port, ToUtf8(text));
}

template class basic_debugbuf<char>;
template class basic_debugbuf<char16_t>;

}  // namespace QV
