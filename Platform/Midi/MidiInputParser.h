#pragma once

// Splits an incoming MIDI byte stream into short messages and System
// Exclusive bytes, the way an input driver does: running status, real-time
// bytes anywhere (also inside System Exclusive), a status byte ending an
// unfinished System Exclusive message.

#include <cstddef>
#include <cstdint>

namespace Platform::Midi {

// Bytes of a message by its status byte, the status byte included.
std::size_t MidiMessageLength(std::uint8_t status);

class MidiInputParser {
public:
    class Listener {
    public:
        // The message packed with its status byte in the lowest 8 bits.
        virtual void OnShortMessage(std::uint32_t packed) = 0;
        virtual void OnSysExByte(std::uint8_t byte) = 0;
        // endsWithF7 is false when a status byte cut the message short.
        virtual void OnSysExEnd(bool endsWithF7) = 0;
        // A data byte with no status to belong to, or a stray F7.
        virtual void OnStrayByte(std::uint8_t byte) = 0;

    protected:
        ~Listener() = default;
    };

    void Feed(std::uint8_t byte, Listener& listener);
    void Clear();

private:
    void StartMessage(std::uint8_t status, Listener& listener);

    bool mInSysEx = false;
    std::uint8_t mRunningStatus = 0;
    std::uint8_t mMessage[3] = {};
    std::size_t mCount = 0;
    std::size_t mNeeded = 0;
};

}  // namespace Platform::Midi
