#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "FakeParamEngine.h"
#include "LControlFactory.h"
#include "LMainControl.h"
#include "LNotificationCenterManager.h"
#include "LWrapper.h"
#include "MessageBoxHost.h"
#include "PackedList.h"
#include "TempFolder.h"

namespace {

using namespace QV;
using driver_test::Blob;
using driver_test::BytesOf;
using driver_test::FakeParamEngine;

// A panel's module: shows a value from the device and, as a panel does,
// reports what it now shows up through the main control.
class FakePanelModule : public LParameterizedModule {
    QV_TYPE_NAME("class FakePanelModule")
public:
    FakePanelModule() : LParameterizedModule(true) {}
    int32_t SetParamValueLocal(const ParamDescriptor& descriptor, const Variant& value, bool) override
    {
        received.push_back({descriptor.id, value});
        const Variant shown = reply.IsEmpty() ? value : reply;
        if (root) (void)root->SetParamValue(ParamDescriptor{descriptor.id, Variant()}, shown);
        return S_OK;
    }
    std::vector<FakeParamEngine::Sent> received;
    Variant reply;  // empty: report the value itself
    IRootModule* root = nullptr;
};

// The device module: one fake panel module per parameter.
class FakeDevice : public IDevice {
    QV_TYPE_NAME("class FakeDevice")
public:
    RCPtr<IGlobalChannel> GetGlobalChannel() override { return nullptr; }
    RCPtr<IKeybed> GetKeybed() override { return nullptr; }
    RCPtr<IZone> GetZone(int32_t) override { return nullptr; }
    RCPtr<IAbsoluteController> GetWheelController() override { return nullptr; }
    RCPtr<IPitchWheel> GetPitchWheel() override { return nullptr; }
    RCPtr<IAbsoluteController> GetAbsoluteController(int32_t) override { return nullptr; }
    RCPtr<IHardwareButtons> GetHardwareButtons() override { return nullptr; }
    RCPtr<IFootSwitch> GetFootSwitch(int32_t) override { return nullptr; }
    using IDevice::GetModuleForParam;
    RCPtr<LParameterizedModule> GetModuleForParam(int32_t id) override
    {
        const int32_t offset = id - GetFirstParamID();
        if (offset < 0 || offset >= 15) return nullptr;
        return RCPtr<LParameterizedModule>(modules[offset].Get());
    }
    RCPtr<FakePanelModule> modules[15] = {};
};

class FakeDeviceView : public LControl, public IDeviceView {
    QV_TYPE_NAME("class FakeDeviceView")
public:
    FakeDeviceView(LControl* parent, const String& name) : LControl(parent, name)
    {
        for (auto& module : device->modules) module = new FakePanelModule();
    }
    void SetEngine(IParamEngine* e, QVResult result) override
    {
        engines.push_back(e);
        results.push_back(result);
    }
    void SetDeviceConfiguration(const Variant& c) override { configurations.push_back(c); }
    RCPtr<IDevice> GetDeviceModule() override { return RCPtr<IDevice>(device.Get()); }

    RCPtr<FakeDevice> device{new FakeDevice()};
    std::vector<IParamEngine*> engines;
    std::vector<QVResult> results;
    std::vector<Variant> configurations;
};

class FakeMessageBoxes : public IMessageBoxHost {
public:
    int32_t ShowMessageBox(const String& text, const String& caption, uint32_t flags) override
    {
        shown.push_back(text.ToUtf8() + "|" + caption.ToUtf8() + "|" + std::to_string(flags));
        return 1;
    }
    std::vector<std::string> shown;
};

// Counts the exit requests that reach the default center.
class ExitListener : public LNotificationClient {
    QV_TYPE_NAME("class ExitListener")
public:
    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
    {
        ++requests;
        return S_OK;
    }
    int requests = 0;
};

constexpr const char* kStrings = R"(<?xml version="1.0" encoding="utf-8"?>
<Corvane_StringTable_Definitions>
  <Application Name="TestApp"/>
  <StringTable ID="|TestApp">
    <String ID="HARDWARE_CONFIG_ERROR_MESSAGE"><Locale LCID="9">The keyboard is set up wrongly.</Locale></String>
    <String ID="HARDWARE_CONFIG_ERROR_TITLE"><Locale LCID="9">Keyboard error</Locale></String>
  </StringTable>
</Corvane_StringTable_Definitions>
)";

// The application's factory with the application's string table loaded.
class FactoryApplication : public control_test::FakeApplication {
public:
    FactoryApplication()
    {
        TempFolder::WriteText(folder / "StringTables.xml", kStrings);
        loaded = factory->LoadStringTables(String((folder / "StringTables.xml").c_str()), String(u"::NONE"), 0x0409);
    }
    IControlFactory* GetControlFactory() override { return factory.Get(); }

    TempFolder folder{"main-control"};
    RCPtr<LControlFactory> factory{new LControlFactory(String(u"TestApp"))};
    QVResult loaded = E_FAIL;
};

