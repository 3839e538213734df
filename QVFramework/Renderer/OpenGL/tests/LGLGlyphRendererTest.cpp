#include "LGLGlyphRenderer.h"

#include "GLTestContext.h"
#include "LFreetypeFontRenderer.h"
#include "MeasurementRendererSource.h"

namespace {

using namespace QV;

// Fonts measure through the FreeType renderer, as they do behind GL.
class ForwardingMeasurer : public LMeasurementRenderer {
public:
    explicit ForwardingMeasurer(LFontRenderer* fonts) : mFonts(fonts) {}
    QVResult GetFontMetrics(ConstRCPtr<LFont> font, int32_t& h, int32_t& a, int32_t& d) override
    {
        return mFonts->GetFontMetrics(font, h, a, d);
    }
    RectT<float> MeasureText(const String& text, ConstRCPtr<LFont> font) override
    {
        RectT<float> r;
        mFonts->MeasureText(r, text, font);
        return r;
    }

private:
    LFontRenderer* mFonts;
};

class GlyphRendererTest : public GLTestContext {
protected:
    RCPtr<LGLGlyphRenderer> mGlyphs = LGLGlyphRenderer::Create();
    RCPtr<LFreetypeFontRenderer> mFonts{new LFreetypeFontRenderer(mGlyphs, mGlyphs)};
    ScopedMeasurementRenderer mScope{RCPtr<LMeasurementRenderer>(new ForwardingMeasurer(mFonts.Get()))};
    ConstRCPtr<LFont> mFont{new LFont(String(u"Liberation Sans"), 12, 0)};

    int32_t Draw(const char16_t* text, ConstRCPtr<LFont> font = nullptr)
    {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor4f(1, 1, 1, 1);
        return mFonts->RenderText(String(text), font ? font : mFont, *mGlyphs, 0, 0, kGlyphDrawFlags);
    }
    // The cached font entry of mFont, found through a fresh text.
    RCPtr<LGLGlyphRenderer::LCachedFont> Cached(ConstRCPtr<LFont> font = nullptr)
    {
        mGlyphs->BeginText(font ? font : mFont, 0);
        RCPtr<LGLGlyphRenderer::LCachedFont> cached = mGlyphs->GetCurrentFont();
        mGlyphs->EndText();
        return cached;
    }
};

TEST_F(GlyphRendererTest, FirstTextMakesTheAtlasAndACharacterIsRasterisedOnce)
{
    GlyphRecord record;
    record.character = 'H';
    EXPECT_EQ(mGlyphs->FindGlyph(record), 0u);  // no text open

    ASSERT_EQ(Draw(u"HH"), 2);
    auto cached = Cached();
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->GetAtlas().GetPixels()->GetWidth(), 512);
    EXPECT_EQ(cached->GetAtlas().GetPixels()->GetHeight(), 16);
    EXPECT_EQ(cached->GetGlyphs().GetCount(), 1);
    const int32_t cursor = cached->GetAtlas().GetCursorX();

    mGlyphs->BeginText(mFont, kGlyphDrawFlags);
    EXPECT_EQ(mGlyphs->FindGlyph(record), 0u);
    EXPECT_GT(record.glyphIndex, 0);
    record.character = 'Q';
    EXPECT_EQ(mGlyphs->FindGlyph(record), kNeedAll);
    mGlyphs->EndText();
    EXPECT_EQ(cached->GetAtlas().GetCursorX(), cursor);
}

TEST_F(GlyphRendererTest, MeasuringNeverUploadsDrawingUploadsWhenChanged)
{
    RectT<float> r;
    ASSERT_EQ(mFonts->MeasureText(r, String(u"Hello"), mFont), S_OK);
    auto cached = Cached();
    EXPECT_FALSE(cached->IsValid());
    EXPECT_TRUE(cached->GetAtlas().HasChanges());

    Draw(u"Hello");
    EXPECT_TRUE(cached->IsValid());
    EXPECT_FALSE(cached->GetAtlas().HasChanges());
    EXPECT_FALSE(cached->UploadAtlas());  // nothing changed since
}

TEST_F(GlyphRendererTest, DrawnGlyphSitsOnTheBaselineOneAscentBelowTheOrigin)
{
    int32_t lineHeight = 0, ascent = 0, descent = 0;
    ASSERT_EQ(mFonts->GetFontMetrics(mFont, lineHeight, ascent, descent), S_OK);
    glTranslatef(10, 10, 0);
    ASSERT_EQ(Draw(u"I"), 1);
    glLoadIdentity();
    // The stem of an I runs from the cap height down to the baseline.
    const int baseline = 10 - ascent;
    int inkTop = -1, inkBottom = -1;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 8; x < 20; ++x)
            if (Pixel(x, y)[0] > 128) {
                if (inkTop < 0) inkTop = y;
                inkBottom = y;
            }
    ASSERT_GE(inkTop, 0) << "nothing drawn";
    EXPECT_EQ(inkBottom, baseline - 1);
    EXPECT_GT(inkTop, 10);
    EXPECT_EQ(Pixel(40, 30), kBlack);
}

TEST_F(GlyphRendererTest, BoundsCoverThePenRunAndTheInk)
{
    ASSERT_EQ(mFonts->RenderText(String(u"HH"), mFont, *mGlyphs, 0, 0, kGlyphMeasureFlags), 2);
    const GlyphBounds b = mGlyphs->GetBounds();
    GlyphRecord h;
    h.character = 'H';
    mGlyphs->BeginText(mFont, 0);
    mGlyphs->FindGlyph(h);
    mGlyphs->EndText();
    EXPECT_FLOAT_EQ(b.left, 0);
    EXPECT_FLOAT_EQ(b.top, h.box.top);
    EXPECT_GE(b.right, 2 * (AdvanceX(h.advance) >> 6) - 1);
    EXPECT_FLOAT_EQ(b.bottom, 0);  // H has no descender; the bounds start at the origin
}

TEST_F(GlyphRendererTest, SeventeenthFontReplacesTheLeastRecentlyUsed)
{
    std::vector<ConstRCPtr<LFont>> fonts;
    for (int i = 0; i < 17; ++i) {
        fonts.emplace_back(new LFont(String(u"Liberation Sans"), 9.0f + static_cast<float>(i), 0));
        mFonts->RenderText(String(u"a"), fonts.back(), *mGlyphs, 0, 0, kGlyphMeasureFlags);
    }
    EXPECT_EQ(Cached(fonts[1])->GetGlyphs().GetCount(), 1);  // still cached
    EXPECT_EQ(Cached(fonts[0])->GetGlyphs().GetCount(), 0);  // made anew
}

}  // namespace
