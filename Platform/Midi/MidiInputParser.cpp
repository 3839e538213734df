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
    mInSysEx = false;
    mRunningStatus = 0;
    mCount = 0;
    mNeeded = 0;
}

void MidiInputParser::Feed(std::uint8_t byte, Listener& listener)
{
    if (byte >= 0xF8) {
        listener.OnShortMessage(byte);
        return;
    }
    if (mInSysEx) {
        if (byte < 0x80 || byte == 0xF7) {
            listener.OnSysExByte(byte);
            if (byte == 0xF7) {
                mInSysEx = false;
                listener.OnSysExEnd(true);
            }
            return;
        }
        mInSysEx = false;
        listener.OnSysExEnd(false);
    }
    if (byte == 0xF0) {
        mInSysEx = true;
        mRunningStatus = 0;
        mCount = 0;
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
    if (mCount == 0) {
        if (mRunningStatus == 0) {
            listener.OnStrayByte(byte);
            return;
        }
        StartMessage(mRunningStatus, listener);
    }
    mMessage[mCount++] = byte;
    if (mCount == mNeeded) {
        listener.OnShortMessage(mMessage[0] | (mMessage[1] << 8) | (mNeeded == 3 ? mMessage[2] << 16 : 0));
        mCount = 0;
    }
}

void MidiInputParser::StartMessage(std::uint8_t status, Listener& listener)
{
    // System common messages cancel running status; channel messages set it.
    mRunningStatus = status < 0xF0 ? status : 0;
    mNeeded = MidiMessageLength(status);
    mMessage[0] = status;
    mCount = 1;
    if (mNeeded == 1) {
        listener.OnShortMessage(status);
        mCount = 0;
    }
}

}  // namespace Platform::Midi
