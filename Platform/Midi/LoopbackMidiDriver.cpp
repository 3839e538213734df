#include "LoopbackMidiDriver.h"

#include "TarselKeyboard.h"

#include <algorithm>

namespace Platform::Midi {

class LoopbackMidiDriver::Input final : public MidiDriverInput {
public:
    Input(LoopbackMidiDriver& driver, MidiInputSink& sink) : driver_(driver), sink_(sink) {}
    ~Input() override
    {
        std::lock_guard lock(driver_.mutex_);
        std::erase(driver_.inputs_, this);
    }
    bool IsPresent() const override
    {
        std::lock_guard lock(driver_.mutex_);
        return driver_.IsPresentLocked();
    }
    MidiInputSink& Sink() { return sink_; }

private:
    LoopbackMidiDriver& driver_;
    MidiInputSink& sink_;
};

class LoopbackMidiDriver::Output final : public MidiDriverOutput {
public:
    explicit Output(LoopbackMidiDriver& driver) : driver_(driver) {}

    MMRESULT Send(const std::uint8_t* data, std::size_t size) override
    {
        std::unique_lock lock(driver_.mutex_);
        if (!driver_.IsPresentLocked()) {
            return MMSYSERR_NODRIVER;
        }
        if (driver_.script_.sendResult != MMSYSERR_NOERROR) {
            return driver_.script_.sendResult;
        }
        if (size > 0 && data[0] == 0xF0 && driver_.script_.holdLongSends) {
            ++driver_.held_;
            driver_.changed_.notify_all();
            driver_.changed_.wait(lock,
                                  [this] { return aborting_ || driver_.quit_ || !driver_.script_.holdLongSends; });
            --driver_.held_;
            driver_.changed_.notify_all();
            if (aborting_ || driver_.quit_) {
                return MMSYSERR_ERROR;
            }
        }
        driver_.sent_.emplace_back(data, data + size);
        for (std::size_t i = 0; i < size; ++i) {
            Assemble(data[i]);
        }
        return MMSYSERR_NOERROR;
    }

    void SetAborting(bool aborting) override
    {
        std::lock_guard lock(driver_.mutex_);
        aborting_ = aborting;
        driver_.changed_.notify_all();
    }

    bool IsPresent() const override
    {
        std::lock_guard lock(driver_.mutex_);
        return driver_.IsPresentLocked();
    }

private:
    // A System Exclusive message may come in several sends.
    void Assemble(std::uint8_t byte)
    {
        if (byte == 0xF0) {
            sysEx_.assign(1, byte);
            inSysEx_ = true;
        } else if (inSysEx_ && byte < 0xF8) {
            sysEx_.push_back(byte);
            if (byte == 0xF7) {
                inSysEx_ = false;
                driver_.AnswerLocked(sysEx_);
            } else if (byte > 0x7F) {
                inSysEx_ = false;
            }
        }
    }

    LoopbackMidiDriver& driver_;
    bool aborting_ = false;  // guarded by the driver's lock
    bool inSysEx_ = false;
    std::vector<std::uint8_t> sysEx_;
};

LoopbackMidiDriver::LoopbackMidiDriver(TarselKeyboard& keyboard) : keyboard_(keyboard)
{
    thread_ = std::thread([this] { Run(); });
}

LoopbackMidiDriver::~LoopbackMidiDriver()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    changed_.notify_all();
    thread_.join();
}

bool LoopbackMidiDriver::IsPresentLocked() const
{
    return script_.present && keyboard_.IsPresent();
}

std::vector<std::string> LoopbackMidiDriver::InputNames()
{
    std::lock_guard lock(mutex_);
    return IsPresentLocked() ? std::vector<std::string>{kTarselSimulatorPortName} : std::vector<std::string>{};
}

std::vector<std::string> LoopbackMidiDriver::OutputNames()
{
    return InputNames();
}

