#pragma once
// MIDI ports with names of the test's choosing: records which ports were
// opened, how many are open, what was sent; feeds bytes to the open inputs;
// can refuse opens per port and let its ports vanish.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "MidiDriver.h"

namespace QV::Testing {

class FakeMidiDriver final : public Platform::Midi::MidiDriver {
public:
    FakeMidiDriver(std::vector<std::string> inputs, std::vector<std::string> outputs)
        : mInputs(std::move(inputs)), mOutputs(std::move(outputs))
    {
    }

    std::vector<std::string> InputNames() override
    {
        std::lock_guard lock(mMutex);
        return mPresent ? mInputs : std::vector<std::string>{};
    }
    std::vector<std::string> OutputNames() override
    {
        std::lock_guard lock(mMutex);
        return mPresent ? mOutputs : std::vector<std::string>{};
    }

    Platform::Midi::MMRESULT OpenInput(std::size_t index, Platform::Midi::MidiInputSink& sink,
                                       std::unique_ptr<Platform::Midi::MidiDriverInput>& input) override
    {
        std::lock_guard lock(mMutex);
        mOpenedInputs.push_back(index);
        if (const auto it = mRefusedInputs.find(index); it != mRefusedInputs.end()) return it->second;
        input = std::make_unique<Input>(*this, sink);
        return Platform::Midi::MMSYSERR_NOERROR;
    }

    Platform::Midi::MMRESULT OpenOutput(std::size_t index,
                                        std::unique_ptr<Platform::Midi::MidiDriverOutput>& output) override
    {
        std::lock_guard lock(mMutex);
        mOpenedOutputs.push_back(index);
        output = std::make_unique<Output>(*this);
        return Platform::Midi::MMSYSERR_NOERROR;
    }

    void RefuseInput(std::size_t index, Platform::Midi::MMRESULT result)
    {
        std::lock_guard lock(mMutex);
        mRefusedInputs[index] = result;
    }
    void SetPresent(bool present)
    {
        std::lock_guard lock(mMutex);
        mPresent = present;
    }
    // To every open input, as one run of the byte stream.
    void Feed(const std::vector<uint8_t>& bytes)
    {
        std::lock_guard lock(mMutex);
        for (Input* input : mLiveInputs) input->sink.OnBytes(bytes.data(), bytes.size());
    }

    std::vector<std::size_t> OpenedInputs() const
    {
        std::lock_guard lock(mMutex);
        return mOpenedInputs;
    }
    std::vector<std::size_t> OpenedOutputs() const
    {
        std::lock_guard lock(mMutex);
        return mOpenedOutputs;
    }
    std::size_t LiveInputCount() const
    {
        std::lock_guard lock(mMutex);
        return mLiveInputs.size();
    }
    std::size_t LiveOutputCount() const
    {
        std::lock_guard lock(mMutex);
        return mLiveOutputs;
    }
    std::vector<std::vector<uint8_t>> Sent() const
    {
        std::lock_guard lock(mMutex);
        return mSent;
    }

private:
    struct Input final : Platform::Midi::MidiDriverInput {
        Input(FakeMidiDriver& d, Platform::Midi::MidiInputSink& s) : driver(d), sink(s)
        {
            driver.mLiveInputs.push_back(this);
        }
        ~Input() override
        {
            std::lock_guard lock(driver.mMutex);
            std::erase(driver.mLiveInputs, this);
        }
        bool IsPresent() const override
        {
            std::lock_guard lock(driver.mMutex);
            return driver.mPresent;
        }
        FakeMidiDriver& driver;
        Platform::Midi::MidiInputSink& sink;
    };

    struct Output final : Platform::Midi::MidiDriverOutput {
        explicit Output(FakeMidiDriver& d) : driver(d) { ++driver.mLiveOutputs; }
        ~Output() override
        {
            std::lock_guard lock(driver.mMutex);
            --driver.mLiveOutputs;
        }
        Platform::Midi::MMRESULT Send(const uint8_t* data, std::size_t size) override
        {
            std::lock_guard lock(driver.mMutex);
            driver.mSent.emplace_back(data, data + size);
            return Platform::Midi::MMSYSERR_NOERROR;
        }
        void SetAborting(bool) override {}
        bool IsPresent() const override
        {
            std::lock_guard lock(driver.mMutex);
            return driver.mPresent;
        }
        FakeMidiDriver& driver;
    };

    mutable std::mutex mMutex;
    const std::vector<std::string> mInputs;
    const std::vector<std::string> mOutputs;
    bool mPresent = true;
    std::map<std::size_t, Platform::Midi::MMRESULT> mRefusedInputs;
    std::vector<std::size_t> mOpenedInputs;
    std::vector<std::size_t> mOpenedOutputs;
    std::vector<Input*> mLiveInputs;
    std::size_t mLiveOutputs = 0;
    std::vector<std::vector<uint8_t>> mSent;
};

}  // namespace QV::Testing
