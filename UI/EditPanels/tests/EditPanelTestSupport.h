#pragma once
// Builds edit panels the way the program does: the shipped skin and string
// tables, the real factory and the real framework controls, under a root
// module that records what the panels send.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "DeviceInterface.h"
#include "EditPanelClasses.h"
#include "IDeviceCommunication.h"
#include "LButton.h"
#include "LComboBox.h"
#include "LControlFactory.h"
#include "LLabel.h"
#include "LLayout.h"
#include "LListBox.h"
#include "LListBoxItem.h"
#include "LScrollbar.h"
#include "LNoteSelector.h"
#include "LNumericUpDown.h"
#include "LTextBox.h"
#include "RootModuleInterface.h"

namespace edit_panel_test {

using namespace QV;
using Bytes = std::vector<uint8_t>;

// The top of a module tree: keeps every value sent up to it.
class RecordingRoot : public IRootModule {
    QV_TYPE_NAME("class RecordingRoot")
public:
    struct Sent {
        int32_t id;
        Bytes bytes;
        int32_t type;
    };
    int32_t SetParamValue(const ParamDescriptor& descriptor, const Variant& value) override
    {
        uint32_t size = 0;
        const uint8_t* data = value.GetData(size);
        sent.push_back({descriptor.id, Bytes(data, data + size), value.GetType()});
        return S_OK;
    }
    int32_t OnParamValueChanged(const ParamDescriptor&, const Variant&) override { return S_OK; }
    RCPtr<IDeviceCommunication> GetCommunicationInterface() override { return nullptr; }
    int32_t ApplyParamValue(const ParamDescriptor&, const Variant&) override { return S_OK; }
    int32_t FetchParamValue(const ParamDescriptor&, Variant&) override { return E_FAIL; }
    using IRootModule::GetDevice;
    RCPtr<IDevice> GetDevice() override { return nullptr; }

    std::vector<Sent> sent;
};

class PanelApplication : public control_test::FakeApplication {
public:
    explicit PanelApplication(LControlFactory& f) : mFactory(f) {}
    IControlFactory* GetControlFactory() override { return &mFactory; }
    QVResult ResolveLayout(LControl& control, const DoubleRect& reference, DoubleRect& frame) override
    {
        return LLayout::ResolveControl(control, reference, frame);
    }

private:
    LControlFactory& mFactory;
};

inline Variant Blob(const Bytes& bytes)
{
    Variant v;
    v.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return v;
}

inline ParamDescriptor Id(int32_t id)
{
    ParamDescriptor d;
    d.id = id;
    return d;
}

inline std::string Hex(const Bytes& bytes)
{
    std::string s;
    char b[4];
    for (uint8_t x : bytes) {
        std::snprintf(b, sizeof b, "%02X ", x);
        s += b;
    }
    return s;
}

// The factory with the shipped documents, the application that hands it
// out and a top control to build panels under.
class PanelWorld {
public:
    PanelWorld()
    {
        const struct {
            const char16_t* name;
            ControlCreateFunction create;
        } framework[] = {
            {u"Framework.Label", &CreateControlOfClass<LLabel>},
            {u"Framework.Button", &CreateControlOfClass<LButton>},
            {u"Framework.TextBox", &CreateControlOfClass<LTextBox>},
            {u"Framework.NumericUpDown", &CreateControlOfClass<LNumericUpDown>},
            {u"Framework.ComboBox", &CreateControlOfClass<LComboBox>},
            {u"Framework.ListBox", &CreateControlOfClass<LListBox>},
            {u"Framework.ListBoxItem", &CreateControlOfClass<LListBoxItem>},
            {u"Framework.ScrollBar", &CreateControlOfClass<LScrollbar>},
        };
        for (const auto& row : framework) EXPECT_GE(factory->RegisterControl(String(row.name), row.create), 0);
        EXPECT_EQ(RegisterEditPanelControls(*factory), S_OK);
        EXPECT_EQ(factory->LoadResources(String(u"::"), 0x0409), S_OK);
        top = new control_test::TestControl(nullptr, u"top");
        EXPECT_GE(top->AttachToRootWindow(RCPtr<IRootWindow>(rootWindow.Get())), 0);
        rootWindow->top = top.Get();
    }
    ~PanelWorld()
    {
        if (top) top->Close();
    }

    // The skin's panel of that name, built under the top control.
    template <class T>
    RCPtr<T> Build(const char16_t* name)
    {
        RCPtr<LControlDescriptor> main =
            RCPtr<LControlDescriptor>::DynamicCast(factory->FindControlDescriptor(String(u"mainControl")));
        if (const LControlDescriptor* panel = main ? FindDescriptor(*main, String(name)) : nullptr) {
            return RCPtr<T>::DynamicCast(
                factory->CreateControl(RCPtr<IControlDescriptor>(const_cast<LControlDescriptor*>(panel)), top.Get()));
        }
        ADD_FAILURE() << "no panel " << String(name).ToUtf8() << " in the skin";
        return nullptr;
    }

    // The first descriptor of that name below `from`, depth first (the panels
    // sit in the device view).
    static const LControlDescriptor* FindDescriptor(const LControlDescriptor& from, const String& name)
    {
        for (const RCPtr<LControlDescriptor>& child : from.children) {
            if (child->name == name) return child.Get();
            if (const LControlDescriptor* found = FindDescriptor(*child, name)) return found;
        }
        return nullptr;
    }

    // The control at the end of a path of names.
    template <class T = LControl>
    static RCPtr<T> At(LControl* from, std::initializer_list<const char16_t*> path)
    {
        RCPtr<LControl> at(from);
        for (const char16_t* name : path) {
            at = at ? at->FindChildControl(name) : nullptr;
        }
        return RCPtr<T>::DynamicCast(at);
    }

    // Chooses an item as the list would; the notification is sent once either way.
    void Select(LComboBox* combo, int32_t index)
    {
        RCPtr<control_test::NotificationLog> log(new control_test::NotificationLog());
        log->Listen(combo, {u"NID_SELECTION_CHANGE"});
        const int32_t before = combo->GetSelectedIndex();
        combo->SetSelectedIndex(index);
        if (log->names.empty() && before != index) combo->Notify(u"NID_SELECTION_CHANGE");
        log->UnregisterAllNotifications();
    }

    // One user's edit: it must send exactly one blob, the expected one, under id.
    struct Edit {
        const char* name;
        std::function<void()> change;
        Bytes sent;
        std::function<void()> check = {};
    };
    void ExpectEachEditSendsItsBlob(int32_t id, const std::vector<Edit>& edits)
    {
        for (const Edit& edit : edits) {
            SCOPED_TRACE(edit.name);
            const size_t before = root->sent.size();
            edit.change();
            ASSERT_EQ(before + 1, root->sent.size());
            EXPECT_EQ(id, root->sent.back().id);
            EXPECT_EQ(edit.sent, root->sent.back().bytes) << Hex(root->sent.back().bytes);
            if (edit.check) edit.check();
        }
    }

    Bytes LastSent() const { return root->sent.empty() ? Bytes() : root->sent.back().bytes; }

    RCPtr<LControlFactory> factory{new LControlFactory(String(u"ZiroruVovizu"))};
    PanelApplication app{*factory};
    ScopedControlApplication scope{app};
    RCPtr<control_test::FakeRootWindow> rootWindow{new control_test::FakeRootWindow()};
    RCPtr<control_test::TestControl> top;
    RCPtr<RecordingRoot> root{new RecordingRoot()};
};

class EditPanelFixture : public ::testing::Test, public PanelWorld {};

}  // namespace edit_panel_test
