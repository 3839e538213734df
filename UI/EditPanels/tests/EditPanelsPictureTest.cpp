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

// The name path of a control below the view, for a failure's message.
std::string PathOf(const LControl& control, const LControl& view)
{
    std::string path = control.GetName().ToUtf8();
    for (const LControl* at = control.GetParent(); at && at != &view; at = at->GetParent())
        path = at->GetName().ToUtf8() + "/" + path;
    return path;
}

// The texts a control may show: a combo box any of its items, a label that
// names a number (a controller's name) any of its table's items, others their own.
std::vector<String> TextsShownBy(const LControl& control)
{
    std::vector<String> texts;
    if (auto* combo = dynamic_cast<const LComboBox*>(&control)) {
        for (int32_t i = 0; i < combo->GetItemCount(); ++i) texts.push_back(combo->GetItemText(i));
        return texts;
    }
    if (control.GetName() == u"textLabel" && control.GetStringTable()) {
        for (int32_t i = 0; i < 128; ++i) {
            char id[24];
            std::snprintf(id, sizeof id, "ITEM.%02d", static_cast<int>(i));
            String text;
            if (control.GetStringTable()->GetString(String(id), text) && !text.IsEmpty()) texts.push_back(text);
        }
        return texts;
    }
    if (!control.GetText().IsEmpty()) texts.push_back(control.GetText());
    return texts;
}

// Every text that a control of the tree may draw, shown now or for another
// type, and that is wider,
// in the control's font, than the text area of its look.
void CollectClippedTexts(LRenderer& renderer, const LControl& control, const LControl& view,
                         std::vector<std::string>& clipped)
{
    if (RCPtr<ILook> look = control.GetVisualPart(-1)) {
        const double space = look->GetTextAreaWidth(control.GetFrame().width);
        for (const String& text : TextsShownBy(control)) {
            const double width = renderer.MeasureText(text, control.GetFont()).width;
            if (width > space)
                clipped.push_back(PathOf(control, view) + " \"" + text.ToUtf8() + "\" " + std::to_string(width) +
                                  " > " + std::to_string(space));
        }
    }
    const ChildControlList& children = control.GetChildren();
    for (uint32_t i = 0; i < children.GetCount(); ++i) {
        const LControl* child = children.GetAt(i, ChildControlList::kInsertion);
        if (!dynamic_cast<const LListBox*>(child)) CollectClippedTexts(renderer, *child, view, clipped);
    }
}
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
    // The main window at the editor's usual size: the panels are laid out in it.
    rootWindow->width = 1024;
    rootWindow->height = 768;
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

    // No text is cut off: clipping cannot come back unnoticed.
    std::vector<std::string> clipped;
    CollectClippedTexts(*renderer, *view, *view, clipped);
    EXPECT_TRUE(clipped.empty()) << ::testing::PrintToString(clipped);

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

// A text box draws its caret as a line through the control renderer: the
// line must reach the picture, in the control's own place.
TEST_F(EditPanelsPictureTest, ALineDrawnForACaretReachesThePicture)
{
    Start();
    renderer->FillRect({0, 0, kWidth, kHeight}, LColor::FromARGB(0xFFFFFFFFu), false);
    renderer->SaveState();
    ControlRenderer drawing(*renderer);
    drawing.PushClipRect({100, 50, 40, 20}, {100, 50, 40, 20}, 1);
    drawing.DrawLine({10.5, 2}, {10.5, 16}, 0xFF000000u, 1.0f);
    renderer->RestoreState();
    Finish();
    for (int y = 53; y < 66; ++y) {
        SCOPED_TRACE(y);
        const uint32_t c = Pixel(110, y);
        EXPECT_LT(((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF), 120u);
    }
    EXPECT_EQ(0xFFFFFFu, Pixel(130, 60) & 0xFFFFFFu) << "nothing beside the line";
}

}  // namespace
}  // namespace edit_panel_test
