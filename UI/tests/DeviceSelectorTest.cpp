// The keyboard choice: shown only for two or more keyboards; a pick connects.
#include <gtest/gtest.h>

#include "LComboBox.h"
#include "LControlFactory.h"
#include "LDeviceSelector.h"
#include "LLabel.h"
#include "LListBox.h"
#include "LListBoxItem.h"
#include "ShippedSkinApplication.h"

namespace {

using namespace QV;

const LControlDescriptor* FindDescriptor(const LControlDescriptor& from, const String& name)
{
    for (const RCPtr<LControlDescriptor>& child : from.children) {
        if (child->name == name) return child.Get();
        if (const LControlDescriptor* found = FindDescriptor(*child, name)) return found;
    }
    return nullptr;
}

class DeviceSelectorTest : public ::testing::Test {
protected:
    DeviceSelectorTest() : mApp(app) {}
    void SetUp() override
    {
        ASSERT_GE(app.loaded, 0);
        auto main = RCPtr<LControlDescriptor>::DynamicCast(app.skin->FindControlDescriptor(u"mainControl"));
        ASSERT_TRUE(main);
        const LControlDescriptor* panel = FindDescriptor(*main, u"panelDeviceSelector");
        ASSERT_TRUE(panel);
        selector = RCPtr<LDeviceSelector>::DynamicCast(
            app.skin->CreateControl(RCPtr<IControlDescriptor>(const_cast<LControlDescriptor*>(panel)), nullptr));
        ASSERT_TRUE(selector);
        combo = RCPtr<LComboBox>::DynamicCast(selector->FindChildControl(u"comboDevices"));
        ASSERT_TRUE(combo);
        selector->SetDeviceSource({[this] { return devices; },
                                   [this](const Variant& id) {
                                       selected.push_back(id.GetAsInt32());
                                       return 0;
                                   }});
    }
    void TearDown() override
    {
        if (selector) selector->Close();
    }
    static LDeviceSelector::Device Keyboard(int32_t id, const char16_t* name)
    {
        Variant v;
        v.SetInt32(id);
        return {v, name};
    }

    // The shipped skin's selector, built by the real factory.
    ShippedSkinApplication app{{u"Framework.Label", &CreateControlOfClass<LLabel>},
                               {u"Framework.ComboBox", &CreateControlOfClass<LComboBox>},
                               {u"Framework.ListBox", &CreateControlOfClass<LListBox>},
                               {u"Framework.ListBoxItem", &CreateControlOfClass<LListBoxItem>},
                               {u"ZiroruVovizu.DeviceSelector", &CreateControlOfClass<LDeviceSelector>}};
    RCPtr<LDeviceSelector> selector;
    RCPtr<LComboBox> combo;
    std::vector<LDeviceSelector::Device> devices;
    std::vector<int32_t> selected;

private:
    ScopedControlApplication mApp;
};

TEST_F(DeviceSelectorTest, ShownOnlyForTwoOrMoreKeyboards)
{
    const struct {
        int count;
        bool shown;
    } cases[] = {{0, false}, {1, false}, {2, true}, {3, true}, {1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        devices.clear();
        for (int i = 0; i < c.count; ++i) devices.push_back(Keyboard(i, u"Tarsel"));
        selector->Refresh();
        EXPECT_EQ(selector->GetLayout().isVisible, c.shown);
        EXPECT_EQ(combo->GetItemCount(), c.count);
    }
    EXPECT_TRUE(selected.empty()) << "filling the list chose a keyboard";
}

TEST_F(DeviceSelectorTest, APickConnectsThatKeyboard)
{
    devices = {Keyboard(7, u"Tarsel A"), Keyboard(9, u"Tarsel B")};
    selector->Refresh();
    EXPECT_EQ(combo->GetItemText(1).ToUtf8(), "Tarsel B");
    combo->SetSelectedIndex(1);
    EXPECT_EQ(selected, std::vector<int32_t>{9});
}

}  // namespace
