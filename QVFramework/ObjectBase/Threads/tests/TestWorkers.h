#pragma once
// Workers for the threader and pool tests: each records its name in a shared
// log when it runs and can be held inside its run by a gate.
#include <chrono>
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
    }

    std::vector<std::string> Names() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mNames;
    }

    size_t Count() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mNames.size();
    }

private:
    mutable std::mutex mMutex;
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
