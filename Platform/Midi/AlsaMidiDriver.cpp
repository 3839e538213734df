#include "AlsaMidiDriver.h"

#include <RtMidi.h>
#include <unistd.h>

#include <algorithm>

namespace Platform::Midi {
namespace {

constexpr char kClientName[] = "Tarsel Preset Editor";

// Installed on every RtMidi object, so failures are reported by results
// instead of exceptions and text on stderr.
void RecordError(RtMidiError::Type, const std::string&, void* failed)
{
    if (failed != nullptr) {
        *static_cast<bool*>(failed) = true;
    }
}

template <typename RtMidiPort>
std::vector<std::string> ListPorts(RtMidiPort* lister)
{
    std::vector<std::string> names;
    if (lister == nullptr) {
        return names;
    }
    try {
        const unsigned int count = lister->getPortCount();
        for (unsigned int i = 0; i < count; ++i) {
            names.push_back(lister->getPortName(i));
        }
    } catch (const RtMidiError&) {
        names.clear();
    }
    return names;
}

}  // namespace

class AlsaMidiDriver::Input final : public MidiDriverInput {
public:
    Input(AlsaMidiDriver& driver, std::string name) : mDriver(driver), mName(std::move(name)) {}
    // RtMidi closes the port and joins its input thread, so the sink is not
    // called once this returns.
    ~Input() override { mPort.reset(); }

    MMRESULT Open(std::size_t index, MidiInputSink& sink)
    {
        try {
            mPort = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, kClientName);
            mPort->setErrorCallback(&RecordError, &mFailed);
            // System Exclusive, timing and active sensing all reach the caller.
            mPort->ignoreTypes(false, false, false);
            mPort->setCallback(&Deliver, &sink);
            mPort->openPort(static_cast<unsigned int>(index), kClientName);
        } catch (const RtMidiError&) {
            return MMSYSERR_ERROR;
        }
        return (!mFailed && mPort->isPortOpen()) ? MMSYSERR_NOERROR : MMSYSERR_ALLOCATED;
    }

    bool IsPresent() const override
    {
        const auto names = mDriver.InputNames();
        return std::find(names.begin(), names.end(), mName) != names.end();
    }

private:
    static void Deliver(double, std::vector<unsigned char>* message, void* sink)
    {
        if (message != nullptr && !message->empty()) {
            static_cast<MidiInputSink*>(sink)->OnBytes(message->data(), message->size());
        }
    }

    AlsaMidiDriver& mDriver;
    const std::string mName;
    bool mFailed = false;
    std::unique_ptr<RtMidiIn> mPort;
};

class AlsaMidiDriver::Output final : public MidiDriverOutput {
public:
    Output(AlsaMidiDriver& driver, std::string name) : mDriver(driver), mName(std::move(name)) {}
    ~Output() override { mPort.reset(); }

    MMRESULT Open(std::size_t index)
    {
        try {
            mPort = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, kClientName);
            mPort->setErrorCallback(&RecordError, &mFailed);
            mPort->openPort(static_cast<unsigned int>(index), kClientName);
        } catch (const RtMidiError&) {
            return MMSYSERR_ERROR;
        }
        return (!mFailed && mPort->isPortOpen()) ? MMSYSERR_NOERROR : MMSYSERR_ALLOCATED;
    }

    MMRESULT Send(const std::uint8_t* data, std::size_t size) override
    {
        mFailed = false;
        try {
            mPort->sendMessage(data, size);
        } catch (const RtMidiError&) {
            return MMSYSERR_ERROR;
        }
        return mFailed ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
    }

    // The sequencer takes each message at once; there is nothing to abort.
    void SetAborting(bool) override {}

    bool IsPresent() const override
    {
        const auto names = mDriver.OutputNames();
        return std::find(names.begin(), names.end(), mName) != names.end();
    }

private:
    AlsaMidiDriver& mDriver;
    const std::string mName;
    bool mFailed = false;
    std::unique_ptr<RtMidiOut> mPort;
};

AlsaMidiDriver::AlsaMidiDriver(std::string sequencerDevice) : mSequencerDevice(std::move(sequencerDevice)) {}

AlsaMidiDriver::~AlsaMidiDriver() = default;

bool AlsaMidiDriver::ConnectLocked()
{
    if (!mTried) {
        mTried = true;
        // Without the node RtMidi would print to stderr before it throws.
        if (::access(mSequencerDevice.c_str(), R_OK | W_OK) == 0) {
            try {
                auto in = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, kClientName);
                in->setErrorCallback(&RecordError, nullptr);
                auto out = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, kClientName);
                out->setErrorCallback(&RecordError, nullptr);
                mInputLister = std::move(in);
                mOutputLister = std::move(out);
            } catch (const RtMidiError&) {
                mInputLister.reset();
                mOutputLister.reset();
            }
        }
    }
    return mInputLister && mOutputLister;
}

bool AlsaMidiDriver::IsAvailable()
{
    std::lock_guard lock(mMutex);
    return ConnectLocked();
}

std::vector<std::string> AlsaMidiDriver::InputNames()
{
    std::lock_guard lock(mMutex);
    return ConnectLocked() ? ListPorts(mInputLister.get()) : std::vector<std::string>{};
}

std::vector<std::string> AlsaMidiDriver::OutputNames()
{
    std::lock_guard lock(mMutex);
    return ConnectLocked() ? ListPorts(mOutputLister.get()) : std::vector<std::string>{};
}

MMRESULT AlsaMidiDriver::OpenInput(std::size_t index, MidiInputSink& sink, std::unique_ptr<MidiDriverInput>& input)
{
    const auto names = InputNames();
    if (index >= names.size()) {
        return names.empty() ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    }
    auto opened = std::make_unique<Input>(*this, names[index]);
    const MMRESULT result = opened->Open(index, sink);
    if (result == MMSYSERR_NOERROR) {
        input = std::move(opened);
    }
    return result;
}

MMRESULT AlsaMidiDriver::OpenOutput(std::size_t index, std::unique_ptr<MidiDriverOutput>& output)
{
    const auto names = OutputNames();
    if (index >= names.size()) {
        return names.empty() ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    }
    auto opened = std::make_unique<Output>(*this, names[index]);
    const MMRESULT result = opened->Open(index);
    if (result == MMSYSERR_NOERROR) {
        output = std::move(opened);
    }
    return result;
}

}  // namespace Platform::Midi
