#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Device.h"
#include "IDeviceCommunication.h"
#include "StringT.h"

namespace {

using QV::ParamDescriptor;
using QV::RCPtr;
using QV::Variant;

std::vector<uint8_t> BytesOf(const Variant& v)
{
    uint32_t size = 0;
    const uint8_t* data = v.GetData(size);
    return std::vector<uint8_t>(data, data + size);
}

Variant Blob(std::vector<uint8_t> bytes)
{
    Variant v;
    v.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return v;
}

ParamDescriptor Desc(int32_t id) { return ParamDescriptor{id, Variant()}; }

// Records what reaches the keyboard instead of calling a library.
class RecordingLink : public IDeviceCommunication {
public:
    std::vector<int32_t> sentIds;
    int32_t SetParamValue(const ParamDescriptor* descriptor, const Variant&) override
    {
        sentIds.push_back(descriptor->id);
        return 0;
    }
};

// The least root: keeps values in a map so parts' values have an end.
class TestRoot : public IRootModule {
    QV_TYPE_NAME("class TestRoot")
public:
    RCPtr<IDevice> device;
    RCPtr<IDeviceCommunication> link;
    std::map<int32_t, Variant> stored;

    int32_t StoreParamValue(const ParamDescriptor& d, const Variant& v) override
    {
        stored[d.id] = v;
        return 0;
    }
    Variant GetStoredParamValue(const ParamDescriptor& d) override
    {
        auto it = stored.find(d.id);
        return it == stored.end() ? Variant() : it->second;
    }
    int32_t SetParamValue(const ParamDescriptor& d, const Variant& v) override { return StoreParamValue(d, v); }
    Variant GetParamValue(int32_t id) override { return GetStoredParamValue(Desc(id)); }
    int32_t OnParamValueChanged(const ParamDescriptor&, const Variant&) override { return 0; }
    RCPtr<IDeviceCommunication> GetCommunicationInterface() override { return link; }
    int32_t ApplyParamValue(const ParamDescriptor&, const Variant&) override { return QV::E_NOTIMPL; }
    int32_t FetchParamValue(const ParamDescriptor&, Variant&) override { return QV::E_NOTIMPL; }
    using IRootModule::GetDevice;
    RCPtr<IDevice> GetDevice() override { return device; }
};

// A root with the real device tree numbered from first.
RCPtr<TestRoot> MakeTree(int32_t first)
{
    RCPtr<TestRoot> root(new TestRoot());
    root->device = LDevice::Create();
    root->SetFirstParamID(nullptr, first, 0);
    return root;
}

// Breaks the parent links before the tree goes, as the real root does.
struct TreeFixture : ::testing::Test {
    RCPtr<TestRoot> root;
    void TearDown() override
    {
        if (root) root->device = nullptr;
    }
};

using DefaultsTest = TreeFixture;

TEST_F(DefaultsTest, EveryDefaultBlobByteForByte)
{
    const std::vector<std::vector<uint8_t>> expected = {
        {1},
        {3, 2, 12},
        {0, 0, 0, 87, 6, 12},
        {0, 1, 0, 87, 6, 12},
        {0, 2, 0, 87, 6, 12},
        {0, 3, 0, 87, 6, 12},
        {0, 0, 1, 0, 127},
        {0, 0, 127},
        {0, 0, 7, 0, 127},
        {0, 0, 11, 0, 127},
        {0},
        {0, 0, 127, 0, 0, 0, 0, 127},
        {0, 0, 127, 0, 0, 0, 0, 127},
        {0x00, 0x06, 0x00, 0x7F, 0x00, 0x00, 0x7F, 0x00, 0x00, 0x40, 0x00, 0x7F, 0x00},
        {0x00, 0x06, 0x00, 0x7F, 0x00, 0x00, 0x7F, 0x00, 0x00, 0x43, 0x00, 0x7F, 0x00},
    };
    // The controllers' defaults follow their offset, whatever the first id.
    for (int32_t first : {0, 100}) {
        root = MakeTree(first);
        for (int32_t i = 0; i < 15; ++i) {
            SCOPED_TRACE("first " + std::to_string(first) + " offset " + std::to_string(i));
            RCPtr<LParameterizedModule> module = root->GetModuleForParam(first + i);
            ASSERT_FALSE(module.IsNull());
            const Variant value = module->GetParamValueDefault(first + i);
            EXPECT_EQ(value.GetType(), Variant::kBlob);
            EXPECT_EQ(BytesOf(value), expected[i]);
        }
        root->device = nullptr;
    }
}

using RoutingTest = TreeFixture;

TEST_F(RoutingTest, IdsReachTheirModules)
{
    root = MakeTree(100);
    RCPtr<IDevice> device = root->device;
    RCPtr<IHardwareButtons> buttons = device->GetHardwareButtons();
    const std::vector<std::pair<int32_t, const LParameterizedModule*>> cases = {
        {100, device->GetGlobalChannel().Get()},
        {101, device->GetKeybed().Get()},
        {102, device->GetZone(0).Get()},
        {105, device->GetZone(3).Get()},
        {106, device->GetWheelController().Get()},
        {107, device->GetPitchWheel().Get()},
        {108, device->GetAbsoluteController(0).Get()},
        {109, device->GetAbsoluteController(1).Get()},
        {110, buttons.Get()},
        {111, buttons->GetHardwareButton(0).Get()},
        {112, buttons->GetHardwareButton(1).Get()},
        {113, device->GetFootSwitch(0).Get()},
        {114, device->GetFootSwitch(1).Get()},
        {115, nullptr},
        {99, nullptr},
        {-129, nullptr},
    };
    for (const auto& [id, module] : cases) {
        EXPECT_EQ(root->GetModuleForParam(id).Get(), module) << id;
        if (id >= 100 && id <= 114) {
            EXPECT_EQ(device->GetModuleForParam(id).Get(), module) << id;
        }
    }
    EXPECT_EQ(buttons->GetModuleForParam(113).Get(), nullptr);
    EXPECT_EQ(std::u16string(device->GetZone(2)->ToString().GetChars()), u"class LZone");
}

using NumberingTest = TreeFixture;

TEST_F(NumberingTest, OffsetAcceptanceAndErrorTexts)
{
    root = MakeTree(0);
    struct Case {
        std::function<RCPtr<LParameterizedModule>()> make;
        std::vector<int32_t> accepted;
        std::string error;  // raised for the first offset not accepted
    };
    const std::string src = " : ..\\DeviceControl\\GeneratedCode\\Engine\\Src\\";
    const std::vector<Case> cases = {
        {[] { return RCPtr<LParameterizedModule>(LGlobalChannel::Create()); }, {0},
         "Logic Error : Invalid FirstParamID : LGlobalChannel::SetFirstParamID" + src + "GlobalChannel : Line 72"},
        {[] { return RCPtr<LParameterizedModule>(LKeybed::Create()); }, {1},
         "Logic Error : Invalid FirstParamID : LKeybed::SetFirstParamID" + src + "Keybed : Line 72"},
        {[] { return RCPtr<LParameterizedModule>(LZone::Create()); }, {2, 3, 4, 5},
         "Logic Error : Invalid FirstParamID : LZone::SetFirstParamID" + src + "Zone : Line 78"},
        {[] { return RCPtr<LParameterizedModule>(LAbsoluteController::Create()); }, {6, 8, 9},
         "Logic Error : Invalid FirstParamID : LAbsoluteController::SetFirstParamID" + src +
             "AbsoluteController : Line 76"},
        {[] { return RCPtr<LParameterizedModule>(LPitchWheel::Create()); }, {7},
         "Logic Error : Invalid FirstParamID : LPitchWheel::SetFirstParamID" + src + "PitchWheel : Line 72"},
        {[] { return RCPtr<LParameterizedModule>(LHardwareButton::Create()); }, {11, 12},
         "Logic Error : Invalid FirstParamID : LHardwareButton::SetFirstParamID" + src + "HardwareButton : Line 74"},
        {[] { return RCPtr<LParameterizedModule>(LFootSwitch::Create()); }, {13, 14},
         "Logic Error : Invalid FirstParamID : LFootSwitch::SetFirstParamID" + src + "FootSwitch : Line 74"},
    };
    for (const Case& c : cases) {
        RCPtr<LParameterizedModule> module = c.make();
        for (int32_t offset = -1; offset <= 15; ++offset) {
            const bool accepted = std::find(c.accepted.begin(), c.accepted.end(), offset) != c.accepted.end();
            if (accepted) {
                EXPECT_NO_THROW(module->SetFirstParamID(root.Get(), offset, 0)) << c.error << " " << offset;
            } else {
                try {
                    module->SetFirstParamID(root.Get(), offset, 0);
                    ADD_FAILURE() << c.error << " accepted offset " << offset;
                } catch (const std::logic_error& e) {
                    EXPECT_EQ(e.what(), c.error);
                }
                // The numbering stays as stored, as the failed call left it.
                EXPECT_EQ(module->GetFirstParamID(), offset);
            }
        }
    }
}

TEST_F(NumberingTest, GroupAndDeviceRaiseAfterTheirChildren)
{
    root = MakeTree(0);
    RCPtr<LHardwareButtons> group = LHardwareButtons::Create();
    try {
        group->SetFirstParamID(root.Get(), 9, 0);  // buttons at 10 and 11: button 0 refuses first
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(),
                     "Logic Error : Invalid FirstParamID : LHardwareButton::SetFirstParamID : "
                     "..\\DeviceControl\\GeneratedCode\\Engine\\Src\\HardwareButton : Line 74");
    }
    RCPtr<LDevice> device = LDevice::Create();
    try {
        device->SetFirstParamID(root.Get(), 1, 0);
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Logic Error : Invalid FirstParamID : LGlobalChannel::", 0), 0u);
    }
}

