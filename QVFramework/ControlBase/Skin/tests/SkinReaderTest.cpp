#include <gtest/gtest.h>

#include "LColor.h"
#include "SkinTestSupport.h"

namespace {

using namespace QV;
using QV::SkinTest::Narrow;

class SkinReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loaded.store.languageId = 9;
        loaded.store.imageFolderPrefix = String(u"::");
        ASSERT_EQ(loaded.loader.LoadSkin(String(u"::test_skin")), S_OK) << loaded.Error();
    }

    const LControlDescriptor& Root() const { return *loaded.store.skins.at(0); }
    const LControlDescriptor& Main() const { return *Root().children.at(0); }

    SkinTest::Loaded loaded;
};

TEST_F(SkinReaderTest, Colorizers)
{
    const auto& c = loaded.store.colorizers;
    ASSERT_EQ(c.size(), 4u);
    const LColorizer& solid = *c.at(String(u"solid"));  // the first definition stays
    EXPECT_EQ(solid.GetMode(), LColorizer::kSolid);
    EXPECT_EQ(solid.GetColor1().GetARGB(), 0xFF102030u);
    EXPECT_EQ(solid.GetColor2().GetARGB(), 0u);

    const LColorizer& linear = *c.at(String(u"linear"));
    EXPECT_EQ(linear.GetMode(), LColorizer::kLinearGradient);
    EXPECT_EQ(linear.GetColor1().GetARGB(), 0x80FFFFFFu);
    EXPECT_EQ(linear.GetColor2().GetARGB(), 0xFF000000u);
    EXPECT_FLOAT_EQ(linear.GetGradientLine().startX, 0.5f);
    EXPECT_FLOAT_EQ(linear.GetGradientLine().startY, 1.0f);
    EXPECT_FLOAT_EQ(linear.GetGradientLine().endX, 2.0f);
    EXPECT_FLOAT_EQ(linear.GetGradientLine().endY, 3.25f);
    EXPECT_EQ(c.at(String(u"radial"))->GetMode(), LColorizer::kRadialGradient);

    const LColorizer& half = *c.at(String(u"halfGradient"));  // four of five gradient attributes
    EXPECT_EQ(half.GetMode(), LColorizer::kSolid);
    EXPECT_EQ(half.GetColor1().GetARGB(), 0xFF112233u);
}

TEST_F(SkinReaderTest, Parts)
{
    const auto& parts = loaded.store.parts;
    ASSERT_EQ(parts.size(), 3u);
    const LVisualPartDescriptor& frame = *parts.at(String(u"frame"));  // first definition stays
    EXPECT_EQ(Narrow(frame.image.path), "::session skin 1c.png");
    EXPECT_EQ(frame.image.x, 4);
    EXPECT_EQ(frame.image.y, 5);
    EXPECT_EQ(frame.image.width, 16);
    EXPECT_EQ(frame.image.height, 8);
    EXPECT_EQ(frame.width, 16);
    EXPECT_EQ(frame.height, 8);
    EXPECT_EQ(frame.resizeType, LVisualPartDescriptor::kTile);
    EXPECT_EQ(frame.colorizer, loaded.store.colorizers.at(String(u"solid")));
    EXPECT_FLOAT_EQ(frame.colorizerAmount, 0.25f);
    EXPECT_EQ(Narrow(frame.mask.path), "::Mask File.PNG");  // masks keep their case
    EXPECT_EQ(frame.mask.x, 1);
    EXPECT_EQ(frame.mask.y, 2);
    EXPECT_EQ(frame.mask.width, 16);

    const LVisualPartDescriptor& fill = *parts.at(String(u"fill"));
    EXPECT_TRUE(fill.image.path.IsEmpty());
    EXPECT_EQ(fill.width, 10);
    EXPECT_EQ(fill.height, 12);
    EXPECT_EQ(fill.resizeType, LVisualPartDescriptor::kCenter);
    EXPECT_FLOAT_EQ(fill.colorizerAmount, 1.0f);
    EXPECT_TRUE(fill.mask.path.IsEmpty());
    EXPECT_EQ(parts.at(String(u"text"))->resizeType, LVisualPartDescriptor::kStretch);
}

