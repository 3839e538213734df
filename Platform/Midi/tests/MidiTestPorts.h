#pragma once

// Ports opened through MidiServices the way the editor's port layer uses
// them: three 256-byte input buffers given back after each one is handled,
// System Exclusive data assembled across buffers, long output messages
// answered by MOM_DONE.

#include "MidiServices.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace Platform::Midi::Testing {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

struct ShortInput {
    std::uint32_t message;
    std::uint32_t timestamp;
};

class TestInput {
public:
    static constexpr std::size_t kBufferSize = 256;

    TestInput(MidiServices& services, std::uint32_t deviceId) : services_(services)
    {
        result_ = services_.InOpen(&handle_, deviceId, &Proc, reinterpret_cast<std::uintptr_t>(this),
                                   CALLBACK_FUNCTION | MIDI_IO_STATUS);
        if (result_ != MMSYSERR_NOERROR) {
            return;
        }
        for (auto& buffer : buffers_) {
            buffer.header.lpData = buffer.data.data();
            buffer.header.dwBufferLength = kBufferSize;
            EXPECT_EQ(services_.InPrepareHeader(handle_, &buffer.header, sizeof(MidiHeader)), MMSYSERR_NOERROR);
            EXPECT_EQ(services_.InAddBuffer(handle_, &buffer.header, sizeof(MidiHeader)), MMSYSERR_NOERROR);
        }
        EXPECT_EQ(services_.InStart(handle_), MMSYSERR_NOERROR);
    }

    ~TestInput() { Close(); }

    void Close()
    {
        if (handle_ == nullptr) {
            return;
        }
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        EXPECT_EQ(services_.InStop(handle_), MMSYSERR_NOERROR);
        EXPECT_EQ(services_.InReset(handle_), MMSYSERR_NOERROR);
        for (auto& buffer : buffers_) {
            EXPECT_EQ(services_.InUnprepareHeader(handle_, &buffer.header, sizeof(MidiHeader)), MMSYSERR_NOERROR);
        }
        EXPECT_EQ(services_.InClose(handle_), MMSYSERR_NOERROR);
        handle_ = nullptr;
    }

    MMRESULT OpenResult() const { return result_; }
    HMIDIIN Handle() const { return handle_; }

    // Waits until `ready`, which may use the accessors below, holds.
    bool WaitFor(const std::function<bool()>& ready, std::chrono::milliseconds timeout = 5s)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!ready()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, 2ms);
        }
        return true;
    }
    bool WaitForSysEx(std::size_t count)
    {
        return WaitFor([&] { return SysEx().size() >= count; });
    }

    // Read under the lock or after WaitFor.
    std::vector<Bytes> SysEx()
    {
        std::lock_guard lock(mutex_);
        return sysEx_;
    }
    std::vector<ShortInput> Shorts()
    {
        std::lock_guard lock(mutex_);
        return shorts_;
    }
    std::vector<std::uint32_t> BufferCounts()
    {
        std::lock_guard lock(mutex_);
        return bufferCounts_;
    }
    std::vector<std::uint32_t> Messages()
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::vector<Bytes> LongErrors()
    {
        std::lock_guard lock(mutex_);
        return longErrors_;
    }
    std::thread::id CallbackThread()
    {
        std::lock_guard lock(mutex_);
        return callbackThread_;
    }
    void SetRequeue(bool requeue)
    {
        std::lock_guard lock(mutex_);
        requeue_ = requeue;
    }

