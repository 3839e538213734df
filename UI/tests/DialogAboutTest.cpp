// Help > About as the shipped skin and string tables build it.
#include <gtest/gtest.h>

#include "LButton.h"
#include "LDialogAbout.h"
#include "LLabel.h"
#include "ShippedSkinApplication.h"
#include "Version.h"

namespace {

using namespace QV;

TEST(DialogAboutTest, ItsLinesAndButtonReadAsTheirStringTablesSay)
{
    ShippedSkinApplication app({{u"ZiroruVovizu.DialogAbout", &CreateControlOfClass<LDialogAbout>},
                                {u"Framework.Label", &CreateControlOfClass<LLabel>},
                                {u"Framework.Button", &CreateControlOfClass<LButton>}});
    ASSERT_GE(app.loaded, 0);
    ScopedControlApplication scope(app);

    RCPtr<LControl> dialog = app.skin->CreateControl(app.skin->FindControlDescriptor(u"dialogAbout"), nullptr);
    ASSERT_TRUE(dynamic_cast<LDialogAbout*>(dialog.Get()));
    const Version info;
    const struct {
        const char16_t* child;
        String text;
    } cases[] = {
        {u"labelProduct", info.GetProductName()},
        {u"labelVersion", String(u"Version ") + info.GetProductVersion()},
        {u"buttonOK", String(u"OK")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(String(c.child).ToUtf8());
        RCPtr<LControl> child = dialog->FindChildControl(c.child);
        ASSERT_TRUE(child);
        EXPECT_EQ(child->GetText().ToUtf8(), c.text.ToUtf8());
    }
    dialog->ReleaseInternalReferences();
}

TEST(DialogAboutTest, TheVersionTakesThePlaceOfThePatternsMark)
{
    const struct {
        const char16_t* pattern;
        const char* line;
    } cases[] = {
        {u"Version %s", "Version 2.1"},
        {u"%s (build)", "2.1 (build)"},
        {u"", "2.1"},
        {u"Version", "Version 2.1"},
        // Only the first mark is the version; a printf format would read past its one argument.
        {u"%s %s %d %n", "2.1 %s %d %n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(String(c.pattern).ToUtf8());
        EXPECT_EQ(LDialogAbout::VersionLine(c.pattern, u"2.1").ToUtf8(), c.line);
    }
}

}  // namespace
