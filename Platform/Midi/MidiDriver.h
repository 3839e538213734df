#pragma once

// What one source of MIDI ports (the ALSA sequencer, the simulated Tarsel)
// offers to MidiServices, which builds the device semantics on top.

#include "MidiDefinitions.h"

#include <memory>
#include <string>
#include <vector>

namespace Platform::Midi {

// Takes the bytes that arrive on an open input: whole messages or any run of
// the byte stream. Called on the driver's own threads.
class MidiInputSink {
public:
    virtual void OnBytes(const std::uint8_t* data, std::size_t size) = 0;

protected:
    ~MidiInputSink() = default;
};

// An open input. Once destroyed it calls its sink no more.
class MidiDriverInput {
public:
    virtual ~MidiDriverInput() = default;
    virtual bool IsPresent() const = 0;
};

class MidiDriverOutput {
public:
    virtual ~MidiDriverOutput() = default;
    // Hands the bytes of one send to the device; returns once it took them.
    virtual MMRESULT Send(const std::uint8_t* data, std::size_t size) = 0;
    // As Send, but MIDIERR_NOTREADY, having sent nothing, where the device
    // would hold the bytes before taking them.
    virtual MMRESULT TrySend(const std::uint8_t* data, std::size_t size) { return Send(data, size); }
    // While aborting, a Send that the device holds, and every later one,
    // returns at once.
    virtual void SetAborting(bool aborting) = 0;
    virtual bool IsPresent() const = 0;
};

class MidiDriver {
public:
    virtual ~MidiDriver() = default;
    // Port names in UTF-8, in the order of their indexes.
    virtual std::vector<std::string> InputNames() = 0;
    virtual std::vector<std::string> OutputNames() = 0;
    virtual MMRESULT OpenInput(std::size_t index, MidiInputSink& sink, std::unique_ptr<MidiDriverInput>& input) = 0;
    virtual MMRESULT OpenOutput(std::size_t index, std::unique_ptr<MidiDriverOutput>& output) = 0;
};

}  // namespace Platform::Midi