private:
    struct Buffer {
        MidiHeader header;
        std::array<std::uint8_t, kBufferSize> data{};
    };

    static void Proc(HMIDIIN, std::uint32_t message, std::uintptr_t instance, std::uintptr_t param1,
                     std::uintptr_t param2)
    {
        reinterpret_cast<TestInput*>(instance)->OnMessage(message, param1, param2);
    }

    void OnMessage(std::uint32_t message, std::uintptr_t param1, std::uintptr_t param2)
    {
        bool requeue = false;
        MidiHeader* header = nullptr;
        {
            std::lock_guard lock(mutex_);
            messages_.push_back(message);
            if (message != MIM_OPEN && message != MIM_CLOSE) {
                callbackThread_ = std::this_thread::get_id();
            }
            if (message == MIM_DATA) {
                shorts_.push_back({static_cast<std::uint32_t>(param1), static_cast<std::uint32_t>(param2)});
            } else if (message == MIM_LONGDATA) {
                header = reinterpret_cast<MidiHeader*>(param1);
                EXPECT_TRUE(header->dwFlags & MHDR_DONE);
                EXPECT_FALSE(header->dwFlags & MHDR_INQUEUE);
                const std::uint32_t count = header->dwBytesRecorded;
                bufferCounts_.push_back(count);
                const bool complete = count < header->dwBufferLength || header->lpData[count - 1] == 0xF7;
                pending_.insert(pending_.end(), header->lpData, header->lpData + count);
                if (complete && !pending_.empty()) {
                    sysEx_.push_back(pending_);
                    pending_.clear();
                }
                requeue = requeue_ && !closing_;
            } else if (message == MIM_LONGERROR) {
                header = reinterpret_cast<MidiHeader*>(param1);
                longErrors_.push_back(Bytes(header->lpData, header->lpData + header->dwBytesRecorded));
                requeue = requeue_ && !closing_;
            }
        }
        if (requeue) {
            header->dwFlags &= ~MHDR_DONE;
            EXPECT_EQ(services_.InAddBuffer(handle_, header, sizeof(MidiHeader)), MMSYSERR_NOERROR);
        }
        changed_.notify_all();
    }

    MidiServices& services_;
    HMIDIIN handle_ = nullptr;
    MMRESULT result_ = MMSYSERR_ERROR;
    std::array<Buffer, 3> buffers_;

    std::mutex mutex_;
    std::condition_variable changed_;
    bool closing_ = false;
    bool requeue_ = true;
    Bytes pending_;
    std::vector<Bytes> sysEx_;
    std::vector<ShortInput> shorts_;
    std::vector<std::uint32_t> bufferCounts_;
    std::vector<Bytes> longErrors_;
    std::vector<std::uint32_t> messages_;
    std::thread::id callbackThread_;
};

class TestOutput {
public:
    TestOutput(MidiServices& services, std::uint32_t deviceId) : services_(services)
    {
        result_ =
            services_.OutOpen(&handle_, deviceId, &Proc, reinterpret_cast<std::uintptr_t>(this), CALLBACK_FUNCTION);
    }
    ~TestOutput()
    {
        if (handle_ != nullptr) {
            services_.OutReset(handle_);
            EXPECT_EQ(services_.OutClose(handle_), MMSYSERR_NOERROR);
        }
    }

    MMRESULT OpenResult() const { return result_; }
    HMIDIOUT Handle() const { return handle_; }

    // Queues a long message; its bytes and header live in this object until
    // the next call.
    MMRESULT StartLong(const Bytes& message)
    {
        {
            std::lock_guard lock(mutex_);
            done_ = false;
        }
        bytes_ = message;
        header_ = MidiHeader{};
        header_.lpData = bytes_.data();
        header_.dwBufferLength = static_cast<std::uint32_t>(bytes_.size());
        header_.dwBytesRecorded = header_.dwBufferLength;
        const MMRESULT prepared = services_.OutPrepareHeader(handle_, &header_, sizeof(MidiHeader));
        if (prepared != MMSYSERR_NOERROR) {
            return prepared;
        }
        return services_.OutLongMsg(handle_, &header_, sizeof(MidiHeader));
    }

    bool WaitDone(std::chrono::milliseconds timeout = 5s)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return done_; });
    }

    // Sends a long message and waits for the device to take it.
    void SendLong(const Bytes& message)
    {
        ASSERT_EQ(StartLong(message), MMSYSERR_NOERROR);
        ASSERT_TRUE(WaitDone());
        EXPECT_EQ(services_.OutUnprepareHeader(handle_, &header_, sizeof(MidiHeader)), MMSYSERR_NOERROR);
    }

    MidiHeader& Header() { return header_; }
    std::vector<std::uint32_t> Messages()
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    static void Proc(HMIDIOUT, std::uint32_t message, std::uintptr_t instance, std::uintptr_t param1, std::uintptr_t)
    {
        auto* self = reinterpret_cast<TestOutput*>(instance);
        {
            std::lock_guard lock(self->mutex_);
            self->messages_.push_back(message);
            if (message == MOM_DONE) {
                EXPECT_EQ(reinterpret_cast<MidiHeader*>(param1), &self->header_);
                self->done_ = true;
            }
        }
        self->changed_.notify_all();
    }

    MidiServices& services_;
    HMIDIOUT handle_ = nullptr;
    MMRESULT result_ = MMSYSERR_ERROR;
    Bytes bytes_;
    MidiHeader header_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
    std::vector<std::uint32_t> messages_;
};

}  // namespace Platform::Midi::Testing
