#include "LFreetypeFontRenderer.h"

#include <gtest/gtest.h>

#include <vector>

#include <fstream>

#include "FakeMeasurementRenderer.h"
#include "FontFileBuilder.h"
#include "LFont.h"
#include "LFontFileInfo.h"
#include "MeasurementRendererSource.h"
#include "TempFolder.h"

namespace {

using namespace QV;

// Records what the font renderer hands over; answers FindGlyph from a
// canned cache when one is given.
class RecordingProcessor : public LGlyphProcessor {
public:
    struct Seen {
        uint32_t character;
        float penX;
        GlyphBox box;
        uint32_t advance;
        int32_t glyphIndex;
        RCPtr<LPixelBuffer<uint8_t>> bitmap;
    };
    std::vector<std::string> calls;
    std::vector<Seen> glyphs;
    bool cached = false;  // answer every glyph from the cache below
    GlyphRecord cachedGlyph;
    GlyphBounds bounds;

    void BeginText(const ConstRCPtr<LFont>&, uint32_t flags) override
    {
        calls.push_back("begin " + std::to_string(flags));
    }
    void EndText() override { calls.push_back("end"); }
    uint32_t FindGlyph(GlyphRecord& record) override
    {
        calls.push_back("find");
        if (!cached) return kNeedAll;
        record.glyphIndex = cachedGlyph.glyphIndex;
        record.box = cachedGlyph.box;
        record.advance = cachedGlyph.advance;
        return 0;
    }
    void ProcessGlyph(GlyphRecord& r) override
    {
        calls.push_back("process");
        glyphs.push_back({r.character, r.penX, r.box, r.advance, r.glyphIndex, r.bitmap});
    }
    GlyphBounds GetBounds() const override { return bounds; }
};

class FreetypeRendererTest : public ::testing::Test {
protected:
    RCPtr<RecordingProcessor> mProcessor{new RecordingProcessor};
    RCPtr<LFreetypeFontRenderer> mRenderer{new LFreetypeFontRenderer(mProcessor, mProcessor)};
    RCPtr<Testing::FakeMeasurementRenderer> mMetrics{new Testing::FakeMeasurementRenderer};
    ScopedMeasurementRenderer mScope{mMetrics};

