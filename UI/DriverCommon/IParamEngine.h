#pragma once
// The part of the root-module engine that the main control and the preset
// manager use, so both can be tested without a device library. One
// process-wide instance (by default the adapter over GetRootModuleEngine),
// replaceable for a test's lifetime. UI thread only.
#include <cstdint>

#include "Array.h"
#include "ParamDescriptor.h"
#include "RCPtr.h"
#include "Result.h"

class LRootModuleEngine;

namespace QV {

class IParamEngine {
public:
    virtual ~IParamEngine() = default;
    // Whether there is an engine to answer at all.
    virtual bool IsAvailable() = 0;
    virtual int32_t GetFirstParamID() = 0;
    // Fills values with count values from firstID on; fewer when the device yields fewer.
    [[nodiscard]] virtual QVResult GetParamValues(int32_t firstID, int32_t count, Array<ParamValue>& values) = 0;
    // E_FAIL unless the device is connected.
    [[nodiscard]] virtual QVResult SetParamValue(const ParamDescriptor& descriptor, const Variant& value) = 0;
    // The keyboard's settings outside the preset; negative when they cannot be read.
    [[nodiscard]] virtual QVResult GetDeviceConfiguration(Variant& configuration) = 0;
    // The real engine for those that need more of it; null for a test's engine.
    virtual RCPtr<LRootModuleEngine> GetEngine() = 0;
};

// The installed engine; never null.
IParamEngine& GetParamEngine();

class ScopedParamEngine {
public:
    explicit ScopedParamEngine(IParamEngine& engine);
    ~ScopedParamEngine();
    ScopedParamEngine(const ScopedParamEngine&) = delete;
    ScopedParamEngine& operator=(const ScopedParamEngine&) = delete;

private:
    IParamEngine* mPrevious;
};

}  // namespace QV
