#include "EditorControlClasses.h"

#include "EditPanelClasses.h"
#include "IDeviceCommunication.h"
#include "LDeviceSelector.h"
#include "LDeviceView.h"
#include "LDialogAbout.h"
#include "LMainControl.h"
#include "LStatusView.h"

using namespace QV;

namespace {

struct EditorClass {
    const char16_t* name;
    ControlCreateFunction create;
};

const EditorClass kClasses[] = {
    {u"ZiroruVovizu.MainControl", &CreateControlOfClass<LMainControl>},
    {u"ZiroruVovizu.DeviceView", &CreateControlOfClass<LDeviceView>},
    {u"ZiroruVovizu.DeviceSelector", &CreateControlOfClass<LDeviceSelector>},
    {u"ZiroruVovizu.StatusView", &CreateControlOfClass<LStatusView>},
    {u"ZiroruVovizu.DialogAbout", &CreateControlOfClass<LDialogAbout>},
};

}  // namespace

QVResult RegisterEditorControlClasses(LControlFactory& factory)
{
    for (const EditorClass& c : kClasses) {
        const QVResult result = factory.RegisterControl(c.name, c.create);
        if (result < 0) return result;
    }
    return RegisterEditPanelControls(factory);
}
