#include "InstanceMessage.h"

namespace Platform::SingleInstance {
namespace {

void PutUint32(std::string& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

uint32_t GetUint32(const unsigned char* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

// Cuts to at most limit bytes without splitting a UTF-8 sequence.
std::string_view CutUtf8(std::string_view text, size_t limit)
{
    if (text.size() <= limit) return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace

std::string EncodeMessage(std::string_view utf8)
{
    const std::string_view text = CutUtf8(utf8, kMaxMessageBytes - 1);
    std::string out;
    out.reserve(kHeaderBytes + text.size() + 1);
    PutUint32(out, static_cast<uint32_t>(kMessageId));
    PutUint32(out, static_cast<uint32_t>(text.size() + 1));
    out.append(text);
    out.push_back('\0');
    return out;
}

MessageHeader DecodeHeader(const unsigned char (&bytes)[kHeaderBytes])
{
    return {static_cast<int32_t>(GetUint32(bytes)), GetUint32(bytes + 4)};
}

bool IsAcceptableHeader(const MessageHeader& header)
{
    return header.id == kMessageId && header.length >= 1 && header.length <= kMaxMessageBytes;
}

std::optional<std::string> DecodeBody(std::string_view body)
{
    const size_t nul = body.find('\0');
    if (nul == std::string_view::npos) return std::nullopt;
    return std::string(body.substr(0, nul));
}

ParsedRecord ParseRecord(std::string_view received)
{
    using State = ParsedRecord::State;
    if (received.size() < kHeaderBytes) return {};
    unsigned char head[kHeaderBytes];
    for (size_t i = 0; i < kHeaderBytes; ++i) head[i] = static_cast<unsigned char>(received[i]);
    const MessageHeader header = DecodeHeader(head);
    if (!IsAcceptableHeader(header)) return {State::kRefused, {}};
    if (received.size() - kHeaderBytes < header.length) return {};
    std::optional<std::string> text = DecodeBody(received.substr(kHeaderBytes, header.length));
    if (!text) return {State::kRefused, {}};
    return {State::kTaken, std::move(*text)};
}

}  // namespace Platform::SingleInstance
