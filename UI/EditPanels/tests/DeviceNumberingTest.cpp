#include "EditPanelDirectory.h"
#include "EditPanelSupport.h"
#include "EditPanelTestSupport.h"
#include "LPanel.h"

namespace edit_panel_test {
namespace {

// A device view as small as it can be: a panel holding the skin's panels
// that answers the device's getters through the directory.
class TestDeviceView : public LPanel, public IDevice {
    QV_TYPE_NAME("class TestDeviceView")
public:
    TestDeviceView(LControl* parent, const String& name) : LPanel(parent, name), mPanels(*this) {}
    using IDevice::GetGlobalChannel;
    RCPtr<IGlobalChannel> GetGlobalChannel() override { return mPanels.GetGlobalChannel(); }
    using IDevice::GetKeybed;
    RCPtr<IKeybed> GetKeybed() override { return mPanels.GetKeybed(); }
    using IDevice::GetZone;
    RCPtr<IZone> GetZone(int32_t i) override { return mPanels.GetZone(i); }
    using IDevice::GetWheelController;
    RCPtr<IAbsoluteController> GetWheelController() override { return mPanels.GetWheelController(); }
    using IDevice::GetPitchWheel;
    RCPtr<IPitchWheel> GetPitchWheel() override { return mPanels.GetPitchWheel(); }
    using IDevice::GetAbsoluteController;
    RCPtr<IAbsoluteController> GetAbsoluteController(int32_t i) override { return mPanels.GetAbsoluteController(i); }
    using IDevice::GetHardwareButtons;
    RCPtr<IHardwareButtons> GetHardwareButtons() override { return mPanels.GetHardwareButtons(); }
    using IDevice::GetFootSwitch;
    RCPtr<IFootSwitch> GetFootSwitch(int32_t i) override { return mPanels.GetFootSwitch(i); }

