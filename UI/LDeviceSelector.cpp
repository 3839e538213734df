#include "LDeviceSelector.h"

#include "LComboBox.h"
#include "LNotificationCenterManager.h"
#include "LRootModuleEngine.h"
#include "RequiredChild.h"

using namespace QV;

namespace {

LDeviceSelector::DeviceSource EngineSource()
{
    return {[] {
                std::vector<LDeviceSelector::Device> devices;
                RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
                Array<Variant> found;
                if (!engine || engine->FindDevices(found) < 0) return devices;
                for (uint32_t i = 0; i < found.GetCount(); ++i) {
                    const Variant& id = *found.GetItemPtr(i);
                    devices.push_back({id, engine->GetDeviceName(id)});
                }
                return devices;
            },
            [](const Variant& id) {
                RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
                return engine ? engine->SelectDevice(id) : E_FAIL;
            }};
}

}  // namespace

LDeviceSelector::LDeviceSelector(LControl* parent, const String& name) : LPanel(parent, name), mSource(EngineSource())
{}

LDeviceSelector::~LDeviceSelector() = default;

QV_OWN_HANDLER_DEFINITIONS(LDeviceSelector, LPanel, mSelectorHandler)

QVResult LDeviceSelector::Initialize()
{
    const QVResult result = LPanel::Initialize();
    if (result < 0) return result;
    mCombo = FindRequiredChild(*this, u"comboDevices", "LDeviceSelector::Initialize", "UI\\DeviceSelector", 45);
    mSelectorHandler = new LNotificationHandler<LDeviceSelector>(this);
    const QVResult listed = mSelectorHandler->RegisterHandler(
        &LDeviceSelector::OnDeviceListChange, RCPtr<LNotificationDistributor>(GetDefaultNotificationCenter().Get()),
        u"NID_REMOTE_DEVICE_LIST_CHANGE");
    const QVResult chosen = mSelectorHandler->RegisterHandler(
        &LDeviceSelector::OnSelectionChange, RCPtr<LNotificationDistributor>(mCombo.Get()), u"NID_SELECTION_CHANGE");
    if (listed < 0 || chosen < 0) {
        ThrowFailedResult(listed < 0 ? listed : chosen, "LDeviceSelector::Initialize", "UI\\DeviceSelector", 53);
    }
    Refresh();
    return result;
}

void LDeviceSelector::Refresh()
{
    mDevices = mSource.find ? mSource.find() : std::vector<Device>{};
    auto* combo = dynamic_cast<LComboBox*>(mCombo.Get());
    if (combo) {
        // Filling the list is not the user's choice.
        mFilling = true;
        (void)combo->SetItemCount(0);
        for (const Device& device : mDevices) (void)combo->AddItem(device.name);
        mFilling = false;
    }
    SetVisible(mDevices.size() > 1);
}

QVResult LDeviceSelector::OnDeviceListChange(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    Refresh();
    return 1;
}

QVResult LDeviceSelector::OnSelectionChange(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    auto* combo = dynamic_cast<LComboBox*>(mCombo.Get());
    if (mFilling || !combo || !mSource.select) return 1;
    const int32_t index = combo->GetSelectedIndex();
    // A keyboard the engine cannot connect to leaves the connection as it was.
    if (index >= 0 && static_cast<size_t>(index) < mDevices.size()) (void)mSource.select(mDevices[size_t(index)].id);
    return 1;
}
