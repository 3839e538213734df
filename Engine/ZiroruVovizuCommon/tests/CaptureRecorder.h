#pragma once
// A subscriber to "NID_MIDI_DATA_CAPTURED" that keeps what it was given and
// on which thread.
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "Eventually.h"
#include "LMidiCaptureNotificationData.h"
#include "LMidiComm.h"
#include "LNotificationClient.h"

namespace QV::Testing {

struct Captured {
    std::vector<uint8_t> bytes;
    String portName;
    uint32_t timestamp = 0;
    std::thread::id thread;
    pid_t kernelThread = 0;  // unlike a thread id, not soon given to a new thread
    bool fromComm = false;
};

class CaptureRecorder final : public LNotificationClient {
    QV_TYPE_NAME("class QV::Testing::CaptureRecorder")

public:
    explicit CaptureRecorder(const RCPtr<LMidiComm>& comm) : mComm(comm.Get())
    {
        RegisterNotification(RCPtr<LNotificationDistributor>(comm), LMidiComm::kDataCapturedNotification);
    }

    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override
    {
        const auto data = RCPtr<LMidiCaptureNotificationData>::DynamicCast(notification->GetPayload());
        Captured captured;
        if (data) {
            const IArray<signed char>& bytes = data->GetBytes();
            const auto* first = reinterpret_cast<const uint8_t*>(bytes.GetData());
            captured.bytes.assign(first, first + bytes.GetCount());
            captured.portName = data->GetPortName();
            captured.timestamp = data->GetTimestamp();
        }
        captured.thread = std::this_thread::get_id();
        captured.kernelThread = gettid();
        captured.fromComm = sender.Get() == static_cast<LNotificationDistributor*>(mComm);
        {
            std::lock_guard lock(mMutex);
            mCaptured.push_back(std::move(captured));
        }
        return S_OK;
    }

    std::vector<Captured> Get()
    {
        std::lock_guard lock(mMutex);
        return mCaptured;
    }

private:
    LMidiComm* mComm;
    std::mutex mMutex;
    std::vector<Captured> mCaptured;
};

}  // namespace QV::Testing
