#pragma once

// Ports opened through MidiServices the way the editor's port layer uses
// them: three 256-byte input buffers given back after each one is handled,
// System Exclusive data assembled across buffers, long output messages
// answered by MOM_DONE.

#include "Eventually.h"
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

    TestInput(MidiServices& services, std::uint32_t deviceId) : mServices(services)
    {
        mResult = mServices.InOpen(&mHandle, deviceId, &Proc, reinterpret_cast<std::uintptr_t>(this),
                                   CALLBACK_FUNCTION | MIDI_IO_STATUS);
        if (mResult != MMSYSERR_NOERROR) {
            return;
        }
        for (auto& buffer : mBuffers) {
            buffer.header.lpData = buffer.data.data();
            buffer.header.dwBufferLength = kBufferSize;
            EXPECT_EQ(mServices.InPrepareHeader(mHandle, &buffer.header, sizeof(MidiHeader)), MMSYSERR_NOERROR);
            EXPECT_EQ(mServices.InAddBuffer(mHandle, &buffer.header, sizeof(MidiHeader)), MMSYSERR_NOERROR);
        }
        EXPECT_EQ(mServices.InStart(mHandle), MMSYSERR_NOERROR);
    }

    ~TestInput() { Close(); }

    void Close()
    {
        if (mHandle == nullptr) {
            return;
        }
        {
            std::lock_guard lock(mMutex);
            mClosing = true;
        }
        EXPECT_EQ(mServices.InStop(mHandle), MMSYSERR_NOERROR);
        EXPECT_EQ(mServices.InReset(mHandle), MMSYSERR_NOERROR);
        for (auto& buffer : mBuffers) {
            EXPECT_EQ(mServices.InUnprepareHeader(mHandle, &buffer.header, sizeof(MidiHeader)), MMSYSERR_NOERROR);
        }
        EXPECT_EQ(mServices.InClose(mHandle), MMSYSERR_NOERROR);
        mHandle = nullptr;
    }

    MMRESULT OpenResult() const { return mResult; }
    HMIDIIN Handle() const { return mHandle; }

    // Read under the lock.
    std::vector<Bytes> SysEx()
    {
        std::lock_guard lock(mMutex);
        return mSysEx;
    }
    std::vector<ShortInput> Shorts()
    {
        std::lock_guard lock(mMutex);
        return mShorts;
    }
    std::vector<std::uint32_t> BufferCounts()
    {
        std::lock_guard lock(mMutex);
        return mBufferCounts;
    }
    std::vector<std::uint32_t> Messages()
    {
        std::lock_guard lock(mMutex);
        return mMessages;
    }
    std::vector<Bytes> LongErrors()
    {
        std::lock_guard lock(mMutex);
        return mLongErrors;
    }
    std::thread::id CallbackThread()
    {
        std::lock_guard lock(mMutex);
        return mCallbackThread;
    }
    void SetRequeue(bool requeue)
    {
        std::lock_guard lock(mMutex);
        mRequeue = requeue;
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
            std::lock_guard lock(mMutex);
            mMessages.push_back(message);
            if (message != MIM_OPEN && message != MIM_CLOSE) {
                mCallbackThread = std::this_thread::get_id();
            }
            if (message == MIM_DATA) {
                mShorts.push_back({static_cast<std::uint32_t>(param1), static_cast<std::uint32_t>(param2)});
            } else if (message == MIM_LONGDATA) {
                header = reinterpret_cast<MidiHeader*>(param1);
                EXPECT_TRUE(header->dwFlags & MHDR_DONE);
                EXPECT_FALSE(header->dwFlags & MHDR_INQUEUE);
                const std::uint32_t count = header->dwBytesRecorded;
                mBufferCounts.push_back(count);
                const bool complete = count < header->dwBufferLength || header->lpData[count - 1] == 0xF7;
                mPending.insert(mPending.end(), header->lpData, header->lpData + count);
                if (complete && !mPending.empty()) {
                    mSysEx.push_back(mPending);
                    mPending.clear();
                }
                requeue = mRequeue && !mClosing;
            } else if (message == MIM_LONGERROR) {
                header = reinterpret_cast<MidiHeader*>(param1);
                mLongErrors.push_back(Bytes(header->lpData, header->lpData + header->dwBytesRecorded));
                requeue = mRequeue && !mClosing;
            }
        }
        if (requeue) {
            header->dwFlags &= ~MHDR_DONE;
            EXPECT_EQ(mServices.InAddBuffer(mHandle, header, sizeof(MidiHeader)), MMSYSERR_NOERROR);
        }
    }

    MidiServices& mServices;
    HMIDIIN mHandle = nullptr;
    MMRESULT mResult = MMSYSERR_ERROR;
    std::array<Buffer, 3> mBuffers;

    std::mutex mMutex;
    bool mClosing = false;
    bool mRequeue = true;
    Bytes mPending;
    std::vector<Bytes> mSysEx;
    std::vector<ShortInput> mShorts;
    std::vector<std::uint32_t> mBufferCounts;
    std::vector<Bytes> mLongErrors;
    std::vector<std::uint32_t> mMessages;
    std::thread::id mCallbackThread;
};

