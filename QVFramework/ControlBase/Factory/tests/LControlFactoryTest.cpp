#include <gtest/gtest.h>

#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "LControlFactory.h"
#include "LanguageId.h"

namespace Platform {
std::span<const ResourceEntry> GetFactoryTestResourceEntries();
}

namespace {

using namespace QV;

std::string Text(const String& s)
{
    return s.ToUtf8();
}

class Panel : public control_test::TestControl {
    QV_TYPE_NAME("class Panel")
public:
    using TestControl::TestControl;
};

class Label : public control_test::TestControl {
    QV_TYPE_NAME("class Label")
public:
    using TestControl::TestControl;
};

// Keeps the frames it is given, a frame given again in a row once.
class Probe : public control_test::TestControl {
    QV_TYPE_NAME("class Probe")
public:
    using TestControl::TestControl;
    void EndBoundsChange() override
    {
        if (frames.empty() || frames.back() != GetFrame()) frames.push_back(GetFrame());
        TestControl::EndBoundsChange();
    }
    std::vector<DoubleRect> frames;
};

RCPtr<LControl> RaiseBeforeBuilding(LControl*, const RCPtr<IControlDescriptor>&)
{
    throw std::runtime_error("no control");
}

class FactoryApplication : public control_test::FakeApplication {
public:
    explicit FactoryApplication(IControlFactory& f) : mFactory(f) {}
    IControlFactory* GetControlFactory() override { return &mFactory; }

private:
    IControlFactory& mFactory;
};

LControl* Child(const RCPtr<LControl>& control, uint32_t index)
{
    return control->GetChildren().GetAt(index, ChildControlList::kInsertion);
}

constexpr const char* kUnknownClass =
    "Runtime Error : QV::LControlFactory::GetControlCreateFunction : ControlBase\\ControlFactory : Line 51";

class LControlFactoryTest : public ::testing::Test {
protected:
    LControlFactoryTest()
    {
        EXPECT_GE(factory->RegisterControl(String(u"Test.Panel"), &CreateControlOfClass<Panel>), 0);
        EXPECT_GE(factory->RegisterControl(String(u"Test.Label"), &CreateControlOfClass<Label>), 0);
        EXPECT_GE(factory->RegisterControl(String(u"Test.Probe"), &CreateControlOfClass<Probe>), 0);
        EXPECT_GE(factory->RegisterControl(String(u"Test.Raises"), &RaiseBeforeBuilding), 0);
        EXPECT_EQ(factory->LoadStringTables(String(u"::FACTORY_STRINGS"), String(u"::NONE"), 0x0409), S_OK);
        EXPECT_EQ(factory->LoadSkin(String(u"::factory skin")), S_OK);
    }
    ~LControlFactoryTest() override
    {
        for (auto& control : built) control->Close();
    }

    RCPtr<LControl> Build(const char16_t* name, bool inWindow = true)
    {
        RCPtr<LControl> control =
            factory->CreateControlByName(String(name), inWindow ? RCPtr<IRootWindow>(root.Get()) : nullptr);
        if (control) built.push_back(control);
        return control;
    }

