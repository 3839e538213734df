#include "LMainControl.h"

#include <stdexcept>

#include "AppStrings.h"
#include "Exception.h"
#include "IParamEngine.h"
#include "LNotificationCenterManager.h"
#include "LRootModuleEngine.h"
#include "MessageBoxHost.h"
#include "OwnHandler.h"
#include "PackedList.h"

namespace QV {
namespace {

constexpr const char* kSource = "UI\\DriverCommon\\MainControl";

uint32_t ReadWord(const uint8_t* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace

LMainControl::LMainControl(LControl* parent, const String& name) : LControl(parent, name) {}

LMainControl::~LMainControl() = default;

QV_OWN_HANDLER_DEFINITIONS(LMainControl, LControl, mMainHandler)

QVResult LMainControl::Initialize()
{
    const QVResult result = LControl::Initialize();
    if (result < 0) return result;
    mMainHandler = new LNotificationHandler<LMainControl>(this);

    mDeviceViewControl = FindChildControl(String(u"viewDevice"));
    mDeviceView = dynamic_cast<IDeviceView*>(mDeviceViewControl.Get());
    if (!mDeviceView) {
        mDeviceViewControl = nullptr;
        throw Exception<std::runtime_error>(FormatExceptionMessage(
            kNullPointer, "LMainControl couldn't find viewDevice", "QV::LMainControl::Initialize", kSource, 38));
    }
    mStatusView = FindChildControl(String(u"viewStatus"));
    mDeviceSelector = FindChildControl(String(u"panelDeviceSelector"));

    const QVResult registered = mMainHandler->RegisterHandler(
        &LMainControl::OnParamModuleStateChange, GetDefaultNotificationCenter(), u"NID_PARAM_MODULE_STATE_CHANGE");
    if (registered < 0) ThrowFailedResult(registered, "QV::LMainControl::Initialize", kSource, 43);

    IParamEngine& engine = GetParamEngine();
    if (engine.IsAvailable()) {
        SetFirstParamID(nullptr, engine.GetFirstParamID(), 0);
        mDeviceView->SetEngine(&engine, S_OK);
    } else {
        mDeviceView->SetEngine(nullptr, E_FAIL);
    }
    return result;
}

int32_t LMainControl::SetParamValue(const ParamDescriptor& descriptor, const Variant& value)
{
    if (descriptor.id == mAppliedID && value == mAppliedValue) return S_OK;
    return GetParamEngine().SetParamValue(descriptor, value);
}

int32_t LMainControl::OnParamValueChanged(const ParamDescriptor& descriptor, const Variant& value)
{
    ApplyFromDevice(descriptor.id, value);
    return S_OK;
}

int32_t LMainControl::ApplyParamValue(const ParamDescriptor& descriptor, const Variant& value)
{
    return SetParamValue(descriptor, value);
}

int32_t LMainControl::FetchParamValue(const ParamDescriptor&, Variant& value)
{
    value.Clear();
    return E_NOTIMPL;
}

RCPtr<IDevice> LMainControl::GetDevice()
{
    return mDeviceView ? mDeviceView->GetDeviceModule() : nullptr;
}

QVResult LMainControl::OnParamModuleStateChange(const RCPtr<LNotificationDistributor>&,
                                                const RCPtr<LNotification>& notification)
{
    const RCPtr<LRefCountedObject> payload = notification ? notification->GetPayload() : nullptr;
    if (const auto* pair = dynamic_cast<const ParamChangePair*>(payload.Get())) {
        ApplyFromDevice(pair->GetKey().id, pair->GetValue());
    } else if (const auto* list = dynamic_cast<const Variant*>(payload.Get());
               list && list->GetType() == Variant::kArray) {
        ApplyValueList(*list);
    }
    return 1;
}

void LMainControl::ApplyValueList(const Variant& list)
{
    uint32_t size = 0;
    const uint8_t* data = list.GetData(size);
    if (!data || size < 5) return;
    uint32_t offset = 0;
    while (offset + 4 < size) {
        const uint32_t length = ReadWord(data + offset);
        // A length below a record header would never move on; one past the end is cut.
        if (length < Variant::kRecordHeaderSize || length > size - offset) break;
        Variant single;
        single.SetData(Variant::kArray, data + offset, length);
        ParamValue record;
        if (PackedList::ReadValue(single, 0, record) == 0) ApplyFromDevice(record.descriptor.id, record.value);
        offset += length;
    }
}

void LMainControl::ApplyFromDevice(int32_t id, const Variant& value)
{
    // Whatever the panels do, the pair stops being "applied" afterwards.
    struct Reset {
        LMainControl& control;
        ~Reset()
        {
            control.mAppliedID = -1;
            control.mAppliedValue.Clear();
        }
    };
    mAppliedID = id;
    mAppliedValue = value;
    const Reset reset{*this};
    if (id == kConfigurationCheckId && value.IsEmpty()) {
        CheckHardwareConfiguration();
    } else if (!value.IsEmpty()) {
        if (RCPtr<LParameterizedModule> module = GetModuleForParam(id)) {
            // A panel refuses a blob of the wrong length; nothing else to do.
            (void)module->SetParamValueLocal(ParamDescriptor{id, Variant()}, value, false);
        }
    }
}

void LMainControl::CheckHardwareConfiguration()
{
    Variant configuration;
    if (GetParamEngine().GetDeviceConfiguration(configuration) >= 0) {
        if (mDeviceView) mDeviceView->SetDeviceConfiguration(configuration);
        return;
    }
    (void)ShowMessageBox(GetAppString(u"HARDWARE_CONFIG_ERROR_MESSAGE"),
                         GetAppString(u"HARDWARE_CONFIG_ERROR_TITLE"), kErrorIcon);
    if (RCPtr<LNotificationCenter> center = GetDefaultNotificationCenter()) {
        // A center that is shutting down means the application is ending anyway.
        (void)center->PostNamedNotification(u"NID_APP_EXIT_REQ");
    }
}

}  // namespace QV