MMRESULT LoopbackMidiDriver::OpenInput(std::size_t index, MidiInputSink& sink, std::unique_ptr<MidiDriverInput>& input)
{
    std::lock_guard lock(mutex_);
    if (index != 0 || !IsPresentLocked()) {
        return MMSYSERR_BADDEVICEID;
    }
    if (script_.inputOpenResult != MMSYSERR_NOERROR) {
        return script_.inputOpenResult;
    }
    auto opened = std::make_unique<Input>(*this, sink);
    inputs_.push_back(opened.get());
    input = std::move(opened);
    return MMSYSERR_NOERROR;
}

MMRESULT LoopbackMidiDriver::OpenOutput(std::size_t index, std::unique_ptr<MidiDriverOutput>& output)
{
    std::lock_guard lock(mutex_);
    if (index != 0 || !IsPresentLocked()) {
        return MMSYSERR_BADDEVICEID;
    }
    if (script_.outputOpenResult != MMSYSERR_NOERROR) {
        return script_.outputOpenResult;
    }
    output = std::make_unique<Output>(*this);
    return MMSYSERR_NOERROR;
}

void LoopbackMidiDriver::SetScript(const LoopbackScript& script)
{
    std::lock_guard lock(mutex_);
    script_ = script;
    changed_.notify_all();
}

LoopbackScript LoopbackMidiDriver::GetScript() const
{
    std::lock_guard lock(mutex_);
    return script_;
}

void LoopbackMidiDriver::Reset()
{
    std::lock_guard lock(mutex_);
    script_ = LoopbackScript{};
    pending_.clear();
    sent_.clear();
    changed_.notify_all();
}

void LoopbackMidiDriver::Inject(std::vector<std::uint8_t> bytes, std::uint32_t delayMs)
{
    std::lock_guard lock(mutex_);
    ScheduleLocked(std::move(bytes), delayMs);
}

std::vector<std::vector<std::uint8_t>> LoopbackMidiDriver::SentMessages() const
{
    std::lock_guard lock(mutex_);
    return sent_;
}

std::size_t LoopbackMidiDriver::HeldSendCount() const
{
    std::lock_guard lock(mutex_);
    return held_;
}

bool LoopbackMidiDriver::WaitForHeldSends(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return held_ >= count; });
}

bool LoopbackMidiDriver::WaitUntilIdle(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return pending_.empty(); });
}

void LoopbackMidiDriver::ScheduleLocked(std::vector<std::uint8_t> bytes, std::uint32_t delayMs)
{
    pending_.emplace(std::make_pair(Clock::now() + std::chrono::milliseconds(delayMs), nextSequence_++),
                     std::move(bytes));
    wake_.notify_one();
}

void LoopbackMidiDriver::AnswerLocked(const std::vector<std::uint8_t>& message)
{
    if (TarselKeyboard::IsIdentityRequest(message.data(), message.size())) {
        if (script_.answerIdentity) {
            ScheduleLocked(script_.identityReply.value_or(TarselKeyboard::IdentityReply()), script_.replyDelayMs);
        }
    } else if (TarselKeyboard::IsPresetRequest(message.data(), message.size())) {
        if (script_.answerPresetRequest) {
            ScheduleLocked(script_.presetReply.value_or(keyboard_.BuildPresetDump()), script_.replyDelayMs);
        }
    } else {
        // A dump that the keyboard refuses changes nothing, as on the device.
        keyboard_.ApplyPresetDump(message.data(), message.size());
    }
}

void LoopbackMidiDriver::Run()
{
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (pending_.empty()) {
            wake_.wait(lock);
            continue;
        }
        const auto due = pending_.begin()->first.first;
        if (Clock::now() < due) {
            wake_.wait_until(lock, due);
            continue;
        }
        const std::vector<std::uint8_t> bytes = std::move(pending_.begin()->second);
        pending_.erase(pending_.begin());
        // Delivered under the lock, so an input that closes is never called after.
        if (IsPresentLocked()) {
            for (Input* input : inputs_) {
                input->Sink().OnBytes(bytes.data(), bytes.size());
            }
        }
        changed_.notify_all();
    }
}

}  // namespace Platform::Midi