using ModuleErrorsTest = TreeFixture;

TEST_F(ModuleErrorsTest, ForeignIdsRaiseTheClassErrors)
{
    root = MakeTree(0);
    struct Case {
        int32_t id;
        const char* cls;
        const char* file;
        int getLocalLine;
        int defaultLine;
    };
    const Case cases[] = {
        {0, "LGlobalChannel", "GlobalChannel", 91, 210},
        {1, "LKeybed", "Keybed", 91, 210},
        {4, "LZone", "Zone", 97, 216},
        {8, "LAbsoluteController", "AbsoluteController", 95, 214},
        {7, "LPitchWheel", "PitchWheel", 91, 210},
        {10, "LHardwareButtons", "HardwareButtons", 91, 210},
        {12, "LHardwareButton", "HardwareButton", 93, 212},
        {14, "LFootSwitch", "FootSwitch", 93, 212},
    };
    for (const Case& c : cases) {
        RCPtr<LParameterizedModule> module = root->GetModuleForParam(c.id);
        const std::string tail = std::string(" : ..\\DeviceControl\\GeneratedCode\\Engine\\Src\\") + c.file;
        try {
            module->GetParamValueLocal(Desc(c.id + 20));
            ADD_FAILURE() << c.cls;
        } catch (const std::logic_error& e) {
            EXPECT_EQ(e.what(), std::string("Logic Error : ") + c.cls + "::GetParamValueLocal" + tail + " : Line " +
                                    std::to_string(c.getLocalLine));
        }
        try {
            module->GetParamValueDefault(c.id + 20);
            ADD_FAILURE() << c.cls;
        } catch (const std::logic_error& e) {
            EXPECT_EQ(e.what(), std::string("Logic Error : ") + c.cls + "::GetParamValueDefault" + tail + " : Line " +
                                    std::to_string(c.defaultLine));
        }
    }
}