class MainControlTest : public ::testing::Test {
protected:
    ~MainControlTest() override
    {
        if (main) main->Close();
        main = nullptr;
        LNotificationCenterManager::ResetInstance();
    }

    // Builds the control as the factory does: children first, then Initialize.
    RCPtr<FakeDeviceView> Build(bool withView = true)
    {
        main = new LMainControl(nullptr, String(u"mainControl"));
        RCPtr<FakeDeviceView> view;
        if (withView) view = new FakeDeviceView(main.Get(), String(u"viewDevice"));
        status = new LControl(main.Get(), String(u"viewStatus"));
        EXPECT_EQ(main->Initialize(), S_OK);
        main->SetInitialized(true);
        if (view) {
            for (auto& module : view->device->modules) module->root = main.Get();
        }
        return view;
    }

    // Posts as the engine does and drains as the idle processing does.
    void Deliver(const RCPtr<LRefCountedObject>& payload)
    {
        ASSERT_EQ(GetDefaultNotificationCenter()->PostNamedNotification(u"NID_PARAM_MODULE_STATE_CHANGE", payload),
                  S_OK);
        while (LNotificationCenterManager::GetInstance()->ProcessNotifications(false)) {
        }
    }
    void DeliverPair(int32_t id, const Variant& value)
    {
        Deliver(RCPtr<LRefCountedObject>(new ParamChangePair(ParamDescriptor{id, Variant()}, value)));
    }
    void DeliverList(const Variant& list)
    {
        ParamValues values;
        uint32_t size = 0;
        const uint8_t* data = list.GetData(size);
        values.SetData(Variant::kArray, data, size);
        Deliver(RCPtr<LRefCountedObject>(new LWrapper<ParamValues>(values)));
    }

    FactoryApplication app;
    ScopedControlApplication appScope{app};
    FakeParamEngine engine;
    ScopedParamEngine engineScope{engine};
    FakeMessageBoxes boxes;
    ScopedMessageBoxHost boxScope{boxes};
    RCPtr<LMainControl> main;
    RCPtr<LControl> status;
};

TEST_F(MainControlTest, InitializeHoldsItsChildrenAndHandsTheEngineToTheDeviceView)
{
    engine.firstID = 32;
    RCPtr<FakeDeviceView> view = Build();
    EXPECT_EQ(main->GetDeviceView().Get(), static_cast<LControl*>(view.Get()));
    EXPECT_EQ(main->GetStatusView().Get(), status.Get());
    EXPECT_TRUE(main->GetDeviceSelector().IsNull());
    ASSERT_EQ(view->engines.size(), 1u);
    EXPECT_EQ(view->engines[0], &engine);
    EXPECT_EQ(view->results[0], S_OK);
    // The device view's module is numbered under the main control.
    EXPECT_EQ(view->device->GetFirstParamID(), 32);
    EXPECT_EQ(view->device->GetParent(), static_cast<LParameterizedModule*>(main.Get()));
    EXPECT_EQ(main->GetDevice().Get(), view->device.Get());
}

TEST_F(MainControlTest, WithoutAnEngineTheDeviceViewGetsTheFailure)
{
    engine.available = false;
    RCPtr<FakeDeviceView> view = Build();
    ASSERT_EQ(view->engines.size(), 1u);
    EXPECT_EQ(view->engines[0], nullptr);
    EXPECT_LT(view->results[0], 0);
}

TEST_F(MainControlTest, AMissingDeviceViewRaisesTheNamedError)
{
    const std::string expected =
        "Null Pointer : LMainControl couldn't find viewDevice : QV::LMainControl::Initialize : "
        "UI\\DriverCommon\\MainControl : Line 38";
    struct Case {
        const char* name;
        bool plainChild;
    };
    for (const Case& c : {Case{"no child", false}, Case{"a child of another class", true}}) {
        SCOPED_TRACE(c.name);
        RCPtr<LMainControl> control(new LMainControl(nullptr, String(u"mainControl")));
        if (c.plainChild) (void)RCPtr<LControl>(new LControl(control.Get(), String(u"viewDevice")));
        try {
            (void)control->Initialize();
            ADD_FAILURE() << "no error raised";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), expected);
        }
        EXPECT_TRUE(control->GetDeviceView().IsNull());
        control->Close();
    }
}

TEST_F(MainControlTest, AValueFromTheDeviceIsShownAndNotSentBack)
{
    RCPtr<FakeDeviceView> view = Build();
    const Variant zone = Blob({1, 0, 0, 127, 6, 12});
    DeliverPair(2, zone);
    FakePanelModule& panel = *view->device->modules[2];
    ASSERT_EQ(panel.received.size(), 1u);
    EXPECT_EQ(panel.received[0].id, 2);
    EXPECT_EQ(BytesOf(panel.received[0].value), BytesOf(zone));
    EXPECT_TRUE(engine.sent.empty());

    // Once applied, the same value from the user is an edit like any other.
    EXPECT_EQ(main->SetParamValue(ParamDescriptor{2, Variant()}, zone), S_OK);
    ASSERT_EQ(engine.sent.size(), 1u);
    EXPECT_EQ(engine.sent[0].id, 2);
}

