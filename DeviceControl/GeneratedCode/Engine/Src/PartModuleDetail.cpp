#include "IDeviceCommunication.h"
#include "PartModule.h"

namespace PartModuleDetail {

void SendSubParamToDevice(LParameterizedModule& module, const QV::ParamDescriptor& descriptor,
                          const QV::Variant& value)
{
    auto* root = dynamic_cast<IRootModule*>(module.GetTopModule());
    if (!root) return;
    if (QV::RCPtr<IDeviceCommunication> link = root->GetCommunicationInterface()) {
        link->SetParamValue(&descriptor, value);
    }
}

int32_t OffsetFromRoot(LParameterizedModule& module)
{
    return module.GetFirstParamID() - module.GetTopModule()->GetFirstParamID();
}

}  // namespace PartModuleDetail
