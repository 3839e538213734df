#include "IParamEngine.h"

#include "LRootModule.h"
#include "LRootModuleEngine.h"

namespace QV {
namespace {

// Looks the application's engine up on every call, so it follows the
// engine's creation and shutdown.
class RootModuleEngineAdapter final : public IParamEngine {
public:
    bool IsAvailable() override { return !GetRootModuleEngine().IsNull(); }

    int32_t GetFirstParamID() override
    {
        const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
        return engine ? engine->GetFirstParamID() : 0;
    }

    QVResult GetParamValues(int32_t firstID, int32_t count, Array<ParamValue>& values) override
    {
        const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
        if (!engine) return E_FAIL;
        return engine->GetParamValues(firstID, count, values, -1);
    }

    QVResult SetParamValue(const ParamDescriptor& descriptor, const Variant& value) override
    {
        const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
        return engine ? engine->SetParamValue(descriptor, value) : E_FAIL;
    }

    QVResult GetDeviceConfiguration(Variant& configuration) override
    {
        configuration.Clear();
        const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
        if (!engine) return E_FAIL;
        return engine->GetParamValue(ParamDescriptor{LRootModule::kDeviceParamId, Variant()}, configuration);
    }

    RCPtr<LRootModuleEngine> GetEngine() override { return GetRootModuleEngine(); }
};

RootModuleEngineAdapter gAdapter;
IParamEngine* gEngine = &gAdapter;

}  // namespace

IParamEngine& GetParamEngine()
{
    return *gEngine;
}

ScopedParamEngine::ScopedParamEngine(IParamEngine& engine) : mPrevious(gEngine)
{
    gEngine = &engine;
}

ScopedParamEngine::~ScopedParamEngine()
{
    gEngine = mPrevious;
}

}  // namespace QV