TEST_F(MainControlTest, OnlyTheExactPairBeingAppliedIsDropped)
{
    RCPtr<FakeDeviceView> view = Build();
    struct Case {
        const char* name;
        Variant reply;
        size_t sent;
    };
    const Case cases[] = {
        {"the echo", Variant(), 0},
        {"another value", Blob({1, 0, 0, 127, 6, 13}), 1},
        {"the same bytes as another type", Variant(int32_t{7}), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.sent.clear();
        view->device->modules[4]->reply = c.reply;
        DeliverPair(4, Blob({1, 0, 0, 127, 6, 12}));
        EXPECT_EQ(engine.sent.size(), c.sent);
    }
    engine.setResult = E_FAIL;
    EXPECT_EQ(main->SetParamValue(ParamDescriptor{4, Variant()}, Blob({1})), E_FAIL);
}

TEST_F(MainControlTest, ValueListsApplyTheirRecordsInOrderUpToABrokenOne)
{
    RCPtr<FakeDeviceView> view = Build();
    const std::vector<ParamValue> three = {{{0, {}}, Blob({5})}, {{7, {}}, Blob({1, 2, 3})}, {{14, {}}, Blob({9})}};
    const ParamValues packed = PackedList::PackValues(three);
    uint32_t size = 0;
    const uint8_t* data = packed.GetData(size);
    const std::string whole(reinterpret_cast<const char*>(data), size);
    const uint32_t firstLength = data[0] | (data[1] << 8);

    auto list = [](const std::string& bytes) {
        Variant v;
        v.SetData(Variant::kArray, bytes.data(), static_cast<uint32_t>(bytes.size()));
        return v;
    };
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<int32_t> applied;
    };
    const Case cases[] = {
        {"three records", whole, {0, 7, 14}},
        {"four bytes", whole.substr(0, 4), {}},
        {"a record length below a header", whole.substr(0, firstLength) + std::string("\x0B\0\0\0\0\0\0\0", 8), {0}},
        {"a record running past the end", whole.substr(0, size - 1), {0, 7}},
        {"a record that is not a value",
         whole.substr(0, firstLength) + std::string("\x0C\0\0\0\x01\0\0\0\0\0\0\0", 12),
         {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (auto& module : view->device->modules) module->received.clear();
        DeliverList(list(c.bytes));
        std::vector<int32_t> applied;
        for (auto& module : view->device->modules) {
            for (const auto& r : module->received) applied.push_back(r.id);
        }
        EXPECT_EQ(applied, c.applied);
        EXPECT_TRUE(engine.sent.empty());
    }
}

TEST_F(MainControlTest, EmptyValuesAndUnknownIdsApplyNothing)
{
    RCPtr<FakeDeviceView> view = Build();
    DeliverPair(3, Variant());
    DeliverPair(15, Blob({1}));
    DeliverPair(-8, Variant("Tarsel"));
    for (auto& module : view->device->modules) EXPECT_TRUE(module->received.empty());
    EXPECT_EQ(engine.configurationReads, 0);
}

TEST_F(MainControlTest, TheConfigurationCheckHandsTheResultOnOrEndsTheApplication)
{
    ASSERT_EQ(app.loaded, S_OK);
    RCPtr<ExitListener> exits(new ExitListener());
    exits->RegisterNotification(GetDefaultNotificationCenter(), u"NID_APP_EXIT_REQ");
    RCPtr<FakeDeviceView> view = Build();

    DeliverPair(LMainControl::kConfigurationCheckId, Variant());
    ASSERT_EQ(view->configurations.size(), 1u);
    EXPECT_EQ(BytesOf(view->configurations[0]), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(exits->requests, 0);

    // Only an empty value asks for the check.
    DeliverPair(LMainControl::kConfigurationCheckId, Variant(true));
    EXPECT_EQ(engine.configurationReads, 1);

    engine.configurationResult = E_FAIL;
    DeliverPair(LMainControl::kConfigurationCheckId, Variant());
    EXPECT_EQ(view->configurations.size(), 1u);
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"The keyboard is set up wrongly.|Keyboard error|16"}));
    EXPECT_EQ(exits->requests, 1);
    exits->UnregisterAllNotifications();
}

TEST(MessageBoxHostTest, TheRoutineAsksTheInstalledHostOrAnswersNoButton)
{
    FakeMessageBoxes boxes;
    EXPECT_EQ(ShowMessageBox(String(u"text"), String(u"caption"), 0x10), 0);
    {
        ScopedMessageBoxHost scope(boxes);
        EXPECT_EQ(ShowMessageBox(String(u"text"), String(u"caption"), 0x10), 1);
    }
    EXPECT_EQ(ShowMessageBox(String(u"text"), String(u"caption"), 0x10), 0);
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"text|caption|16"}));
}

}  // namespace
