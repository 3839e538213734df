// Draws every edit panel from the shipped skin, as the main window holds
// them, through the 2D renderer and compares it with a reference picture.
// A failing run writes the actual picture beside the reference;
// QV_UPDATE_PICTURES=1 makes it the reference.
#include "ControlRenderer.h"
#include "EditPanelDirectory.h"
#include "EditPanelTestSupport.h"
#include "GdiTestSupport.h"
#include "LPanel.h"
#include "MeasurementRendererSource.h"

namespace edit_panel_test {
namespace {

using QV::Testing::ExpectMatchesReferencePicture;
using QV::Testing::GdiRendererFixture;

const std::string kReference = std::string(QV_EDIT_PANELS_TEST_DATA) + "/EditPanels.png";
const std::string kActual = std::string(QV_EDIT_PANELS_TEST_DATA) + "/EditPanels.actual.png";
constexpr int kTolerance = 24;
constexpr int32_t kWidth = 1000, kHeight = 700;

class EditPanelsPictureTest : public GdiRendererFixture, public PanelWorld {
protected:
    EditPanelsPictureTest() : GdiRendererFixture({0, 0, kWidth, kHeight}), measure(renderer) {}
    ScopedMeasurementRenderer measure;
};

TEST_F(EditPanelsPictureTest, AllPanelsFitTheWindowAndMatchTheReference)
{
    // The window around the panels, by plain stand-ins: the picture is the panels'.
    for (const char16_t* name : {u"ZiroruVovizu.MainControl", u"ZiroruVovizu.DeviceView", u"ZiroruVovizu.StatusView",
                                 u"ZiroruVovizu.DeviceSelector",
                                 u"Framework.MainMenu", u"Framework.ComboMenu", u"Framework.PopupMenu"}) {
        EXPECT_GE(factory->RegisterControl(String(name), &CreateControlOfClass<LPanel>), 0);
    }
    EXPECT_GE(factory->RegisterControl(String(u"Framework.MenuItem"), &CreateControlOfClass<LLabel>), 0);
    RCPtr<LControl> main = factory->CreateControlByName(String(u"mainControl"), RCPtr<IRootWindow>(rootWindow.Get()));
    ASSERT_TRUE(main);
    RCPtr<LControl> view = main->FindChildControl(u"viewDevice");
    ASSERT_TRUE(view);
    EditPanelDirectory(*view).ShowInstanceLabels();
    // A few values, so the picture shows a zone off, a CC hidden and the foot switch fields by type.
    const struct {
        const char16_t* panel;
        Bytes value;
    } values[] = {
        {u"zone1", {1, 0, 0, 87, 6, 12}},
        {u"zone2", {1, 2, 20, 59, 7, 12}},
        {u"zone4", {0, 3, 0, 87, 6, 12}},
        {u"pitchWheel", {0, 0, 127}},
        {u"expressionPedal", {0, 1, 11, 0, 127}},
        {u"hardwareButtons", {3}},
        {u"footSwitch1", {0, 6, 0, 0x7F, 0, 0, 0x7F, 0, 0, 0x40, 0, 0x7F, 0}},
        {u"footSwitch2", {0, 0, 60, 0x7F, 0, 0, 0x7F, 0, 0, 0x43, 0, 0x7F, 0}},
    };
    for (const auto& row : values) {
        auto* module = dynamic_cast<LParameterizedModule*>(view->FindChildControl(row.panel).Get());
        ASSERT_TRUE(module);
        EXPECT_EQ(S_OK, module->SetParamValueLocal(Id(0), Blob(row.value), true));
    }
    for (const RCPtr<LControl>& panel : view->GetChildren().Snapshot(ChildControlList::kInsertion)) {
        const DoubleRect& f = panel->GetFrame();
        SCOPED_TRACE(panel->GetName().ToUtf8());
        EXPECT_GE(f.x, 0);
        EXPECT_GE(f.y, 0);
        EXPECT_LE(f.x + f.width, view->GetFrame().width);
        EXPECT_LE(f.y + f.height, view->GetFrame().height);
    }

    Start();
    renderer->SaveState();
    ControlRenderer drawing(*renderer);
    LControl::ControlList overlay;
    main->Draw(drawing, {{0, 0, kWidth, kHeight}}, overlay, 0);
    renderer->RestoreState();
    Finish();
    main->Close();
    ExpectMatchesReferencePicture(Gdi().GetDrawingSurface()->GetBitmap(), kReference, kActual, kTolerance);
}

}  // namespace
}  // namespace edit_panel_test
