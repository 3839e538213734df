#include "RootModuleInterface.h"

#include "Exception.h"

namespace {

[[noreturn]] void ThrowBaseLogicError(const char* method, int32_t line)
{
    throw QV::Exception<std::logic_error>(QV::FormatExceptionMessage(
        QV::kLogicError, "", std::string("LParameterizedModule::") + method,
        "DeviceControl\\GeneratedCode\\Engine\\Inc\\RootModuleInterface", line));
}

}  // namespace

int32_t SubParamTranslator::Translate(const QV::ParamDescriptor&, const QV::Variant& value,
                                      QV::ParamDescriptor& outDescriptor, QV::Variant&) const
{
    uint32_t size = 0;
    value.GetData(size);
    outDescriptor.id = mModule->GetFirstParamID() - 1;
    outDescriptor.subDescriptor.Clear();
    return -1;
}

LParameterizedModule::LParameterizedModule(bool hasOwnParameter)
    : mHasOwnParameter(hasOwnParameter), mTranslator(std::make_unique<SubParamTranslator>(this))
{
}

LParameterizedModule::~LParameterizedModule() = default;

void LParameterizedModule::StoreNumbering(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex)
{
    mParent = parent;
    mFirstParamID = firstParamID;
    mInstanceIndex = instanceIndex;
}

void LParameterizedModule::SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex)
{
    StoreNumbering(parent, firstParamID, instanceIndex);
}

QV::ConstRCPtr<LParameterizedModule> LParameterizedModule::GetModuleForParam(int32_t id) const
{
    return const_cast<LParameterizedModule*>(this)->GetModuleForParam(id);
}

QV::RCPtr<LParameterizedModule> LParameterizedModule::GetModuleForParam(int32_t)
{
    return QV::RCPtr<LParameterizedModule>(this);
}

int32_t LParameterizedModule::SetParamValueLocal(const QV::ParamDescriptor& descriptor, const QV::Variant& value,
                                                 bool)
{
    if (!mHasOwnParameter) ThrowBaseLogicError("SetParamValueLocal", 102);
    return mParent ? mParent->SetParamValue(descriptor, value) : -1;
}

QV::Variant LParameterizedModule::GetParamValueLocal(const QV::ParamDescriptor& descriptor)
{
    if (!mHasOwnParameter) ThrowBaseLogicError("GetParamValueLocal", 116);
    return mParent ? mParent->GetParamValue(descriptor.id) : QV::Variant();
}

int32_t LParameterizedModule::SetParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value)
{
    return mParent ? mParent->SetParamValue(descriptor, value) : -1;
}

QV::Variant LParameterizedModule::GetParamValue(int32_t id)
{
    return mParent ? mParent->GetParamValue(id) : QV::Variant();
}

QV::Variant LParameterizedModule::GetParamValueDefault(int32_t)
{
    return QV::Variant();
}

void LParameterizedModule::RelayToParentA(int32_t a, int32_t b, int32_t c, int32_t d)
{
    if (mParent) mParent->RelayToParentB(a, b, c, d);
}

void LParameterizedModule::RelayToParentB(int32_t a, int32_t b, int32_t c, int32_t d)
{
    if (mParent) mParent->RelayToParentB(a, b, c, d);
}

int32_t LParameterizedModule::StoreParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value)
{
    return mParent ? mParent->StoreParamValue(descriptor, value) : QV::E_FAIL;
}

QV::Variant LParameterizedModule::GetStoredParamValue(const QV::ParamDescriptor& descriptor)
{
    return mParent ? mParent->GetStoredParamValue(descriptor) : QV::Variant();
}

LParameterizedModule* LParameterizedModule::GetTopModule()
{
    LParameterizedModule* top = this;
    while (top->mParent) top = top->mParent;
    return top;
}