TEST_F(SkinReaderTest, Looks)
{
    const LLookDescriptor& normal = *loaded.store.looks.at(String(u"normal"));
    ASSERT_TRUE(normal.clientPart);
    const LDockedPart& client = *normal.clientPart;
    EXPECT_EQ(client.part, loaded.store.parts.at(String(u"fill")));
    EXPECT_EQ(client.edgeMask, 15);
    EXPECT_EQ(client.left, 1);
    EXPECT_EQ(client.top, 2);
    EXPECT_EQ(client.right, 3);
    EXPECT_EQ(client.bottom, 4);
    EXPECT_FALSE(client.hasFixedWidth);

    ASSERT_EQ(normal.nonClientParts.size(), 2u);
    const LDockedPart& topLeft = *normal.nonClientParts[0];
    EXPECT_EQ(topLeft.edgeMask, LDockedPart::kLeft | LDockedPart::kTop);
    EXPECT_TRUE(topLeft.hasFixedHeight);
    EXPECT_EQ(topLeft.fixedHeight, 6);
    EXPECT_FALSE(topLeft.hasFixedWidth);
    const LDockedPart& bottomRight = *normal.nonClientParts[1];
    EXPECT_EQ(bottomRight.edgeMask, LDockedPart::kRight | LDockedPart::kBottom);
    EXPECT_EQ(bottomRight.right, 7);
    EXPECT_EQ(bottomRight.bottom, 8);
    EXPECT_EQ(bottomRight.left, 0);
    EXPECT_TRUE(bottomRight.hasFixedWidth);
    EXPECT_EQ(bottomRight.fixedWidth, 5);
    EXPECT_FALSE(bottomRight.hasFixedHeight);

    EXPECT_TRUE(normal.hasTextProperties);
    EXPECT_FLOAT_EQ(normal.textLeftFactor, 0.5f);
    EXPECT_EQ(normal.textLeftOffset, 2);
    EXPECT_FLOAT_EQ(normal.textRightFactor, 1.0f);
    EXPECT_EQ(normal.textRightOffset, -2);
    EXPECT_FLOAT_EQ(normal.horizontalAlignment, 0.5f);
    EXPECT_EQ(normal.textTopOffset, 16);  // "0x10": hexadecimal like the other integers
    EXPECT_FLOAT_EQ(normal.textBottomFactor, 1.0f);
    EXPECT_EQ(normal.textBottomOffset, -1);
    EXPECT_FLOAT_EQ(normal.verticalAlignment, 1.0f);
    EXPECT_EQ(normal.textForegroundPart, loaded.store.parts.at(String(u"text")));

    const LLookDescriptor& hot = *loaded.store.looks.at(String(u"hot"));
    EXPECT_FALSE(hot.clientPart);
    EXPECT_FALSE(hot.hasTextProperties);

    const LLookList& list = *loaded.store.lookLists.at(String(u"buttonLooks"));
    ASSERT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list.GetItemPtr(0)->Get(), &normal);
    EXPECT_FALSE(*list.GetItemPtr(1));
    EXPECT_EQ(list.GetItemPtr(2)->Get(), &hot);
}

TEST_F(SkinReaderTest, SkinsAndFonts)
{
    EXPECT_EQ(Narrow(loaded.store.applicationName), "TestApp");
    ASSERT_EQ(loaded.store.skins.size(), 2u);
    EXPECT_EQ(loaded.store.currentSkinIndex, 0);
    const LControlDescriptor& root = Root();
    EXPECT_EQ(Narrow(root.className), "Application");
    EXPECT_EQ(Narrow(root.name), "TestApp");
    EXPECT_EQ(root.parent, nullptr);
    EXPECT_FALSE(root.layout);
    ASSERT_TRUE(root.skin);
    EXPECT_EQ(Narrow(root.skin->name), "Skin1");
    EXPECT_EQ(Narrow(root.skin->faceName), "DejaVu Sans");  // translated for language 9
    EXPECT_FLOAT_EQ(root.skin->fontSize, 9.5f);
    EXPECT_EQ(root.skin->fontStyle, 1);

    String face(u"kept");
    float size = 3.0f;
    int32_t style = 7;
    EXPECT_EQ(loaded.store.GetSkinFont(face, size, style), 0);
    EXPECT_EQ(Narrow(face), "DejaVu Sans");
    EXPECT_FLOAT_EQ(size, 9.5f);
    EXPECT_EQ(style, 1);

    const LSkinDescriptor& panel = *Main().skin;
    EXPECT_EQ(Narrow(panel.name), "panelSkin");
    EXPECT_EQ(Narrow(panel.faceName), "Liberation Sans");  // German entry not taken
    EXPECT_FLOAT_EQ(panel.fontSize, 11.0f);
    EXPECT_TRUE(panel.fontSizeIsRelative);
    EXPECT_TRUE(panel.fontInheritsFromParent);
    EXPECT_EQ(panel.fontStyle, 1);
    EXPECT_EQ(panel.lookList, loaded.store.lookLists.at(String(u"buttonLooks")));

    loaded.store.currentSkinIndex = 1;
    EXPECT_EQ(loaded.store.GetSkinFont(face, size, style), 1);  // a skin without font writes nothing
    EXPECT_TRUE(loaded.store.FindControlDescriptor(String(u"onlyInSkin2")));
}