    Platform::ResourceTable module{"", Platform::GetFactoryTestResourceEntries()};
    RCPtr<LControlFactory> factory{new LControlFactory(String(u"Initial"), module)};
    FactoryApplication app{*factory};
    ScopedControlApplication scope{app};
    RCPtr<control_test::FakeRootWindow> root{new control_test::FakeRootWindow()};
    std::vector<RCPtr<LControl>> built;
};

TEST_F(LControlFactoryTest, BuildsATreeFromTheSkin)
{
    RCPtr<LControl> main = Build(u"mainControl");
    ASSERT_TRUE(main);
    EXPECT_STREQ(main->GetTypeName(), "class Panel");
    EXPECT_EQ(main->GetRootWindow().Get(), static_cast<IRootWindow*>(root.Get()));
    EXPECT_TRUE(main->GetLayout().isVisible);  // "False" in the skin, shown when built by name
    EXPECT_TRUE(main->IsInitialized());

    std::vector<std::string> children;
    for (const auto& child : main->GetChildren().Snapshot(ChildControlList::kInsertion)) {
        children.push_back(Text(child->GetName()) + ":" + child->GetTypeName());
    }
    // Layout order, and the deferred child is left out.
    EXPECT_EQ(children, (std::vector<std::string>{"labelProduct:class Label", "labelLast:class Label"}));

    String text;
    ASSERT_TRUE(main->GetStringTable());
    EXPECT_TRUE(main->GetStringTable()->GetString(String(u"TOOLTIP"), text));
    EXPECT_EQ(Text(text), "Main");
    ASSERT_TRUE(Child(main, 0)->GetStringTable());
    EXPECT_TRUE(Child(main, 0)->GetStringTable()->GetString(String(u"LABEL"), text));
    EXPECT_EQ(Text(text), "Product");
    EXPECT_FALSE(Child(main, 1)->GetStringTable());

    EXPECT_FALSE(Build(u"noSuchControl"));
}

// Built for a window, a control is laid out once it is attached there, never
// against the work area before; whatever the build does, the next top control
// does not wait for a window.
TEST_F(LControlFactoryTest, AControlBuiltForAWindowIsLaidOutInIt)
{
    const struct {
        const char* name;
        const char16_t* element;
        bool inWindow, raises;
        std::vector<DoubleRect> frames;
    } rows[] = {
        {"in a window", u"windowFiller", true, false, {{0, 0, 400, 500}}},  // the 800 x 600 window
        {"without a window", u"windowFiller", false, false, {{0, 0, 512, 668}}},  // the 1024 x 768 work area
        {"a build that raises", u"raises", true, true, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        RCPtr<LControl> control;
        try {
            control = Build(r.element, r.inWindow);
            EXPECT_FALSE(r.raises);
        } catch (const std::runtime_error&) {
            EXPECT_TRUE(r.raises);
        }
        if (!r.raises) {
            auto* probe = dynamic_cast<Probe*>(control.Get());
            ASSERT_TRUE(probe);
            EXPECT_EQ(probe->frames, r.frames);
        }
        EXPECT_FALSE(factory->TakePendingAttachment());
    }
}

TEST_F(LControlFactoryTest, FirstRegistrationOfAClassStays)
{
    EXPECT_EQ(factory->RegisterControl(String(u"Test.Panel"), &CreateControlOfClass<Label>), S_OK);
    ControlCreateFunction function = nullptr;
    EXPECT_EQ(factory->GetControlCreateFunction(String(u"Test.Panel"), function), S_OK);
    EXPECT_EQ(function, &CreateControlOfClass<Panel>);
}

TEST_F(LControlFactoryTest, UnknownClassesRaiseAndAreFoundBeforeBuilding)
{
    ControlCreateFunction function = nullptr;
    try {
        EXPECT_GE(factory->GetControlCreateFunction(String(u"Test.Missing"), function), 0);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), kUnknownClass);
    }
    try {
        Build(u"broken");
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), kUnknownClass);
    }
    EXPECT_EQ(factory->CheckControlClasses(), E_FAIL);
    EXPECT_EQ(Text(factory->GetLastLoadError().GetMessage()),
              "::factory skin: line 11: SubControl: unknown class \"Test.Missing\"");
    EXPECT_GE(factory->RegisterControl(String(u"Test.Missing"), &CreateControlOfClass<Label>), 0);
    EXPECT_EQ(factory->CheckControlClasses(), S_OK);
}

