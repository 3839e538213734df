#include "MidiInputParser.h"

namespace Platform::Midi {

std::size_t MidiMessageLength(std::uint8_t status)
{
    if ((status >= 0x80 && status <= 0xBF) || (status >= 0xE0 && status <= 0xEF) || status == 0xF2) {
        return 3;
    }
    if ((status >= 0xC0 && status <= 0xDF) || status == 0xF1 || status == 0xF3) {
        return 2;
    }
    return 1;
}

void MidiInputParser::Clear()
{
    inSysEx_ = false;
    runningStatus_ = 0;
    count_ = 0;
    needed_ = 0;
}

void MidiInputParser::Feed(std::uint8_t byte, Listener& listener)
{
    if (byte >= 0xF8) {
        listener.OnShortMessage(byte);
        return;
    }
    if (inSysEx_) {
        if (byte < 0x80 || byte == 0xF7) {
            listener.OnSysExByte(byte);
            if (byte == 0xF7) {
                inSysEx_ = false;
                listener.OnSysExEnd(true);
            }
            return;
        }
        inSysEx_ = false;
        listener.OnSysExEnd(false);
    }
    if (byte == 0xF0) {
        inSysEx_ = true;
        runningStatus_ = 0;
        count_ = 0;
        listener.OnSysExByte(byte);
        return;
    }
    if (byte == 0xF7) {
        listener.OnStrayByte(byte);
        return;
    }
    if (byte >= 0x80) {
        StartMessage(byte, listener);
        return;
    }
    if (count_ == 0) {
        if (runningStatus_ == 0) {
            listener.OnStrayByte(byte);
            return;
        }
        StartMessage(runningStatus_, listener);
    }
    message_[count_++] = byte;
    if (count_ == needed_) {
        listener.OnShortMessage(message_[0] | (message_[1] << 8) | (needed_ == 3 ? message_[2] << 16 : 0));
        count_ = 0;
    }
}

void MidiInputParser::StartMessage(std::uint8_t status, Listener& listener)
{
    // System common messages cancel running status; channel messages set it.
    runningStatus_ = status < 0xF0 ? status : 0;
    needed_ = MidiMessageLength(status);
    message_[0] = status;
    count_ = 1;
    if (needed_ == 1) {
        listener.OnShortMessage(status);
        count_ = 0;
    }
}

}  // namespace Platform::Midi