TEST_F(ModuleErrorsTest, DeviceHasNoParameterOfItsOwn)
{
    root = MakeTree(0);
    try {
        root->device->SetParamValueLocal(Desc(0), Blob({1}), false);
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(),
                     "Logic Error : LParameterizedModule::SetParamValueLocal : "
                     "DeviceControl\\GeneratedCode\\Engine\\Inc\\RootModuleInterface : Line 102");
    }
    try {
        root->device->GetParamValueLocal(Desc(0));
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(),
                     "Logic Error : LParameterizedModule::GetParamValueLocal : "
                     "DeviceControl\\GeneratedCode\\Engine\\Inc\\RootModuleInterface : Line 116");
    }
    EXPECT_TRUE(root->device->GetParamValueDefault(0).IsEmpty());
}

using SetLocalTest = TreeFixture;

TEST_F(SetLocalTest, ResultsForSubForeignAndOwnIds)
{
    root = MakeTree(0);
    RCPtr<RecordingLink> link(new RecordingLink());
    root->link = link;
    RCPtr<LParameterizedModule> zone = root->GetModuleForParam(3);
    struct Case {
        int32_t id;
        bool localOnly;
        int32_t result;
        std::vector<int32_t> sent;
        bool stored;
    };
    const Case cases[] = {
        {-129, true, 1, {}, false},
        {-129, false, 1, {-129}, false},
        {-256, false, 1, {-256}, false},
        {-128, false, -1, {}, false},
        {-257, false, -1, {}, false},
        {-4, false, -1, {}, false},
        {2, false, -1, {}, false},
        {4, false, -1, {}, false},
        {3, false, 0, {}, true},
        {3, true, 0, {}, true},
    };
    for (const Case& c : cases) {
        link->sentIds.clear();
        root->stored.clear();
        EXPECT_EQ(zone->SetParamValueLocal(Desc(c.id), Blob({1, 2, 3, 4, 5, 6}), c.localOnly), c.result) << c.id;
        EXPECT_EQ(link->sentIds, c.sent) << c.id;
        EXPECT_EQ(root->stored.count(c.id) == 1, c.stored) << c.id;
    }
    // An own value reaches the root's store and reads back through the part.
    EXPECT_EQ(BytesOf(zone->GetParamValueLocal(Desc(3))), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    root->link = nullptr;
}

// Parts that log their hooks, to see the propagation order of the trees.
template <class Interface>
class HookPart : public Interface {
public:
    HookPart(std::vector<std::string>* log, std::string name) : mLog(log), mName(std::move(name)) {}
    void TreeHookA() override { mLog->push_back("A:" + mName); }
    void TreeHookB() override { mLog->push_back("B:" + mName); }

private:
    std::vector<std::string>* mLog;
    std::string mName;
};

class HookButtons : public HookPart<IHardwareButtons> {
public:
    HookButtons(std::vector<std::string>* log) : HookPart(log, "group")
    {
        for (int i = 0; i < 2; ++i) buttons.emplace_back(new HookPart<IHardwareButton>(log, "button" + std::to_string(i)));
    }
    void TreeHookA() override { IHardwareButtons::TreeHookA(); }
    void TreeHookB() override { IHardwareButtons::TreeHookB(); }
    using IHardwareButtons::GetHardwareButton;
    RCPtr<IHardwareButton> GetHardwareButton(int32_t i) override { return buttons[i]; }
    std::vector<RCPtr<IHardwareButton>> buttons;
};

class HookDevice : public IDevice {
public:
    explicit HookDevice(std::vector<std::string>* log)
        : global(new HookPart<IGlobalChannel>(log, "global")),
          keybed(new HookPart<IKeybed>(log, "keybed")),
          wheel(new HookPart<IAbsoluteController>(log, "wheel")),
          pitch(new HookPart<IPitchWheel>(log, "pitch")),
          group(new HookButtons(log))
    {
        for (int i = 0; i < 4; ++i) zones.emplace_back(new HookPart<IZone>(log, "zone" + std::to_string(i)));
        for (int i = 0; i < 2; ++i) {
            controllers.emplace_back(new HookPart<IAbsoluteController>(log, "controller" + std::to_string(i)));
            feet.emplace_back(new HookPart<IFootSwitch>(log, "foot" + std::to_string(i)));
        }
    }
    RCPtr<IGlobalChannel> global;
    RCPtr<IKeybed> keybed;
    std::vector<RCPtr<IZone>> zones;
    RCPtr<IAbsoluteController> wheel;
    RCPtr<IPitchWheel> pitch;
    std::vector<RCPtr<IAbsoluteController>> controllers;
    RCPtr<HookButtons> group;
    std::vector<RCPtr<IFootSwitch>> feet;

    using IDevice::GetGlobalChannel;
    using IDevice::GetKeybed;
    using IDevice::GetZone;
    using IDevice::GetWheelController;
    using IDevice::GetPitchWheel;
    using IDevice::GetAbsoluteController;
    using IDevice::GetHardwareButtons;
    using IDevice::GetFootSwitch;
    RCPtr<IGlobalChannel> GetGlobalChannel() override { return global; }
    RCPtr<IKeybed> GetKeybed() override { return keybed; }
    RCPtr<IZone> GetZone(int32_t i) override { return zones[i]; }
    RCPtr<IAbsoluteController> GetWheelController() override { return wheel; }
    RCPtr<IPitchWheel> GetPitchWheel() override { return pitch; }
    RCPtr<IAbsoluteController> GetAbsoluteController(int32_t i) override { return controllers[i]; }
    RCPtr<IHardwareButtons> GetHardwareButtons() override { return group; }
    RCPtr<IFootSwitch> GetFootSwitch(int32_t i) override { return feet[i]; }
};

TEST(TreeHookTest, HooksReachTheFourteenPartsInNumberingOrder)
{
    std::vector<std::string> log;
    RCPtr<HookDevice> device(new HookDevice(&log));
    device->TreeHookA();
    const std::vector<std::string> order = {"global", "keybed", "zone0", "zone1", "zone2", "zone3", "wheel",
                                            "pitch", "controller0", "controller1", "button0", "button1",
                                            "foot0", "foot1"};
    std::vector<std::string> expectedA, expectedB;
    for (const auto& name : order) {
        expectedA.push_back("A:" + name);
        expectedB.push_back("B:" + name);
    }
    EXPECT_EQ(log, expectedA);
    log.clear();
    device->TreeHookB();
    EXPECT_EQ(log, expectedB);
}

TEST(TreeHookTest, NumberingSkipsMissingChildren)
{
    std::vector<std::string> log;
    RCPtr<HookDevice> device(new HookDevice(&log));
    device->zones[1] = nullptr;
    device->SetFirstParamID(nullptr, 40, 0);
    EXPECT_EQ(device->zones[2]->GetFirstParamID(), 44);
    EXPECT_EQ(device->group->buttons[1]->GetFirstParamID(), 52);
    EXPECT_EQ(device->feet[0]->GetFirstParamID(), 53);
    EXPECT_EQ(device->feet[1]->GetInstanceIndex(), 1);
    EXPECT_EQ(device->GetModuleForParam(43).Get(), nullptr);
    EXPECT_EQ(device->GetModuleForParam(40).Get(), device->global.Get());
}

}  // namespace