TEST_F(LControlFactoryTest, DescriptorsAndSkins)
{
    EXPECT_EQ(Text(factory->GetApplicationName()), "TestApp");
    EXPECT_EQ(factory->GetSkinCount(), 2);
    String face;
    float size = 0;
    int32_t style = -1;
    EXPECT_EQ(factory->GetSkinFont(face, size, style), 0);
    EXPECT_EQ(Text(face), "DejaVu Sans");

    RCPtr<LControlDescriptor> main =
        RCPtr<LControlDescriptor>::DynamicCast(factory->FindControlDescriptor(String(u"mainControl")));
    ASSERT_TRUE(main);
    RCPtr<LLayoutDescriptor> layout = main->layout->Clone();
    layout->xSize.offset = 99;
    RCPtr<LControlDescriptor> copy = factory->CloneDescriptor(main, layout, String(u"item1"));
    EXPECT_EQ(Text(copy->name), "item1");
    EXPECT_EQ(Text(copy->className), "Test.Panel");
    EXPECT_EQ(copy->children.size(), main->children.size());
    EXPECT_EQ(copy->children[0], main->children[0]);
    EXPECT_DOUBLE_EQ(main->layout->xSize.offset, 16.0);  // the original keeps its own layout

    RCPtr<LControl> control = Build(u"mainControl");
    EXPECT_EQ(factory->ApplyControlDescriptor(control.Get()), S_OK);
    EXPECT_EQ(factory->ApplyControlDescriptor(nullptr), E_FAIL);
    EXPECT_EQ(factory->ApplyControlDescriptor(Child(control, 0)), E_FAIL);  // not top-level

    EXPECT_EQ(factory->SetCurrentSkinIndex(1), S_OK);
    EXPECT_EQ(Text(factory->FindControlDescriptor(String(u"mainControl"))->GetName()), "mainControl");
    EXPECT_EQ(RCPtr<LControlDescriptor>::DynamicCast(factory->FindControlDescriptor(String(u"mainControl")))->className,
              String(u"Test.Label"));
    EXPECT_EQ(factory->GetSkinFont(face, size, style), 1);
    EXPECT_EQ(factory->SetCurrentSkinIndex(2), E_INVALIDARG);
}

TEST_F(LControlFactoryTest, StringTablesByKey)
{
    String text;
    ASSERT_TRUE(factory->GetDefaultStringTable());
    EXPECT_TRUE(factory->GetDefaultStringTable()->GetString(String(u"TITLE"), text));
    ASSERT_TRUE(factory->GetFrameworkStringTable());
    EXPECT_TRUE(factory->GetFrameworkStringTable()->GetString(String(u"EDIT_COPY"), text));
    EXPECT_TRUE(factory->GetStringTable(nullptr, String(u"mainControl")));
    // An owner without a skin descriptor is keyed by the application name.
    RCPtr<control_test::TestControl> plain(new control_test::TestControl(nullptr, String(u"plain")));
    EXPECT_TRUE(factory->GetStringTable(plain.Get(), String(u"mainControl")));
    plain->Close();
}

}  // namespace

namespace {

using namespace QV;

TEST(LControlFactoryResourcesTest, ProgramDocumentsInTheUsersLanguage)
{
    const struct {
        Platform::LanguageId user;
        const char* copy;
    } rows[] = {{0x0409, "Copy"}, {0x0407, "Copy"}, {0x0411, "Copy"}};  // the editor's strings are English only
    for (const auto& row : rows) {
        SCOPED_TRACE(row.user);
        Platform::ScopedLanguageIds language(row.user, 0x0409);
        RCPtr<LControlFactory> factory(new LControlFactory(String(u"Initial")));
        ASSERT_EQ(factory->LoadResources(String(u"::"), Platform::GetUserDefaultLanguageId()), S_OK)
            << Text(factory->GetLastLoadError().GetMessage());
        EXPECT_EQ(factory->GetLanguageId(), 9);
        EXPECT_EQ(Text(factory->GetImageFolderPrefix()), "::");
        EXPECT_EQ(Text(factory->GetApplicationName()), "ZiroruVovizu");
        EXPECT_TRUE(factory->FindControlDescriptor(String(u"mainControl")));
        String text;
        ASSERT_TRUE(factory->GetFrameworkStringTable());
        factory->GetFrameworkStringTable()->GetString(String(u"EDIT_COPY"), text);
        EXPECT_EQ(Text(text), row.copy);
    }
}

TEST(LControlFactoryResourcesTest, DocumentsFromAFolder)
{
    RCPtr<LControlFactory> factory(new LControlFactory(String(u"Initial")));
    EXPECT_EQ(factory->LoadResources(String(u"/nonexistent-folder"), 9), E_FAIL);
    EXPECT_EQ(Text(factory->GetImageFolderPrefix()), "/nonexistent-folder/");
    EXPECT_EQ(Text(factory->GetLastLoadError().GetMessage()),
              "/nonexistent-folder/StringTables.xml: line 0: cannot open the file");
    EXPECT_EQ(factory->GetSkinCount(), 0);
}

}  // namespace
