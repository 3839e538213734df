#pragma once
// The eight part classes share one behaviour and differ only in a row of
// data: their offsets, default bytes and the places their errors name.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Exception.h"
#include "RootModuleInterface.h"

struct PartDescription {
    const char* className;   // "LZone"
    const char* sourceFile;  // "Zone"
    std::array<int32_t, 4> offsets;
    int32_t offsetCount;
    int32_t setFirstParamIDLine;
    int32_t getParamValueLocalLine;
    int32_t setParamValueLocalLine;
    int32_t getParamValueDefaultLine;
    // Default bytes of the part at offset (from the root's first id).
    std::vector<uint8_t> (*defaultBlob)(int32_t offset, int32_t instanceIndex);

    bool AcceptsOffset(int32_t offset) const;
    [[noreturn]] void ThrowLogicError(const char* text, const char* method, int32_t line) const;
};

namespace PartModuleDetail {
// Hands a sub-parameter to the keyboard through the root's link, if any.
void SendSubParamToDevice(LParameterizedModule& module, const QV::ParamDescriptor& descriptor,
                          const QV::Variant& value);
// The module's first id minus the root's first id.
int32_t OffsetFromRoot(LParameterizedModule& module);
}  // namespace PartModuleDetail

template <class Interface>
class LPartModule : public Interface {
public:
    void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex) override
    {
        Interface::SetFirstParamID(parent, firstParamID, instanceIndex);
        if (!mDescription.AcceptsOffset(PartModuleDetail::OffsetFromRoot(*this))) {
            mDescription.ThrowLogicError("Invalid FirstParamID", "SetFirstParamID", mDescription.setFirstParamIDLine);
        }
    }

    [[nodiscard]] int32_t SetParamValueLocal(const QV::ParamDescriptor& descriptor, const QV::Variant& value,
                                             bool localOnly) override
    {
        const int32_t id = descriptor.id;
        if (id < 0) {
            if (!LParameterizedModule::IsSubParamID(id)) return -1;
            if (!localOnly) PartModuleDetail::SendSubParamToDevice(*this, descriptor, value);
            QV::ParamDescriptor translated;
            QV::Variant translatedValue;
            if (this->GetTranslator().Translate(descriptor, value, translated, translatedValue) < 0) return 1;
            // No sub-parameter of this keyboard maps onto a module parameter.
            mDescription.ThrowLogicError("", "SetParamValueLocal", mDescription.setParamValueLocalLine);
        }
        if (id != this->GetFirstParamID()) return -1;
        const QV::ParamDescriptor descriptorCopy = descriptor;
        const QV::Variant valueCopy = value;
        return LParameterizedModule::SetParamValueLocal(descriptorCopy, valueCopy, localOnly);
    }

    QV::Variant GetParamValueLocal(const QV::ParamDescriptor& descriptor) override
    {
        if (descriptor.id != this->GetFirstParamID()) {
            mDescription.ThrowLogicError("", "GetParamValueLocal", mDescription.getParamValueLocalLine);
        }
        return LParameterizedModule::GetParamValueLocal(descriptor);
    }

    [[nodiscard]] int32_t SetParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value) override
    {
        // The parent must outlive the call even if the tree changes meanwhile.
        const QV::RCPtr<LParameterizedModule> parent(this->GetParent());
        return LParameterizedModule::SetParamValue(descriptor, value);
    }

    QV::Variant GetParamValue(int32_t id) override { return LParameterizedModule::GetParamValue(id); }

    QV::Variant GetParamValueDefault(int32_t id) override
    {
        if (id != this->GetFirstParamID()) {
            mDescription.ThrowLogicError("", "GetParamValueDefault", mDescription.getParamValueDefaultLine);
        }
        const std::vector<uint8_t> bytes =
            mDescription.defaultBlob(PartModuleDetail::OffsetFromRoot(*this), this->GetInstanceIndex());
        QV::Variant blob;
        blob.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
        return blob;
    }

    virtual void CreateChildModules() {}

protected:
    explicit LPartModule(const PartDescription& description) : Interface(true), mDescription(description) {}

private:
    const PartDescription& mDescription;
};