    ConstRCPtr<LFont> Font(float size, const char16_t* face = u"Liberation Sans")
    {
        return ConstRCPtr<LFont>(new LFont(String(face), size, 0));
    }
    int32_t Render(const char16_t* text, float size, float limit = 0, const char16_t* face = u"Liberation Sans")
    {
        return mRenderer->RenderText(String(text), Font(size, face), *mProcessor, 0, limit, kGlyphDrawFlags);
    }
};

TEST_F(FreetypeRendererTest, MetricsFollowTheFontSizeAt96Dpi)
{
    ASSERT_TRUE(mRenderer->IsReady());
    for (float size : {7.5f, 12.0f, 24.0f}) {
        SCOPED_TRACE(size);
        int32_t lineHeight = 0, ascent = 0, descent = 0;
        ASSERT_EQ(mRenderer->GetFontMetrics(Font(size), lineHeight, ascent, descent), S_OK);
        EXPECT_LT(ascent, 0);
        EXPECT_GT(descent, 0);
        EXPECT_GE(lineHeight, static_cast<int32_t>(96 * size / 72));
        EXPECT_GE(lineHeight, descent - ascent);
    }
}

TEST_F(FreetypeRendererTest, EmptyTextBeginsAndEndsARun)
{
    EXPECT_EQ(Render(u"", 12), 0);
    EXPECT_EQ(mProcessor->calls, (std::vector<std::string>{"begin 15", "end"}));
}

TEST_F(FreetypeRendererTest, MonochromeBelowEightPointsGreyFromEight)
{
    const struct {
        float size;
        bool grey;
    } cases[] = {{7.5f, false}, {8.0f, true}, {14.0f, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        mProcessor->glyphs.clear();
        ASSERT_EQ(Render(u"Ow", c.size), 2);
        bool intermediate = false, ink = false;
        for (const auto& g : mProcessor->glyphs) {
            ASSERT_TRUE(g.bitmap);
            EXPECT_EQ(g.bitmap->GetWidth(), g.box.right - g.box.left);
            EXPECT_EQ(g.bitmap->GetHeight(), g.box.bottom - g.box.top);
            for (int32_t y = 0; y < g.bitmap->GetHeight(); ++y)
                for (int32_t x = 0; x < g.bitmap->GetWidth(); ++x) {
                    const uint8_t v = *g.bitmap->GetPixelAddress(x, y);
                    ink |= v != 0;
                    intermediate |= v != 0 && v != 255;
                }
        }
        EXPECT_TRUE(ink);
        EXPECT_EQ(intermediate, c.grey);
    }
}

TEST_F(FreetypeRendererTest, MissingCharacterIsSkippedWithoutMovingThePen)
{
    ASSERT_EQ(Render(u"A\u0378A", 12), 3);
    ASSERT_EQ(mProcessor->glyphs.size(), 2u);
    const auto& first = mProcessor->glyphs[0];
    EXPECT_GT(first.glyphIndex, 0);
    EXPECT_GT(AdvanceX(first.advance), 0);
    EXPECT_FLOAT_EQ(mProcessor->glyphs[1].penX, first.penX + AdvanceX(first.advance) / 64.0f);
}

TEST_F(FreetypeRendererTest, CachedGlyphsAreTakenAsTheProcessorGivesThem)
{
    mProcessor->cached = true;
    mProcessor->cachedGlyph.glyphIndex = 36;
    mProcessor->cachedGlyph.box = {1, -9, 7, 0};
    mProcessor->cachedGlyph.advance = PackAdvance(10 * 64, 0);
    ASSERT_EQ(Render(u"abc", 12), 3);
    ASSERT_EQ(mProcessor->glyphs.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto& g = mProcessor->glyphs[i];
        EXPECT_FALSE(g.bitmap);  // nothing was rasterised
        EXPECT_EQ(g.glyphIndex, 36);
        EXPECT_EQ(g.box.top, -9);
        EXPECT_EQ(AdvanceX(g.advance), 640);  // not reloaded from the face
        EXPECT_FLOAT_EQ(g.penX, 10.0f * static_cast<float>(i));
    }
}

TEST_F(FreetypeRendererTest, PositiveWidthLimitStopsBeforeTheGlyphThatPassesIt)
{
    ASSERT_EQ(Render(u"MMMM", 12), 4);
    const float second = mProcessor->glyphs[1].penX;
    mProcessor->glyphs.clear();
    EXPECT_EQ(Render(u"MMMM", 12, second + 1), 1);
    EXPECT_EQ(mProcessor->glyphs.size(), 1u);
}

TEST_F(FreetypeRendererTest, FontFileFreeTypeCannotOpenFailsMetricsAndDrawsNothing)
{
    // Names a family but holds no usable font tables.
    TempFolder folder("freetypebroken");
    const Bytes bytes = MakeFont({Win(1, u"Broken"), Win(2, u"Regular")});
    std::ofstream(folder / "broken.ttf", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_EQ(LFontFileInfo::ScanFontFolders({folder.Path()}), S_OK);
    ASSERT_EQ(LFontFileInfo::GetCount(), 1);
    int32_t lineHeight = 0, ascent = 0, descent = 0;
    EXPECT_EQ(mRenderer->GetFontMetrics(Font(12, u"Broken"), lineHeight, ascent, descent), E_FAIL);
    EXPECT_EQ(Render(u"abc", 12, 0, u"Broken"), 0);
    EXPECT_TRUE(mProcessor->calls.empty());
}

TEST_F(FreetypeRendererTest, MeasureReachesFromAscentToDescent)
{
    mProcessor->bounds = {1.0f, -8.0f, 20.0f, -2.0f};  // ink wholly above the baseline
    RectT<float> r;
    ASSERT_EQ(mRenderer->MeasureText(r, String(u"^"), Font(12)), S_OK);
    EXPECT_EQ(mProcessor->calls.front(), "begin 3");
    EXPECT_FLOAT_EQ(r.x, 1.0f);
    EXPECT_FLOAT_EQ(r.y, -12.0f);  // the fake font's ascent
    EXPECT_FLOAT_EQ(r.width, 20.0f);
    EXPECT_FLOAT_EQ(r.height, 16.0f);  // down to the descent of 4
}

}  // namespace
