#pragma once

// The simulated Tarsel's MIDI ports: one input and one output named
// "Tarsel Simulator", answered by the shared keyboard model. Everything the
// keyboard sends reaches the open inputs on the driver's own thread, never
// inside the sender's call. Tests script faults through LoopbackScript.

#include "MidiDriver.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace Platform {
class TarselKeyboard;
}

namespace Platform::Midi {

inline constexpr char kTarselSimulatorPortName[] = "Tarsel Simulator";

struct LoopbackScript {
    bool present = true;                          // false: the ports vanish, open ones stop answering
    MMRESULT inputOpenResult = MMSYSERR_NOERROR;  // refused opens
    MMRESULT outputOpenResult = MMSYSERR_NOERROR;
    MMRESULT sendResult = MMSYSERR_NOERROR;  // refused sends
    bool answerIdentity = true;
    bool answerPresetRequest = true;
    std::uint32_t replyDelayMs = 0;
    // Bytes sent in place of the reply: any length or content, several
    // messages, real-time bytes in between.
    std::optional<std::vector<std::uint8_t>> identityReply;
    std::optional<std::vector<std::uint8_t>> presetReply;
    // System Exclusive sends stay in the device until released or aborted.
    bool holdLongSends = false;
};

class LoopbackMidiDriver final : public MidiDriver {
public:
    explicit LoopbackMidiDriver(TarselKeyboard& keyboard);
    ~LoopbackMidiDriver() override;

    std::vector<std::string> InputNames() override;
    std::vector<std::string> OutputNames() override;
    MMRESULT OpenInput(std::size_t index, MidiInputSink& sink, std::unique_ptr<MidiDriverInput>& input) override;
    MMRESULT OpenOutput(std::size_t index, std::unique_ptr<MidiDriverOutput>& output) override;

    void SetScript(const LoopbackScript& script);
    LoopbackScript GetScript() const;
    // Default script; drops undelivered bytes and the record of sends.
    void Reset();

    // Bytes the keyboard sends to the open inputs, after delayMs.
    void Inject(std::vector<std::uint8_t> bytes, std::uint32_t delayMs = 0);
    // The bytes of every send the device took, in order.
    std::vector<std::vector<std::uint8_t>> SentMessages() const;
    // Sends that the device holds right now.
    std::size_t HeldSendCount() const;
    bool WaitForHeldSends(std::size_t count, std::chrono::milliseconds timeout) const;
    // True once nothing is waiting to reach the inputs.
    bool WaitUntilIdle(std::chrono::milliseconds timeout) const;

private:
    class Input;
    class Output;
    using Clock = std::chrono::steady_clock;

    bool IsPresentLocked() const;
    // The caller wakes the thread once it has let go of the lock, which the
    // thread needs first thing.
    void ScheduleLocked(std::vector<std::uint8_t> bytes, std::uint32_t delayMs);
    void AnswerLocked(const std::vector<std::uint8_t>& message);
    void Run();

    TarselKeyboard& mKeyboard;
    mutable std::mutex mMutex;
    mutable std::condition_variable mChanged;
    std::condition_variable mWake;
    LoopbackScript mScript;
    std::vector<Input*> mInputs;
    std::map<std::pair<Clock::time_point, std::uint64_t>, std::vector<std::uint8_t>> mPending;
    std::uint64_t mNextSequence = 0;
    std::vector<std::vector<std::uint8_t>> mSent;
    std::size_t mHeld = 0;
    bool mQuit = false;
    std::thread mThread;
};

}  // namespace Platform::Midi
