#pragma once
// Workers for the threader and pool tests: each records its name in a shared
// log when it runs and can be held inside its run by a gate.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "Event.h"
#include "LThreadWorker.h"
#include "TrafficLight.h"

namespace QV::testing {

class RunLog : public LRefCountedObject {
    QV_TYPE_NAME("class QV::testing::RunLog")

public:
    void Add(const std::string& name)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mNames.push_back(name);
        mChanged.notify_all();
    }

    std::vector<std::string> Names() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mNames;
    }

    // True when the log holds at least count names within the time.
    bool WaitForCount(size_t count, int timeoutMs = 2000)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        return mChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return mNames.size() >= count; });
    }

private:
    mutable std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<std::string> mNames;
};

class RecordingWorker : public LThreadWorker {
    QV_TYPE_NAME("class QV::testing::RecordingWorker")

public:
    // gate: when given, each run waits until it is open.
    RecordingWorker(RCPtr<RunLog> log, std::string name, TrafficLight* gate = nullptr)
        : mLog(std::move(log)), mName(std::move(name)), mGate(gate)
    {
    }

    QVResult Run(RCPtr<LRefCountedObject>& parameters) override
    {
        mLastParameters = parameters.Get();
        mLog->Add(mName);
        mEntered.Set();
        if (mGate) mGate->Wait(kWaitInfinite);
        return S_OK;
    }

    // Waits until a run has begun.
    bool WaitEntered(uint32_t timeoutMs = 2000) { return mEntered.Wait(timeoutMs) == kWaitSignalled; }
    const LRefCountedObject* LastParameters() const { return mLastParameters; }

private:
    RCPtr<RunLog> mLog;
    std::string mName;
    TrafficLight* mGate;
    Event mEntered{true};
    const LRefCountedObject* mLastParameters = nullptr;
};

}  // namespace QV::testing
