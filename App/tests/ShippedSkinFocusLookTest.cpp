// Tab must land somewhere the user can see: every control of the shipped main
// window that Tab can focus has a focused look of its own, in each state the
// control draws, and taking the focus changes what it draws.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "LButton.h"
#include "LComboBox.h"
#include "LControlDescriptor.h"
#include "LDeviceSelector.h"
#include "LListBox.h"
#include "LTextBox.h"
#include "MainWindowSkinApplication.h"

using namespace QV;

namespace {

// Unfocused and focused look index of each state the class draws; empty for a
// class the test does not know, so a new focusable class needs a decision here.
std::vector<std::pair<int32_t, int32_t>> FocusPairs(const LControl& control)
{
    if (dynamic_cast<const LComboBox*>(&control)) return {{LComboBox::kNormal, LComboBox::kFocused}};
    if (dynamic_cast<const LTextBox*>(&control)) return {{LTextBox::kNormal, LTextBox::kFocused}};
    if (dynamic_cast<const LListBox*>(&control)) return {{LListBox::kNormal, LListBox::kFocused}};
    if (dynamic_cast<const LButton*>(&control)) {
        return {{LButton::kNormal, LButton::kNormal + LButton::kFocusedOffset},
                {LButton::kNormal + LButton::kCheckedOffset,
                 LButton::kNormal + LButton::kFocusedOffset + LButton::kCheckedOffset}};
    }
    return {};
}

// Focus that Tab can move to. The menu bar's buttons sit under the menu bar,
// which takes no focus: they hold it only while their menu is open, and the
// open menu shows it.
bool ReachedByTab(const LControl& control)
{
    if (!control.IsFocusCandidate()) return false;
    for (const LControl* c = control.GetParent(); c != nullptr; c = c->GetParent()) {
        if (c->IsNotFocusable()) return false;
    }
    return true;
}

struct Reached {
    LControl* control;
    std::string path;
};

void CollectReachedByTab(LControl& control, const std::string& path, std::vector<Reached>& out)
{
    if (ReachedByTab(control)) out.push_back({&control, path});
    ChildControlList& children = control.GetChildren();
    for (uint32_t i = 0; i < children.GetCount(); ++i) {
        LControl* child = children.GetAt(i, ChildControlList::kInsertion);
        CollectReachedByTab(*child, path + "/" + child->GetName().ToUtf8(), out);
    }
}

std::string LookName(const LLookList& list, int32_t index)
{
    if (index < 0 || static_cast<uint32_t>(index) >= list.GetCount()) return "(none)";
    const RCPtr<LLookDescriptor>& look = *list.GetItemPtr(static_cast<uint32_t>(index));
    return look ? look->name.ToUtf8() : "(none)";
}

uint32_t ShownCornerColour(const LControl& control)
{
    RCPtr<ILook> look = control.GetVisualPart(-1);
    return look ? look->GetColorAtPoint({0, 0}) : 0;
}

class ShippedSkinFocusLookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_GE(app.registered, 0);
        ASSERT_GE(app.loaded, 0);
        RCPtr<IControlDescriptor> descriptor = app.skin->FindControlDescriptor(u"mainControl");
        ASSERT_TRUE(descriptor);
        top = app.skin->CreateControl(descriptor, nullptr);
        ASSERT_TRUE(top);
        // The keyboard choice shows only with two keyboards; Tab reaches it then.
        auto selector = RCPtr<LDeviceSelector>::DynamicCast(top->FindChildControl(u"panelDeviceSelector"));
        ASSERT_TRUE(selector);
        selector->SetDeviceSource({[] {
                                       std::vector<LDeviceSelector::Device> two(2);
                                       two[0].name = u"Tarsel A";
                                       two[1].name = u"Tarsel B";
                                       return two;
                                   },
                                   [](const Variant&) { return 0; }});
        selector->Refresh();
        ASSERT_TRUE(selector->GetLayout().isVisible);
        ASSERT_GE(app.LayOut(*top, 1024, 768), 0);
        CollectReachedByTab(*top, top->GetName().ToUtf8(), reached);
        // The walk must reach the fields at all, or it proves nothing.
        ASSERT_GT(reached.size(), 1u);
        bool selectorReached = false;
        for (const Reached& r : reached) selectorReached |= r.path.find("comboDevices") != std::string::npos;
        ASSERT_TRUE(selectorReached) << "the keyboard choice is out of the walk";
    }
    void TearDown() override
    {
        if (top) top->Close();
    }

    MainWindowSkinApplication app;
    ScopedControlApplication scope{app};
    RCPtr<LControl> top;
    std::vector<Reached> reached;
};

TEST_F(ShippedSkinFocusLookTest, EveryLookListHasAFocusedLookOfItsOwn)
{
    for (const Reached& r : reached) {
        SCOPED_TRACE(r.path);
        const auto pairs = FocusPairs(*r.control);
        if (pairs.empty()) ADD_FAILURE() << "a focusable control of a class this test does not know";
        const auto* descriptor = dynamic_cast<const LControlDescriptor*>(r.control->GetDescriptor().Get());
        if (!descriptor || !descriptor->skin || !descriptor->skin->lookList) {
            ADD_FAILURE() << "a focusable control without a look list";
            continue;
        }
        const LLookList& list = *descriptor->skin->lookList;
        for (const auto& [normal, focused] : pairs) {
            SCOPED_TRACE("looks " + std::to_string(normal) + " and " + std::to_string(focused));
            const std::string focusedLook = LookName(list, focused);
            EXPECT_NE(focusedLook, "(none)");
            EXPECT_NE(focusedLook, LookName(list, normal));
        }
    }
}

TEST_F(ShippedSkinFocusLookTest, TakingTheFocusChangesTheDrawnBorder)
{
    for (const Reached& r : reached) {
        SCOPED_TRACE(r.path);
        const uint32_t unfocused = ShownCornerColour(*r.control);
        ASSERT_GE(r.control->SetFocus(true), 0);
        ASSERT_TRUE(r.control->HasFocus());
        EXPECT_NE(ShownCornerColour(*r.control), unfocused);
    }
}

}  // namespace
