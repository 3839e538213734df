#pragma once

// Real MIDI ports: the ALSA sequencer through RtMidi. Where no sequencer
// exists (no /dev/snd) it lists no ports and every open fails; RtMidi's
// exceptions and messages never reach the caller.

#include "MidiDriver.h"

#include <memory>
#include <mutex>
#include <string>

class RtMidiIn;
class RtMidiOut;

namespace Platform::Midi {

class AlsaMidiDriver final : public MidiDriver {
public:
    // The device node tells, before RtMidi is asked, whether a sequencer exists.
    explicit AlsaMidiDriver(std::string sequencerDevice = "/dev/snd/seq");
    ~AlsaMidiDriver() override;

    std::vector<std::string> InputNames() override;
    std::vector<std::string> OutputNames() override;
    MMRESULT OpenInput(std::size_t index, MidiInputSink& sink, std::unique_ptr<MidiDriverInput>& input) override;
    MMRESULT OpenOutput(std::size_t index, std::unique_ptr<MidiDriverOutput>& output) override;

    // Whether the sequencer could be reached.
    bool IsAvailable();

private:
    class Input;
    class Output;

    bool ConnectLocked();

    const std::string mSequencerDevice;
    std::mutex mMutex;  // RtMidi objects are not thread-safe
    bool mTried = false;
    std::unique_ptr<RtMidiIn> mInputLister;
    std::unique_ptr<RtMidiOut> mOutputLister;
};

}  // namespace Platform::Midi
