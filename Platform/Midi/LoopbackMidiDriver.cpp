#include "LoopbackMidiDriver.h"

#include "TarselKeyboard.h"

#include <algorithm>

namespace Platform::Midi {

class LoopbackMidiDriver::Input final : public MidiDriverInput {
public:
    Input(LoopbackMidiDriver& driver, MidiInputSink& sink) : mDriver(driver), mSink(sink) {}
    ~Input() override
    {
        std::lock_guard lock(mDriver.mMutex);
        std::erase(mDriver.mInputs, this);
    }
    bool IsPresent() const override
    {
        std::lock_guard lock(mDriver.mMutex);
        return mDriver.IsPresentLocked();
    }
    MidiInputSink& Sink() { return mSink; }

private:
    LoopbackMidiDriver& mDriver;
    MidiInputSink& mSink;
};

class LoopbackMidiDriver::Output final : public MidiDriverOutput {
public:
    explicit Output(LoopbackMidiDriver& driver) : mDriver(driver) {}

    MMRESULT Send(const std::uint8_t* data, std::size_t size) override
    {
        return Take(data, size, true);
    }

    MMRESULT TrySend(const std::uint8_t* data, std::size_t size) override
    {
        return Take(data, size, false);
    }

    void SetAborting(bool aborting) override
    {
        std::lock_guard lock(mDriver.mMutex);
        mAborting = aborting;
        mDriver.mChanged.notify_all();
    }

    bool IsPresent() const override
    {
        std::lock_guard lock(mDriver.mMutex);
        return mDriver.IsPresentLocked();
    }

private:
    MMRESULT Take(const std::uint8_t* data, std::size_t size, bool mayHold)
    {
        std::unique_lock lock(mDriver.mMutex);
        if (!mDriver.IsPresentLocked()) {
            return MMSYSERR_NODRIVER;
        }
        if (mDriver.mScript.sendResult != MMSYSERR_NOERROR) {
            return mDriver.mScript.sendResult;
        }
        if (size > 0 && data[0] == 0xF0 && mDriver.mScript.holdLongSends) {
            if (!mayHold) {
                return MIDIERR_NOTREADY;
            }
            ++mDriver.mHeld;
            mDriver.mChanged.notify_all();
            mDriver.mChanged.wait(lock,
                                  [this] { return mAborting || mDriver.mQuit || !mDriver.mScript.holdLongSends; });
            --mDriver.mHeld;
            mDriver.mChanged.notify_all();
            if (mAborting || mDriver.mQuit) {
                return MMSYSERR_ERROR;
            }
        }
        mDriver.mSent.emplace_back(data, data + size);
        const std::uint64_t scheduled = mDriver.mNextSequence;
        for (std::size_t i = 0; i < size; ++i) {
            Assemble(data[i]);
        }
        const bool answered = mDriver.mNextSequence != scheduled;
        lock.unlock();
        if (answered) {
            mDriver.mWake.notify_one();
        }
        return MMSYSERR_NOERROR;
    }

    // A System Exclusive message may come in several sends.
    void Assemble(std::uint8_t byte)
    {
        if (byte == 0xF0) {
            mSysEx.assign(1, byte);
            mInSysEx = true;
        } else if (mInSysEx && byte < 0xF8) {
            mSysEx.push_back(byte);
            if (byte == 0xF7) {
                mInSysEx = false;
                mDriver.AnswerLocked(mSysEx);
            } else if (byte > 0x7F) {
                mInSysEx = false;
            }
        }
    }

