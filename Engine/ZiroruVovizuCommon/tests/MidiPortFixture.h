#pragma once
// A comm over services of the test's own: a driver with named ports (device
// ids 0-2 in, 0-1 out), then the simulated Tarsel's loopback (in 3, out 2).
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "Array.h"
#include "CaptureRecorder.h"
#include "FakeMidiDriver.h"
#include "LMidiCapturePort.h"
#include "LMidiComm.h"
#include "LMidiRenderPort.h"
#include "LoopbackMidiDriver.h"
#include "MidiServices.h"
#include "TarselKeyboard.h"

namespace QV::Testing {

using Bytes = std::vector<uint8_t>;

inline Array<signed char> Message(const Bytes& bytes)
{
    Array<signed char> message;
    for (const uint8_t byte : bytes) EXPECT_GE(message.AddItem(static_cast<signed char>(byte)), 0);
    return message;
}

// F0, then 0x00-0x7F counting up, then F7.
inline Bytes SysEx(std::size_t size)
{
    Bytes message(size);
    for (std::size_t i = 0; i < size; ++i) message[i] = static_cast<uint8_t>(i % 0x80);
    message.front() = 0xF0;
    message.back() = 0xF7;
    return message;
}

class MidiPortFixture : public ::testing::Test {
protected:
    explicit MidiPortFixture(uint32_t sendTimeoutMs = 5000) : comm(LMidiComm::Create(sendTimeoutMs))
    {
        recorder = RCPtr<CaptureRecorder>(new CaptureRecorder(comm));
    }

    ~MidiPortFixture() override
    {
        recorder->UnregisterAllNotifications();
        recorder.Reset();
        comm.Reset();
    }

    Platform::TarselKeyboard keyboard;
    std::shared_ptr<FakeMidiDriver> fake = std::make_shared<FakeMidiDriver>(
        std::vector<std::string>{"USB Keys", "TARSEL Pro MIDI In", "Tarsel Pro MIDI In 2"},
        std::vector<std::string>{"USB Keys", "TARSEL Pro MIDI Out"});
    std::shared_ptr<Platform::Midi::LoopbackMidiDriver> loopback =
        std::make_shared<Platform::Midi::LoopbackMidiDriver>(keyboard);
    Platform::Midi::MidiServices services{{fake, loopback}};
    Platform::Midi::ScopedMidiServices scope{services};
    RCPtr<LMidiComm> comm;
    RCPtr<CaptureRecorder> recorder;
};

}  // namespace QV::Testing