    EditPanelDirectory mPanels;
};

class DeviceNumberingTest : public EditPanelFixture {
protected:
    void SetUp() override
    {
        view = new TestDeviceView(top.Get(), u"viewDevice");
        RCPtr<LControlDescriptor> main =
            RCPtr<LControlDescriptor>::DynamicCast(factory->FindControlDescriptor(String(u"mainControl")));
        ASSERT_TRUE(main);
        const LControlDescriptor* skinView = FindDescriptor(*main, String(u"viewDevice"));
        ASSERT_TRUE(skinView);
        for (const RCPtr<LControlDescriptor>& child : skinView->children) {
            if (child->className.View().substr(0, 13) == u"ZiroruVovizu.")
                factory->CreateControl(RCPtr<IControlDescriptor>(child.Get()), view.Get());
        }
        view->SetFirstParamID(root.Get(), 0, 0);
    }
    RCPtr<TestDeviceView> view;
};

TEST_F(DeviceNumberingTest, AllFifteenIdsReachTheirPanelsAndComeBackUnderTheirIds)
{
    const struct {
        const char16_t* panel;
        Bytes defaults;
    } rows[] = {
        {u"globalChannel", {1}},
        {u"keybedEditPanel", {3, 2, 12}},
        {u"zone1", {0, 0, 0, 87, 6, 12}},
        {u"zone2", {0, 1, 0, 87, 6, 12}},
        {u"zone3", {0, 2, 0, 87, 6, 12}},
        {u"zone4", {0, 3, 0, 87, 6, 12}},
        {u"modWheel", {0, 0, 1, 0, 127}},
        {u"pitchWheel", {0, 0, 127}},
        {u"fader", {0, 0, 7, 0, 127}},
        {u"expressionPedal", {0, 0, 11, 0, 127}},
        {u"hardwareButtons", {0}},
        {u"button1", {0, 0, 127, 0, 0, 0, 0, 127}},
        {u"button2", {0, 0, 127, 0, 0, 0, 0, 127}},
        {u"footSwitch1", {0, 6, 0, 0x7F, 0, 0, 0x7F, 0, 0, 0x40, 0, 0x7F, 0}},
        {u"footSwitch2", {0, 6, 0, 0x7F, 0, 0, 0x7F, 0, 0, 0x43, 0, 0x7F, 0}},
    };
    for (int32_t id = 0; id < IRootModule::kParamCount; ++id) {
        SCOPED_TRACE(String(rows[id].panel).ToUtf8());
        RCPtr<LParameterizedModule> module = view->GetModuleForParam(id);
        ASSERT_TRUE(module);
        auto* control = dynamic_cast<LControl*>(module.Get());
        ASSERT_TRUE(control);
        EXPECT_EQ(String(rows[id].panel), control->GetName());
        EXPECT_EQ(id, module->GetFirstParamID());

        // Down through the view, as the main control applies a value: the
        // keyboard's defaults all fit their panels.
        ASSERT_EQ(S_OK, module->SetParamValueLocal(Id(id), Blob(rows[id].defaults), true));
        auto* value = dynamic_cast<IEditPanelValue*>(module.Get());
        ASSERT_TRUE(value);
        EXPECT_EQ(rows[id].defaults, value->ReadBytes());
        EXPECT_TRUE(root->sent.empty());
    }
    EXPECT_FALSE(view->GetModuleForParam(15));
    EXPECT_FALSE(view->GetModuleForParam(-1));
}

TEST_F(DeviceNumberingTest, AnEditInEveryPanelGoesUpUnderItsId)
{
    const struct {
        int32_t id;
        std::vector<const char16_t*> path;
    } rows[] = {
        {0, {u"globalChannel", u"midiChannel", u"comboBox"}},
        {1, {u"keybedEditPanel", u"octave", u"numericUpDown"}},
        {4, {u"zone3", u"transpose", u"numericUpDown"}},
        {6, {u"modWheel", u"minMax", u"max", u"numericUpDown"}},
        {7, {u"pitchWheel", u"minMax", u"min", u"numericUpDown"}},
        {9, {u"expressionPedal", u"cc", u"ccSelector", u"numericUpDown"}},
        {10, {u"hardwareButtons", u"type", u"comboBox"}},
        {12, {u"hardwareButtons", u"button2", u"bankLsb", u"numericUpDown"}},
        {14, {u"footSwitch2", u"minMax", u"min", u"numericUpDown"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        RCPtr<LControl> control(view.Get());
        for (const char16_t* name : row.path) control = control ? control->FindChildControl(name) : nullptr;
        ASSERT_TRUE(control);
        const size_t before = root->sent.size();
        if (auto* combo = dynamic_cast<LComboBox*>(control.Get())) {
            Select(combo, 2);
        } else {
            static_cast<LNumericUpDown&>(*control).SetNumber(2);
        }
        ASSERT_EQ(before + 1, root->sent.size());
        EXPECT_EQ(row.id, root->sent.back().id);
    }
}

TEST_F(DeviceNumberingTest, InstancesOfOneClassGetTheirOwnTitles)
{
    view->mPanels.ShowInstanceLabels();
    const struct {
        std::vector<const char16_t*> path;
        const char* text;
    } rows[] = {
        {{u"zone1", u"zoneNameLabel"}, "ZONE 1"},
        {{u"zone4", u"zoneNameLabel"}, "ZONE 4"},
        {{u"modWheel", u"controlNameLabel"}, "MOD WHEEL"},
        {{u"fader", u"controlNameLabel"}, "FADER"},
        {{u"expressionPedal", u"controlNameLabel"}, "EXPRESSION PEDAL"},
        {{u"footSwitch2", u"controlNameLabel"}, "FOOT SWITCH 2"},
        {{u"hardwareButtons", u"controlNameLabel"}, "HARDWARE BUTTONS"},
    };
    for (const auto& row : rows) {
        RCPtr<LControl> control(view.Get());
        for (const char16_t* name : row.path) control = control->FindChildControl(name);
        EXPECT_EQ(row.text, control->GetText().ToUtf8());
    }
}

}  // namespace
}  // namespace edit_panel_test
