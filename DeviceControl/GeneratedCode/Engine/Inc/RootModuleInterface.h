#pragma once
// The module contract shared by the engine's device tree and the editor's
// panels, and the root of a module tree.
#include <cstdint>
#include <memory>

#include "ParamDescriptor.h"
#include "RCPtr.h"
#include "RefCountedObject.h"
#include "Variant.h"

class IDeviceCommunication;
class LParameterizedModule;
class IDevice;

// Maps a sub-parameter to a module parameter; no sub-parameter of this
// keyboard has one, so it always answers -1.
class SubParamTranslator {
public:
    explicit SubParamTranslator(LParameterizedModule* module) : mModule(module) {}
    int32_t Translate(const QV::ParamDescriptor& descriptor, const QV::Variant& value,
                      QV::ParamDescriptor& outDescriptor, QV::Variant& outValue) const;

private:
    LParameterizedModule* mModule;
};

class LParameterizedModule : public virtual QV::LRefCountedObject {
    QV_TYPE_NAME("class LParameterizedModule")
public:
    // Ids of sub-parameters: sent to the keyboard, never stored.
    static constexpr int32_t kFirstSubParamID = -256;
    static constexpr int32_t kLastSubParamID = -129;
    static bool IsSubParamID(int32_t id) { return id >= kFirstSubParamID && id <= kLastSubParamID; }

    LParameterizedModule(const LParameterizedModule&) = delete;
    LParameterizedModule& operator=(const LParameterizedModule&) = delete;
    ~LParameterizedModule() override;

    virtual void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex);
    virtual QV::ConstRCPtr<LParameterizedModule> GetModuleForParam(int32_t id) const;
    virtual QV::RCPtr<LParameterizedModule> GetModuleForParam(int32_t id);
    virtual int32_t SetParamValueLocal(const QV::ParamDescriptor& descriptor, const QV::Variant& value,
                                       bool localOnly);
    virtual QV::Variant GetParamValueLocal(const QV::ParamDescriptor& descriptor);
    virtual int32_t SetParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value);
    virtual QV::Variant GetParamValue(int32_t id);
    virtual QV::Variant GetParamValueDefault(int32_t id);
    virtual void TreeHookA() {}
    virtual void TreeHookB() {}
    virtual bool IsParamSupported(int32_t) { return true; }
    virtual void RelayToParentA(int32_t a, int32_t b, int32_t c, int32_t d);
    virtual void RelayToParentB(int32_t a, int32_t b, int32_t c, int32_t d);
    virtual int32_t StoreParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value);
    virtual QV::Variant GetStoredParamValue(const QV::ParamDescriptor& descriptor);

    LParameterizedModule* GetParent() const { return mParent; }
    int32_t GetFirstParamID() const { return mFirstParamID; }
    int32_t GetInstanceIndex() const { return mInstanceIndex; }
    bool HasOwnParameter() const { return mHasOwnParameter; }
    const SubParamTranslator& GetTranslator() const { return *mTranslator; }
    // The top-most module above this one (this one at the top).
    LParameterizedModule* GetTopModule();

protected:
    explicit LParameterizedModule(bool hasOwnParameter = false);

    void StoreNumbering(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex);

private:
    LParameterizedModule* mParent = nullptr;
    bool mHasOwnParameter;
    int32_t mFirstParamID = 0;
    int32_t mInstanceIndex = 0;
    std::unique_ptr<SubParamTranslator> mTranslator;
};

class IRootModule : public LParameterizedModule {
    QV_TYPE_NAME("class IRootModule")
public:
    virtual int32_t OnParamValueChanged(const QV::ParamDescriptor& descriptor, const QV::Variant& value) = 0;
    virtual QV::RCPtr<IDeviceCommunication> GetCommunicationInterface() = 0;
    virtual QV::ConstRCPtr<LParameterizedModule> GetModuleForSubParam(int32_t id) const;
    virtual QV::RCPtr<LParameterizedModule> GetModuleForSubParam(int32_t id);
    virtual int32_t ApplyParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value) = 0;
    virtual int32_t FetchParamValue(const QV::ParamDescriptor& descriptor, QV::Variant& value) = 0;
    virtual QV::ConstRCPtr<IDevice> GetDevice() const;
    virtual QV::RCPtr<IDevice> GetDevice() = 0;

    void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex) override;
    using LParameterizedModule::GetModuleForParam;
    QV::RCPtr<LParameterizedModule> GetModuleForParam(int32_t id) override;
    void TreeHookA() override;
    void TreeHookB() override;

    // Number of parameters of the keyboard, ids F+0 to F+14.
    static constexpr int32_t kParamCount = 15;
};
