// The frame of every control of the shipped main window, at several window
// sizes, against the frames the layout gave before its re-layout walk was
// narrowed to the siblings a change can reach. QV_WRITE_FRAMES=<file> writes
// the table anew (only from a layout known to be right). And at the smallest
// window, whatever type a panel shows, every field of it shows whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "EditPanelTypes.h"
#include "MainWindowSkinApplication.h"
#include "RootModuleInterface.h"

using namespace QV;

namespace {

void Dump(const LControl& control, const std::string& path, std::ostringstream& out)
{
    const DoubleRect& f = control.GetFrame();
    char line[160];
    std::snprintf(line, sizeof line, " %.17g %.17g %.17g %.17g\n", f.x, f.y, f.width, f.height);
    out << path << line;
    const ChildControlList& children = control.GetChildren();
    for (uint32_t i = 0; i < children.GetCount(); ++i) {
        const LControl* child = children.GetAt(i, ChildControlList::kInsertion);
        Dump(*child, path + "/" + child->GetName().ToUtf8(), out);
    }
}

std::string Expected()
{
    std::ifstream in(SHIPPED_SKIN_FRAMES);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every shown control below `control` that its parent clips lies whole inside
// its parent's client area and ends above `floor` (a y in the window).
void ExpectShownWhole(const LControl& control, const std::string& path, double floor)
{
    const ChildControlList& children = control.GetChildren();
    const DoubleRect area = control.GetClientRect();
    for (uint32_t i = 0; i < children.GetCount(); ++i) {
        const LControl* child = children.GetAt(i, ChildControlList::kInsertion);
        if (!child->IsEffectivelyVisible(false) || !child->ClipsToParent()) continue;
        const std::string name = path + "/" + child->GetName().ToUtf8();
        const DoubleRect& f = child->GetFrame();
        EXPECT_TRUE(f.x >= 0 && f.y >= 0 && f.x + f.width <= area.width && f.y + f.height <= area.height)
            << name << " at " << f.x << "," << f.y << " " << f.width << "x" << f.height << " in " << area.width << "x"
            << area.height;
        EXPECT_LE(child->GetPositionInRoot().y + f.height, floor) << name << " reaches under the status strip";
        ExpectShownWhole(*child, name, floor);
    }
}

// A panel whose fields follow a type byte of its blob (a zone's: on or off).
struct TypedPanel {
    const char16_t* path[2];
    size_t blobLength, typeByte;
    int32_t typeCount;
};
constexpr TypedPanel kTypedPanels[] = {
    {{u"viewDevice", u"zone1"}, 6, 0, 2},
    {{u"viewDevice", u"zone2"}, 6, 0, 2},
    {{u"viewDevice", u"zone3"}, 6, 0, 2},
    {{u"viewDevice", u"zone4"}, 6, 0, 2},
    {{u"viewDevice", u"hardwareButtons"}, 1, 0, kHardwareButtonTypeCount},
    {{u"viewDevice", u"footSwitch1"}, 13, 1, kFootSwitchTypeCount},
    {{u"viewDevice", u"footSwitch2"}, 13, 1, kFootSwitchTypeCount},
};

}  // namespace

// Sizes the window grows to, shrinks to and returns to, so later siblings
// follow in both directions and nothing keeps a stale frame.
TEST(ShippedSkinLayoutTest, EveryFrameOfTheMainWindowStaysAsItWas)
{
    MainWindowSkinApplication app;
    ScopedControlApplication scope(app);
    ASSERT_GE(app.registered, 0);
    ASSERT_GE(app.loaded, 0);
    RCPtr<IControlDescriptor> descriptor = app.skin->FindControlDescriptor(u"mainControl");
    ASSERT_TRUE(descriptor);
    RCPtr<LControl> top = app.skin->CreateControl(descriptor, nullptr);
    ASSERT_TRUE(top);
    std::ostringstream frames;
    const DoubleRect sizes[] = {{0, 0, 1024, 768}, {0, 0, 1600, 1000}, {0, 0, 640, 480}, {0, 0, 1024, 768}};
    for (const DoubleRect& size : sizes) {
        (void)app.LayOut(*top, size.width, size.height);
        frames << "== " << size.width << "x" << size.height << "\n";
        Dump(*top, top->GetName().ToUtf8(), frames);
    }
    if (const char* file = std::getenv("QV_WRITE_FRAMES")) std::ofstream(file) << frames.str();
    const std::string expected = Expected();
    ASSERT_FALSE(expected.empty());
    std::istringstream want(expected), got(frames.str());
    std::string a, b;
    int line = 0;
    while (std::getline(want, a)) {
        ++line;
        ASSERT_TRUE(std::getline(got, b)) << "missing from line " << line << ": " << a;
        ASSERT_EQ(b, a) << "line " << line;
    }
    EXPECT_FALSE(std::getline(got, b)) << "more frames than before: " << b;
    top->Close();
}

// The README promises every field whole at the smallest window; the fields a
// panel shows change with its type, so each type of each panel is laid out.
TEST(ShippedSkinLayoutTest, AtTheSmallestWindowEveryFieldOfEveryTypeShowsWhole)
{
    MainWindowSkinApplication app;
    ScopedControlApplication scope(app);
    RCPtr<LControl> top = app.skin->CreateControl(app.skin->FindControlDescriptor(u"mainControl"), nullptr);
    ASSERT_TRUE(top);
    (void)app.LayOut(*top, 640, 480);
    ASSERT_EQ(1002, top->GetFrame().width);
    ASSERT_EQ(686, top->GetFrame().height);
    RCPtr<LControl> status = top->FindChildControl(u"viewStatus");
    RCPtr<LControl> view = top->FindChildControl(u"viewDevice");
    ASSERT_TRUE(status && view);
    const double floor = status->GetPositionInRoot().y;
    EXPECT_LE(view->GetPositionInRoot().y + view->GetFrame().height, floor);
    for (const TypedPanel& typed : kTypedPanels) {
        auto* panel = dynamic_cast<LParameterizedModule*>(
            top->FindChildControl(typed.path[0])->FindChildControl(typed.path[1]).Get());
        ASSERT_TRUE(panel) << String(typed.path[1]).ToUtf8();
        for (int32_t type = 0; type < typed.typeCount; ++type) {
            SCOPED_TRACE(String(typed.path[1]).ToUtf8() + " type " + std::to_string(type));
            std::vector<uint8_t> blob(typed.blobLength, 0);
            blob[typed.typeByte] = static_cast<uint8_t>(type);
            Variant value;
            value.SetBlob(blob.data(), static_cast<uint32_t>(blob.size()));
            ASSERT_EQ(S_OK, panel->SetParamValueLocal(ParamDescriptor{}, value, true));
            ExpectShownWhole(*view, "viewDevice", floor);
        }
    }
    top->Close();
}
