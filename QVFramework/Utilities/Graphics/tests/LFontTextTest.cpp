#include "LFontText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeMeasurementRenderer.h"
#include "MeasurementRendererSource.h"

namespace {

using QV::FloatRect;
using QV::LFont;
using QV::LFontText;
using QV::RCPtr;
using QV::String;
using QV::Testing::FakeMeasurementRenderer;

std::string Narrow(const String& s)
{
    return std::string(s.GetChars(), s.GetChars() + s.GetLength());
}

// Every character advances 7 pixels; a line is 16 high.
class LFontTextTest : public ::testing::Test {
protected:
    RCPtr<FakeMeasurementRenderer> fake{new FakeMeasurementRenderer};
    QV::ScopedMeasurementRenderer scope{fake};
    RCPtr<LFont> font{new LFont(u"Face", 12.0f, 0)};

    std::vector<std::string> Lines(LFontText& text)
    {
        std::vector<std::string> lines;
        const int32_t count = text.GetLineCount();
        for (int32_t i = 0; i < count; ++i) lines.push_back(Narrow(text.GetLineText(i)));
        return lines;
    }
};

TEST_F(LFontTextTest, SplitsAtLineFeeds)
{
    struct Row {
        const char16_t* text;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {u"", {""}},   {u"abc", {"abc"}},   {u"a\n\nb", {"a", "", "b"}}, {u"a\n", {"a"}},
        {u"\n", {""}}, {u"\nb", {"", "b"}}, {u"a\r\nb", {"a\r", "b"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.text));
        LFontText text(row.text, font);
        EXPECT_EQ(Lines(text), row.lines);
    }
}

TEST_F(LFontTextTest, WrapsAtBlanksAndHyphensAndKeepsLongWordsWhole)
{
    struct Row {
        const char16_t* text;
        float width;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {u"one two three", 60, {"one two", "three"}},
        {u"one two three", 91, {"one two three"}},  // exactly as wide as the box
        {u"one two three", 90, {"one two", "three"}},
        {u"alpha-beta-gamma", 80, {"alpha-beta-", "gamma"}},
        {u"alpha-beta-gamma", 50, {"alpha-", "beta-", "gamma"}},
        {u"abcdefghij", 30, {"abcdefghij"}},
        {u"ab cd-ef", 40, {"ab", "cd-ef"}},
        {u"ab cd-ef", 45, {"ab cd-", "ef"}},
        {u"aa bb\ncc", 20, {"aa", "bb", "cc"}},
        {u"a\n\nb", 20, {"a", "", "b"}},
        {u"", 20, {""}},
        {u"one   two", 40, {"one  ", "two"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << Narrow(row.text) << " @" << row.width);
        LFontText text(row.text, font);
        text.SetWordWrap(true);
        text.SetBoxSize(row.width, 100);
        EXPECT_EQ(Lines(text), row.lines);
        EXPECT_EQ(text.GetHeightForWidth(row.width), 16 * static_cast<int32_t>(row.lines.size()));
    }
}

TEST_F(LFontTextTest, PlacesLinesByAlignment)
{
    struct Row {
        const char16_t* text;
        float h, v;
        std::vector<FloatRect> rects;
    };
    const Row rows[] = {
        {u"abc", 0, 0, {{0, 0, 21, 16}}},
        {u"abc", 1, 1, {{79, 84, 21, 16}}},
        {u"abc", 0.5f, 0.5f, {{39.5f, 42, 21, 16}}},
        {u"a\nbb", 0.5f, 0.5f, {{46.5f, 34, 7, 16}, {43, 50, 14, 16}}},
        {u"", 0.5f, 0.5f, {{50, 42, 0, 0}}},  // one empty line, still placed
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << Narrow(row.text) << " " << row.h << "," << row.v);
        LFontText text(row.text, font);
        text.SetBoxSize(100, 100);
        text.SetAlignment(row.h, row.v);
        ASSERT_EQ(text.GetLineCount(), static_cast<int32_t>(row.rects.size()));
        for (size_t i = 0; i < row.rects.size(); ++i) EXPECT_EQ(text.GetLine(static_cast<int32_t>(i)), row.rects[i]);
        EXPECT_EQ(text.GetLine(static_cast<int32_t>(row.rects.size())), FloatRect{});
    }
}

TEST_F(LFontTextTest, MeasuredOffsetCountsIntoTheWidth)
{
    fake->originX = 2;
    LFontText text(u"abc", font);
    text.SetBoxSize(100, 100);
    text.SetAlignment(1, 0);
    text.GetLineCount();
    EXPECT_EQ(text.GetLine(0), (FloatRect{77, 0, 23, 16}));
    EXPECT_EQ(text.GetMaxLineWidth(), 23);
}

TEST_F(LFontTextTest, SettersLayTheTextOutAgain)
{
    LFontText text(u"one two", font);
    text.SetBoxSize(30, 100);
    EXPECT_EQ(text.GetLineCount(), 1);
    text.SetWordWrap(true);
    EXPECT_EQ(text.GetLineCount(), 2);
    text.SetText(u"x");
    EXPECT_EQ(text.GetLineCount(), 1);
    EXPECT_EQ(text.GetLine(0).width, 7);
}

TEST_F(LFontTextTest, MaxLineWidthRoundsUp)
{
    struct Row {
        float width;
        int32_t expected;
    };
    const Row rows[] = {{10.005f, 11}, {10.0f, 10}, {10.001f, 11}, {0.0f, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.width);
        fake->widths[u"wide"] = row.width;
        LFontText text(u"a\nwide\nbc", font);
        EXPECT_EQ(text.GetMaxLineWidth(), std::max(row.expected, 14));
    }
}

TEST_F(LFontTextTest, BoundsRoundHalfAwayAndClamp)
{
    struct Row {
        float width;
        QV::PointT<int32_t> bounds;
    };
    const Row rows[] = {
        {10.5f, {11, 32}},
        {10.49f, {10, 32}},  // the centred 7-wide line lies inside the wide one
        {1e9f, {8388608, 32}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.width);
        fake->widths[u"wide"] = row.width;
        LFontText text(u"wide\nx", font);
        text.SetBoxSize(100, 100);
        text.SetAlignment(0.5f, 0);
        EXPECT_EQ(text.GetBounds(), row.bounds);
    }
}

TEST(LFontTextRoundPointTest, RoundsHalfAwayAndSaturates)
{
    EXPECT_EQ(LFontText::RoundPoint({2.5f, -2.5f}), (QV::PointT<int32_t>{3, -3}));
    EXPECT_EQ(LFontText::RoundPoint({3e9f, -3e9f}), (QV::PointT<int32_t>{INT32_MAX, INT32_MIN}));
}

}  // namespace