class TestOutput {
public:
    TestOutput(MidiServices& services, std::uint32_t deviceId) : mServices(services)
    {
        mResult =
            mServices.OutOpen(&mHandle, deviceId, &Proc, reinterpret_cast<std::uintptr_t>(this), CALLBACK_FUNCTION);
    }
    ~TestOutput()
    {
        if (mHandle != nullptr) {
            mServices.OutReset(mHandle);
            EXPECT_EQ(mServices.OutClose(mHandle), MMSYSERR_NOERROR);
        }
    }

    MMRESULT OpenResult() const { return mResult; }
    HMIDIOUT Handle() const { return mHandle; }

    // Queues a long message; its bytes and header live in this object until
    // the next call.
    MMRESULT StartLong(const Bytes& message)
    {
        {
            std::lock_guard lock(mMutex);
            mDone = false;
        }
        mBytes = message;
        mHeader = MidiHeader{};
        mHeader.lpData = mBytes.data();
        mHeader.dwBufferLength = static_cast<std::uint32_t>(mBytes.size());
        mHeader.dwBytesRecorded = mHeader.dwBufferLength;
        const MMRESULT prepared = mServices.OutPrepareHeader(mHandle, &mHeader, sizeof(MidiHeader));
        if (prepared != MMSYSERR_NOERROR) {
            return prepared;
        }
        return mServices.OutLongMsg(mHandle, &mHeader, sizeof(MidiHeader));
    }

    bool WaitDone(std::chrono::milliseconds timeout = 5s)
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, timeout, [this] { return mDone; });
    }

    // Sends a long message and waits for the device to take it.
    void SendLong(const Bytes& message)
    {
        ASSERT_EQ(StartLong(message), MMSYSERR_NOERROR);
        ASSERT_TRUE(WaitDone());
        EXPECT_EQ(mServices.OutUnprepareHeader(mHandle, &mHeader, sizeof(MidiHeader)), MMSYSERR_NOERROR);
    }

    MidiHeader& Header() { return mHeader; }
    std::vector<std::uint32_t> Messages()
    {
        std::lock_guard lock(mMutex);
        return mMessages;
    }

private:
    static void Proc(HMIDIOUT, std::uint32_t message, std::uintptr_t instance, std::uintptr_t param1, std::uintptr_t)
    {
        auto* self = reinterpret_cast<TestOutput*>(instance);
        {
            std::lock_guard lock(self->mMutex);
            self->mMessages.push_back(message);
            if (message == MOM_DONE) {
                EXPECT_EQ(reinterpret_cast<MidiHeader*>(param1), &self->mHeader);
                self->mDone = true;
            }
        }
        self->mChanged.notify_all();
    }

    MidiServices& mServices;
    HMIDIOUT mHandle = nullptr;
    MMRESULT mResult = MMSYSERR_ERROR;
    Bytes mBytes;
    MidiHeader mHeader;
    std::mutex mMutex;
    std::condition_variable mChanged;
    bool mDone = false;
    std::vector<std::uint32_t> mMessages;
};

}  // namespace Platform::Midi::Testing
