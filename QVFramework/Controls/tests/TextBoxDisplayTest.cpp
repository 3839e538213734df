// Real key presses and clicks through the X server: a text longer than its
// field scrolls, and a click lands the caret between the characters clicked.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>

#include "FakeMeasurementRenderer.h"
#include "LTextBox.h"
#include "MeasurementRendererSource.h"
#include "RealWindowFixture.h"
#include "X11Driver.h"

namespace {

using namespace QV;
using namespace class_factory_test;

// The field sits at (20, 20), 100 x 22; its text area is 2 pixels in, and
// every character is 7 pixels wide.
constexpr int kFieldX = 20;
constexpr int kFieldY = 20;
constexpr double kInset = 2;

class TextBoxDisplayTest : public RealWindowFixture {
protected:
    TextBoxDisplayTest() : mMeasure(RCPtr<LMeasurementRenderer>(measure.Get())) {}

    void SetUp() override
    {
        ASSERT_TRUE(driver.IsConnected()) << driver.Error();
        OpenWindow("text box display test", 240, 80);
        if (HasFatalFailure()) return;
        controlApp.factory.Register<LTextBox>("Framework.TextBox");
        RCPtr<LControl> main = controlApp.factory.CreateControl(
            With(Describe(u"top", u"", 0, 0, 240, 80),
                 {Describe(u"field", u"Framework.TextBox", kFieldX, kFieldY, 100, 22, 12)}),
            nullptr);
        ASSERT_TRUE(main);
        main->SetText(u"text box display test");  // the window's title, to find it by
        LRootWindow& root = *window->GetRootWindow();
        EXPECT_GE(root.SetMainControl(main), 0);
        EXPECT_GE(main->SetBounds({0, 0}, {240, 80}), 0);
        field = RCPtr<LTextBox>(dynamic_cast<LTextBox*>(main->FindChildControl(u"field").Get()));
        ASSERT_TRUE(field);
        field->SetNotFocusable(false);
        for (uint32_t i = 0; i < field->GetPartCount(); ++i) {
            if (auto* look = dynamic_cast<control_test::FakeLook*>(field->GetVisualPart(static_cast<int32_t>(i)).Get()))
                look->inset = kInset;
        }
        window->Show(1);
        RunFor(std::chrono::milliseconds(150));
        const std::optional<TestSupport::WindowId> found =
            driver.FindWindow("text box display test", std::chrono::milliseconds(2000));
        std::string titles;
        for (const std::string& t : driver.TopLevelTitles()) titles += "[" + t + "]";
        ASSERT_TRUE(found) << titles;
        id = *found;
        ASSERT_TRUE(driver.Focus(id));
        RunFor(std::chrono::milliseconds(60));
    }

    void Click(int x, int y)
    {
        ASSERT_TRUE(driver.Click(id, x, y));
        driver.Sync();
        RunFor(std::chrono::milliseconds(100));
    }

    RCPtr<Testing::FakeMeasurementRenderer> measure{new Testing::FakeMeasurementRenderer()};
    ScopedMeasurementRenderer mMeasure;
    TestSupport::X11Driver driver;
    TestSupport::WindowId id = 0;
    RCPtr<LTextBox> field;
};

TEST_F(TextBoxDisplayTest, AClickInAScrolledTextPutsTheCaretBetweenTheCharactersClicked)
{
    Click(kFieldX + 10, kFieldY + 10);
    ASSERT_TRUE(field->HasFocus()) << "the click gives the field the focus";

    const std::string text = "abcdefghijklmnopqrstuvwxyz0123";  // 210 pixels in a 96-pixel text area
    ASSERT_TRUE(driver.Type(text));
    driver.Sync();
    RunFor(std::chrono::milliseconds(200));
    ASSERT_EQ(Narrow(field->GetText().GetChars()), text);
    EXPECT_EQ(field->GetCaret(), 30);
    const double offset = field->GetScrollOffset().x;
    EXPECT_EQ(offset, kInset + 210 - kInset - 96) << "the end of the text at the text area's right edge";

    // Shown at 50 in the field, the text position 50 + offset lies in the left
    // half of character 23 (163 to 170 in the text).
    Click(kFieldX + 50, kFieldY + 10);
    EXPECT_EQ(field->GetCaret(), 23);
    EXPECT_EQ(field->GetScrollOffset().x, offset) << "the caret was in view; nothing scrolls";
    const double shownCaret = field->GetCaretRect().x - field->GetScrollOffset().x;
    EXPECT_EQ(shownCaret, kInset + 23 * 7 - 1 - offset) << "just left of the boundary nearest the click";
    EXPECT_LE(std::abs(shownCaret + 1 - 50), 3.5);

    RunFor(std::chrono::milliseconds(700));  // no double click: that would select the word
    Click(kFieldX + 54, kFieldY + 10);
    EXPECT_EQ(field->GetCaret(), 24) << "right of the middle of character 23";

    auto* look = dynamic_cast<control_test::FakeLook*>(field->GetVisualPart(field->GetFirstVisiblePartIndex()).Get());
    ASSERT_TRUE(look);
    ASSERT_FALSE(look->labelOffsets.empty());
    EXPECT_EQ(look->labelOffsets.back().x, offset) << "the text was drawn where the clicks were measured";
}

}  // namespace