    LoopbackMidiDriver& mDriver;
    bool mAborting = false;  // guarded by the driver's lock
    bool mInSysEx = false;
    std::vector<std::uint8_t> mSysEx;
};

LoopbackMidiDriver::LoopbackMidiDriver(TarselKeyboard& keyboard) : mKeyboard(keyboard)
{
    mThread = std::thread([this] { Run(); });
}

LoopbackMidiDriver::~LoopbackMidiDriver()
{
    {
        std::lock_guard lock(mMutex);
        mQuit = true;
    }
    mWake.notify_all();
    mChanged.notify_all();
    mThread.join();
}

bool LoopbackMidiDriver::IsPresentLocked() const
{
    return mScript.present && mKeyboard.IsPresent();
}

std::vector<std::string> LoopbackMidiDriver::InputNames()
{
    std::lock_guard lock(mMutex);
    return IsPresentLocked() ? std::vector<std::string>{kTarselSimulatorPortName} : std::vector<std::string>{};
}

std::vector<std::string> LoopbackMidiDriver::OutputNames()
{
    return InputNames();
}

MMRESULT LoopbackMidiDriver::OpenInput(std::size_t index, MidiInputSink& sink, std::unique_ptr<MidiDriverInput>& input)
{
    std::lock_guard lock(mMutex);
    if (index != 0 || !IsPresentLocked()) {
        return MMSYSERR_BADDEVICEID;
    }
    if (mScript.inputOpenResult != MMSYSERR_NOERROR) {
        return mScript.inputOpenResult;
    }
    auto opened = std::make_unique<Input>(*this, sink);
    mInputs.push_back(opened.get());
    input = std::move(opened);
    return MMSYSERR_NOERROR;
}

MMRESULT LoopbackMidiDriver::OpenOutput(std::size_t index, std::unique_ptr<MidiDriverOutput>& output)
{
    std::lock_guard lock(mMutex);
    if (index != 0 || !IsPresentLocked()) {
        return MMSYSERR_BADDEVICEID;
    }
    if (mScript.outputOpenResult != MMSYSERR_NOERROR) {
        return mScript.outputOpenResult;
    }
    output = std::make_unique<Output>(*this);
    return MMSYSERR_NOERROR;
}

void LoopbackMidiDriver::SetScript(const LoopbackScript& script)
{
    std::lock_guard lock(mMutex);
    mScript = script;
    mChanged.notify_all();
}

LoopbackScript LoopbackMidiDriver::GetScript() const
{
    std::lock_guard lock(mMutex);
    return mScript;
}

void LoopbackMidiDriver::Reset()
{
    std::lock_guard lock(mMutex);
    mScript = LoopbackScript{};
    mPending.clear();
    mSent.clear();
    mChanged.notify_all();
}

void LoopbackMidiDriver::Inject(std::vector<std::uint8_t> bytes, std::uint32_t delayMs)
{
    {
        std::lock_guard lock(mMutex);
        ScheduleLocked(std::move(bytes), delayMs);
    }
    mWake.notify_one();
}

std::vector<std::vector<std::uint8_t>> LoopbackMidiDriver::SentMessages() const
{
    std::lock_guard lock(mMutex);
    return mSent;
}

std::size_t LoopbackMidiDriver::HeldSendCount() const
{
    std::lock_guard lock(mMutex);
    return mHeld;
}

bool LoopbackMidiDriver::WaitForHeldSends(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mMutex);
    return mChanged.wait_for(lock, timeout, [&] { return mHeld >= count; });
}

bool LoopbackMidiDriver::WaitUntilIdle(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mMutex);
    return mChanged.wait_for(lock, timeout, [this] { return mPending.empty(); });
}

void LoopbackMidiDriver::ScheduleLocked(std::vector<std::uint8_t> bytes, std::uint32_t delayMs)
{
    mPending.emplace(std::make_pair(Clock::now() + std::chrono::milliseconds(delayMs), mNextSequence++),
                     std::move(bytes));
}

void LoopbackMidiDriver::AnswerLocked(const std::vector<std::uint8_t>& message)
{
    if (TarselKeyboard::IsIdentityRequest(message.data(), message.size())) {
        if (mScript.answerIdentity) {
            ScheduleLocked(mScript.identityReply.value_or(TarselKeyboard::IdentityReply()), mScript.replyDelayMs);
        }
    } else if (TarselKeyboard::IsPresetRequest(message.data(), message.size())) {
        if (mScript.answerPresetRequest) {
            ScheduleLocked(mScript.presetReply.value_or(mKeyboard.BuildPresetDump()), mScript.replyDelayMs);
        }
    } else {
        // A dump that the keyboard refuses changes nothing, as on the device.
        mKeyboard.ApplyPresetDump(message.data(), message.size());
    }
}

void LoopbackMidiDriver::Run()
{
    std::unique_lock lock(mMutex);
    while (!mQuit) {
        if (mPending.empty()) {
            mWake.wait(lock);
            continue;
        }
        const auto due = mPending.begin()->first.first;
        if (Clock::now() < due) {
            mWake.wait_until(lock, due);
            continue;
        }
        const std::vector<std::uint8_t> bytes = std::move(mPending.begin()->second);
        mPending.erase(mPending.begin());
        // Delivered under the lock, so an input that closes is never called after.
        if (IsPresentLocked()) {
            for (Input* input : mInputs) {
                input->Sink().OnBytes(bytes.data(), bytes.size());
            }
        }
        mChanged.notify_all();
    }
}

}  // namespace Platform::Midi