TEST_F(SkinReaderTest, ControlTreeAndLayout)
{
    const LControlDescriptor& main = Main();
    EXPECT_EQ(Narrow(main.className), "Test.Panel");
    EXPECT_EQ(main.parent, &Root());
    const LLayoutDescriptor& l = *main.layout;
    EXPECT_EQ(l.tabStop, 0);  // not read for a top-level control
    EXPECT_TRUE(l.visible);
    EXPECT_EQ(l.zOrder, 3);
    EXPECT_FALSE(l.clipToParent);
    EXPECT_EQ(l.xPosition.reference, LPositionRule::kParent);
    EXPECT_FLOAT_EQ(l.xPosition.factor, 0.25f);
    EXPECT_DOUBLE_EQ(l.xPosition.offset, 12.0);
    EXPECT_EQ(l.yPosition.reference, LPositionRule::kNamed);
    EXPECT_EQ(Narrow(l.yPosition.referenceName), "sibling");
    EXPECT_DOUBLE_EQ(l.yPosition.offset, 0.0);  // "0.5" read as an integer
    EXPECT_EQ(l.xSize.reference, LSizeRule::kParent);
    EXPECT_FLOAT_EQ(l.xSize.factor, 0.5f);
    EXPECT_DOUBLE_EQ(l.xSize.offset, 0.0);
    EXPECT_EQ(l.ySize.reference, LSizeRule::kNamed);
    EXPECT_EQ(Narrow(l.ySize.referenceName), "other");
    EXPECT_DOUBLE_EQ(l.ySize.offset, 40.0);
    EXPECT_TRUE(l.xMinSize.hasReference);
    EXPECT_EQ(Narrow(l.xMinSize.referenceName), "Children");
    EXPECT_DOUBLE_EQ(l.xMinSize.offset, 3.0);
    EXPECT_FALSE(l.yMinSize.hasReference);
    EXPECT_EQ(Narrow(l.xMaxSize.referenceName), "labelTitle");
    EXPECT_FLOAT_EQ(l.yMaxSize.factor, 2.0f);
    EXPECT_DOUBLE_EQ(l.yMaxSize.offset, 4.0);
    EXPECT_FLOAT_EQ(l.xPlacementAnchor, 0.5f);
    EXPECT_FLOAT_EQ(l.yPlacementAnchor, 1.0f);
    EXPECT_TRUE(l.xDocked);
    EXPECT_FALSE(l.yDocked);  // "true" is not "True"
    EXPECT_EQ(Narrow(l.textDecoration), "underline");
    EXPECT_EQ(l.textOverflowX, LLayoutDescriptor::kOverflowWrap);
    EXPECT_EQ(l.textOverflowY, LLayoutDescriptor::kOverflowClip);  // Wrap is not a y overflow

    std::vector<std::string> names;
    for (const auto& child : main.children) names.push_back(Narrow(child->name));
    EXPECT_EQ(names, (std::vector<std::string>{"first", "alsoFirst", "second", "third"}));
    const LControlDescriptor& third = *main.children[3];
    EXPECT_EQ(third.parent, &main);
    EXPECT_EQ(third.layout->tabStop, 2);
    EXPECT_FALSE(third.layout->visible);
    EXPECT_FALSE(third.skin);
    EXPECT_FALSE(third.createParams);
    const LLayoutDescriptor& first = *main.children[0]->layout;
    EXPECT_DOUBLE_EQ(first.xSize.offset, 16.0);
    EXPECT_DOUBLE_EQ(first.ySize.offset, 40.0);
    EXPECT_EQ(first.xPosition.reference, LPositionRule::kClient);
    EXPECT_EQ(first.xSize.reference, LSizeRule::kSelf);
    const LControlDescriptor& second = *main.children[2];
    EXPECT_EQ(second.layout->textOverflowX, LLayoutDescriptor::kOverflowExpand);
    ASSERT_TRUE(second.skin);
    EXPECT_FALSE(second.skin->lookList);
    EXPECT_EQ(second.skin->fontStyle, -1);
}

TEST_F(SkinReaderTest, CreationParametersKeepTheirWholeText)
{
    ASSERT_TRUE(Main().createParams);
    String text;
    ASSERT_TRUE(Main().createParams->GetString(String(u"TITLE"), text));
    EXPECT_EQ(Narrow(text), "a & b");
    ASSERT_TRUE(Main().createParams->GetString(String(u"NOT_FOCUSABLE"), text));
    EXPECT_EQ(Narrow(text), "True");
    EXPECT_EQ(Main().createParams->GetMap().size(), 2u);  // a parameter without ID is dropped
}

TEST_F(SkinReaderTest, TopLevelLookups)
{
    const RCPtr<LControlDescriptor> found = loaded.store.FindControlDescriptor(String(u"mainControl"));
    ASSERT_TRUE(found);
    EXPECT_EQ(Narrow(found->className), "Test.Other");  // the later of two
    EXPECT_TRUE(loaded.store.FindControlDescriptor(String(u"dialog")));
    EXPECT_FALSE(loaded.store.FindControlDescriptor(String(u"first")));  // only top-level names
    EXPECT_FALSE(loaded.store.FindControlDescriptor(String(u"onlyInSkin2")));
}

TEST_F(SkinReaderTest, ApplicationWithoutNameEmptiesIt)
{
    ASSERT_EQ(loaded.ParseSkin("<r><Application/><Skins><Skin Name='S'/></Skins></r>"), S_OK);
    EXPECT_TRUE(loaded.store.applicationName.IsEmpty());
    EXPECT_TRUE(loaded.store.skins.back()->name.IsEmpty());
}

}  // namespace
