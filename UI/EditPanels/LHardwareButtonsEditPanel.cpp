#include "LHardwareButtonsEditPanel.h"

using namespace QV;

namespace {

constexpr int32_t kTypeField = 0;

const FieldRow kFields[] = {
    {.path = {{.name = u"type", .messageLine = 27}, {.name = u"comboBox", .messageLine = 28}},
     .kind = FieldKind::kComboBox, .byte = 0, .messageLine = 29},
};
const PanelTable kTable{"LHardwareButtonsEditPanel", "UI\\HardwareButtonsEditPanel", 1, kFields, {}};
const ChildStep kButtons[IHardwareButtons::kButtonCount] = {{.name = u"button1", .messageLine = 32},
                                                            {.name = u"button2", .messageLine = 34}};

}  // namespace

LHardwareButtonsEditPanel::LHardwareButtonsEditPanel(LControl* parent, const String& name)
    : LEditPanel(parent, name, kTable)
{}

RCPtr<LHardwareButtonEditPanel> LHardwareButtonsEditPanel::Button(int32_t index) const
{
    if (index < 0 || index >= kButtonCount) return nullptr;
    return RCPtr<LHardwareButtonEditPanel>::DynamicCast(FindChildControl(kButtons[index].name));
}

RCPtr<IHardwareButton> LHardwareButtonsEditPanel::GetHardwareButton(int32_t index)
{
    return RCPtr<IHardwareButton>(Button(index).Get());
}

void LHardwareButtonsEditPanel::InitializeParts()
{
    for (int32_t i = 0; i < kButtonCount; ++i) {
        if (!Button(i)) Fields().ThrowMissing(kButtons[i]);
    }
    ShowTypeOnButtons();
}

bool LHardwareButtonsEditPanel::AcceptsBytes(const uint8_t* bytes) const
{
    return bytes[0] < kHardwareButtonTypeCount;
}

QVResult LHardwareButtonsEditPanel::AfterApply()
{
    ShowTypeOnButtons();
    return S_OK;
}

void LHardwareButtonsEditPanel::BeforeSend(LNotificationDistributor*)
{
    ShowTypeOnButtons();
}

void LHardwareButtonsEditPanel::ShowTypeOnButtons()
{
    const int32_t type = EditPanelFields::ValueOf(*Field(kTypeField), FieldKind::kComboBox);
    if (type < 0 || type >= kHardwareButtonTypeCount) return;
    for (int32_t i = 0; i < kButtonCount; ++i) {
        if (RCPtr<LHardwareButtonEditPanel> button = Button(i)) button->SetButtonType(type, i);
    }
}
