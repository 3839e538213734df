#pragma once
// The record a second start hands to the running instance:
//   int32  id      1125, little-endian
//   uint32 length  bytes that follow: the UTF-8 text and its NUL
//   bytes          the text, NUL, (anything after the first NUL is ignored)
// A record is taken only whole: the right id, a length of 1..kMaxMessageBytes,
// every announced byte received and a NUL among them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Platform::SingleInstance {

inline constexpr int32_t kMessageId = 1125;
inline constexpr size_t kHeaderBytes = 8;
// Longest body (text and NUL) a listener reads; longer records are dropped.
inline constexpr uint32_t kMaxMessageBytes = 32768;

// The record for utf8; a longer text is cut, at a character boundary, so
// the body fits kMaxMessageBytes.
std::string EncodeMessage(std::string_view utf8);

struct MessageHeader {
    int32_t id = 0;
    uint32_t length = 0;
};
MessageHeader DecodeHeader(const unsigned char (&bytes)[kHeaderBytes]);
// Whether a body of this header is worth reading at all.
bool IsAcceptableHeader(const MessageHeader& header);
// The text before the first NUL of body; none when body holds no NUL.
std::optional<std::string> DecodeBody(std::string_view body);

// What the bytes received so far on a connection make.
struct ParsedRecord {
    enum class State {
        kNeedMore,  // a whole record may still come
        kTaken,     // a whole record: text holds its text
        kRefused,   // no whole record can come of these bytes
    };
    State state = State::kNeedMore;
    std::string text;
};
// Bytes after a whole record are ignored.
ParsedRecord ParseRecord(std::string_view received);

}  // namespace Platform::SingleInstance
