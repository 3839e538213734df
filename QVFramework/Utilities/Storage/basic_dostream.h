#pragma once
// A debug stream: a standard output stream over its own basic_debugbuf.
//
// The wide stream (C = char16_t) takes UTF-16 text and std::flush; the
// standard library has no character facets for char16_t, so std::endl and
// number insertion fail on it: write u"\n" and format numbers into the text.
#include <memory>
#include <ostream>

#include "basic_debugbuf.h"

namespace QV {

template <class C>
class basic_dostream : public std::basic_ostream<C> {
public:
    explicit basic_dostream(const DebugEndpoint& endpoint,
                            DebugDatagramSender& sender = GetDebugDatagramSender())
        : std::basic_ostream<C>(nullptr),
          mBuffer(std::make_unique<basic_debugbuf<C>>(endpoint, sender))
    {
        this->init(mBuffer.get());
    }
    // Deleting the buffer sends what it still holds.
    ~basic_dostream() override = default;

    basic_dostream(const basic_dostream&) = delete;
    basic_dostream& operator=(const basic_dostream&) = delete;

private:
    std::unique_ptr<basic_debugbuf<C>> mBuffer;
};

}  // namespace QV
