#include "LGLRenderer.h"

#include <functional>

#include "FakeTimeSource.h"
#include "FrameworkStrings.h"
#include "GLErrorBox.h"
#include "GLTestContext.h"
#include "LBitmap.h"
#include "LFont.h"
#include "LGLRenderContextInfo.h"

namespace {

using namespace QV;

struct BoxRecord {
    static inline std::vector<std::string> shown;
    static void Hook(const String& caption, const String& text)
    {
        shown.push_back(std::string(NarrowString(caption).GetChars()) + "|" + NarrowString(text).GetChars());
    }
};

std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

class GLRendererTest : public GLTestContext {
protected:
    void SetUp() override
    {
        GLTestContext::SetUp();
        Platform::GLContext::ReleaseCurrent();
        mRenderer = LRenderer::Create(LRenderer::kOpenGL, {0, 0, kWidth, kHeight}, GL().window.Get());
        Platform::KeepGLDriverLoaded();
        ASSERT_EQ(mRenderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, GL().window.Get(), false, mContext), S_OK);
    }
    void TearDown() override
    {
        mContext = nullptr;
        mRenderer = nullptr;
    }
    void Start() { ASSERT_EQ(mRenderer->RenderStart(mContext), S_OK); }
    void Finish() { ASSERT_EQ(mRenderer->RenderFinish(mContext), S_OK); }

    RCPtr<LRenderer> mRenderer;
    RCPtr<LRenderContextInfo> mContext;
};

const LColor kRedColour{1, 0, 0, 1};
const LColor kWhiteColour{1, 1, 1, 1};
const LColor kBlackColour{0, 0, 0, 1};

TEST_F(GLRendererTest, FactoryMakesTheOpenGLChain)
{
    EXPECT_EQ(mRenderer->GetRendererType(), 0);
    auto* gl = dynamic_cast<LGLRenderer*>(mRenderer.Get());
    ASSERT_NE(gl, nullptr);
    ASSERT_TRUE(gl->GetFontRenderer());
    EXPECT_NE(dynamic_cast<LGLRenderContextInfo*>(mContext.Get()), nullptr);
    EXPECT_GT(mContext->GetMaximumSurfaceSize().width, 0);
}

TEST(GLRendererConstructionTest, WindowWithoutGLShowsTheBoxAndRaises)
{
    BoxRecord::shown.clear();
    const GLErrorBoxHook previous = SetGLErrorBoxHook(&BoxRecord::Hook);
    EXPECT_EQ(ErrorOf([] {
                  LRenderer::Create(LRenderer::kOpenGL, {0, 0, 10, 10}, nullptr);
              }),
              "Runtime Error : QV::LGLRenderer::LGLRenderer : Renderer\\OpenGL\\GLRenderer : Line 144");
    SetGLErrorBoxHook(previous);
    ASSERT_EQ(BoxRecord::shown.size(), 1u);
    EXPECT_EQ(BoxRecord::shown[0], "|") << "without a string table every text is empty";
}

// The framework table in German, as the installed lookup answers it.
bool GermanGLTexts(const String& id, String& text)
{
    if (id == u"GL_ERROR_CAPTION") text = String(u"OpenGL-Fehler");
    else if (id == u"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT") text = String(u"Kein OpenGL-Visual gefunden. ");
    else if (id == u"GL_ERROR_UPDATE_DRIVER") text = String(u"Aktualisieren Sie den Treiber.");
    else return false;
    return true;
}

// A table that lacks the failure's own message.
bool CaptionOnly(const String& id, String& text)
{
    if (id != u"GL_ERROR_CAPTION") return false;
    text = String(u"OpenGL Error");
    return true;
}

TEST(GLRendererConstructionTest, TheBoxSpeaksTheFrameworkTablesLanguage)
{
    const struct {
        const char* what;
        FrameworkStringLookup lookup;
        const char* box;
    } rows[] = {
        {"German", &GermanGLTexts, "OpenGL-Fehler|Kein OpenGL-Visual gefunden. Aktualisieren Sie den Treiber."},
        {"a missing key shows as an empty text, never in English", &CaptionOnly, "OpenGL Error|"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        BoxRecord::shown.clear();
        const GLErrorBoxHook previousBox = SetGLErrorBoxHook(&BoxRecord::Hook);
        const FrameworkStringLookup previousLookup = SetFrameworkStringLookup(row.lookup);
        EXPECT_NE(ErrorOf([] { LRenderer::Create(LRenderer::kOpenGL, {0, 0, 10, 10}, nullptr); }), "no error");
        SetFrameworkStringLookup(previousLookup);
        SetGLErrorBoxHook(previousBox);
        ASSERT_EQ(BoxRecord::shown.size(), 1u);
        EXPECT_EQ(BoxRecord::shown[0], row.box);
    }
}

TEST_F(GLRendererTest, FillsClearsAndOutlines)
{
    Start();
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kWhiteColour, true);
    mRenderer->FillRect({10, 10, 10, 10}, kRedColour, false);  // cleared to transparent black, whatever the colour
    mRenderer->FillRect({30, 10, 10, 10}, kRedColour, true);
    mRenderer->DrawFilledRect({10, 30, 20, 20}, LColor{0, 0, 0, 0}, kRedColour, 1.0f);
    EXPECT_EQ(Pixel(15, 15), kBlack);
    EXPECT_EQ(Pixel(35, 15), kRed);
    EXPECT_EQ(Pixel(25, 5), kWhite);
    EXPECT_LT(Pixel(20, 30)[1], 200);  // top edge of the outline (smoothed lines cover it partly)
    EXPECT_EQ(Pixel(20, 40), kWhite);  // inside the outline
    Finish();
}

TEST_F(GLRendererTest, ClipBecomesTheScissorBox)
{
    const struct {
        const char* name;
        DoubleRect clip;
        DoublePoint origin;
        RGB inside, outside;
    } rows[] = {
        {"clip", {10, 10, 20, 20}, {0, 0}, kRed, kBlack},
        {"clip moved by the origin", {0, 0, 20, 20}, {10, 10}, kRed, kBlack},
        {"empty clip draws nothing", {10, 10, 0, 20}, {0, 0}, kBlack, kBlack},
        {"clip partly left of the window", {-10, 10, 40, 20}, {0, 0}, kRed, kBlack},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Start();
        mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
        mRenderer->PushOrigin(row.origin);
        mRenderer->SaveState();
        mRenderer->SetClipRect(row.clip);
        mRenderer->FillRect({-100, -100, 300, 300}, kRedColour, true);
        EXPECT_EQ(Pixel(15, 15), row.inside);
        EXPECT_EQ(Pixel(45, 45), row.outside);
        mRenderer->RestoreState();
        mRenderer->RestoreState();
        Finish();
    }
}

TEST_F(GLRendererTest, PolygonOutlineIsClosedAndFillLeavesTheNotch)
{
    const PolylineT<float> l({{10, 10}, {30, 10}, {30, 30}, {50, 30}, {50, 50}, {10, 50}});
    Start();
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->FillPolygon(l, kWhiteColour, {0, 0}, {1, 1}, true);
    EXPECT_EQ(Pixel(20, 20), kWhite);
    EXPECT_EQ(Pixel(40, 20), kBlack);
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->DrawPolygon(l, kRedColour, {0, 0}, {1, 1}, true);
    EXPECT_GT(Pixel(10, 30)[0], 64);  // the closing edge from the last point to the first
    Finish();
}

TEST_F(GLRendererTest, CachedShapesReplayUntilChangedAndAChangeDropsBothPolygonLists)
{
    PolylineT<float> shape({{0, 0}, {20, 0}, {20, 20}, {0, 20}});
    const std::vector<FloatPoint> moved = {{40, 40}, {60, 40}, {60, 60}, {40, 60}};
    Start();
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->FillPolygon(shape, kWhiteColour, {0, 0}, {1, 1}, true);

    shape.SetPoints(moved);
    shape.SetChanged(false);  // an unchanged shape replays its list
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->FillPolygon(shape, kWhiteColour, {0, 0}, {1, 1}, true);
    EXPECT_EQ(Pixel(10, 10), kWhite);
    EXPECT_EQ(Pixel(50, 50), kBlack);

    shape.SetChanged(true);  // the outline sees the change and drops the fill too
    mRenderer->DrawPolygon(shape, kWhiteColour, {0, 0}, {1, 1}, true);
    EXPECT_FALSE(shape.IsChanged());
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->FillPolygon(shape, kWhiteColour, {0, 0}, {1, 1}, true);
    EXPECT_EQ(Pixel(10, 10), kBlack);
    EXPECT_EQ(Pixel(50, 50), kWhite);

    // Drawn without keeping: the entry goes, the shape is drawn as it is now.
    shape.SetPoints({{0, 0}, {20, 0}, {20, 20}, {0, 20}});
    shape.SetChanged(false);
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->FillPolygon(shape, kWhiteColour, {0, 0}, {1, 1}, false);
    mRenderer->FillPolygon(shape, kWhiteColour, {0, 0}, {1, 1}, true);
    EXPECT_EQ(Pixel(10, 10), kWhite);
    EXPECT_EQ(Pixel(50, 50), kBlack);
    Finish();
}

TEST_F(GLRendererTest, RectListsAreFilledInTheirColoursAndScaled)
{
    ColorRectListT<float> list;
    list.Add({0, 0, 5, 5}, 0xFFFF0000);
    list.Add({5, 0, 5, 5}, 0xFF0000FF);
    list.SetScale(2, 2);
    Start();
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->FillRects(list, {10, 10}, true);
    mRenderer->FillRects(list, {10, 40}, true);  // replayed at another offset
    for (int y : {15, 45}) {
        EXPECT_EQ(Pixel(15, y), kRed);
        EXPECT_EQ(Pixel(25, y), kBlue);
        EXPECT_EQ(Pixel(35, y), kBlack);
    }
    Finish();
}

TEST_F(GLRendererTest, ACachedRectListDrawsAtTheOpacityOfEachDraw)
{
    ColorRectListT<float> list;
    list.Add({0, 0, 10, 10}, 0xFFFFFFFF);
    Start();
    for (const float opacity : {1.0f, 0.5f, 1.0f, 0.25f}) {
        SCOPED_TRACE(opacity);
        mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
        mContext->GetState().opacity = opacity;
        mRenderer->FillRects(list, {10, 10}, true);
        mContext->GetState().opacity = 1.0f;
        EXPECT_NEAR(Pixel(15, 15)[0], 255 * opacity, 2);
    }
    // A change made while drawn at part opacity is not hidden by the old list.
    list.Add({20, 0, 10, 10}, 0xFFFFFFFF);
    mContext->GetState().opacity = 0.5f;
    mRenderer->FillRects(list, {10, 10}, true);
    mContext->GetState().opacity = 1.0f;
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->FillRects(list, {10, 10}, true);
    EXPECT_EQ(Pixel(35, 15), kWhite);
    Finish();
}

TEST_F(GLRendererTest, ANewLineWidthRebuildsACachedLine)
{
    PolylineT<float> line({{0, 32}, {64, 32}}, 1.0f);
    Start();
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->DrawPolyline(line, kWhiteColour, {0, 0}, {1, 1}, true);
    EXPECT_EQ(Pixel(30, 35), kBlack);
    line.SetLineWidth(10.0f);
    EXPECT_TRUE(line.IsChanged());
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->DrawPolyline(line, kWhiteColour, {0, 0}, {1, 1}, true);
    EXPECT_GT(Pixel(30, 35)[0], 128);
    Finish();
    line.SetChanged(false);
    line.SetLineWidth(10.0f);  // the same width changes nothing
    EXPECT_FALSE(line.IsChanged());
}

TEST_F(GLRendererTest, BitmapsByResizeTypeAndTheirErrors)
{
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({10, 10}, kRedColour);
    ASSERT_TRUE(bitmap);
    Start();
    const struct {
        const char* name;
        LongRect destination;
        int32_t type;
        std::vector<std::pair<LongPoint, RGB>> pixels;
    } rows[] = {
        {"stretch", {0, 0, 40, 20}, 0, {{{35, 15}, kRed}, {{45, 15}, kBlack}}},
        {"tile, tiles not cut at the edge", {0, 0, 25, 12}, 1, {{{28, 18}, kRed}, {{32, 5}, kBlack}}},
        {"tile into no width", {0, 0, 0, 30}, 1, {{{5, 5}, kBlack}}},
        {"centre", {0, 0, 30, 30}, 2, {{{15, 15}, kRed}, {{5, 5}, kBlack}}},
        {"exact size draws whatever the type", {20, 20, 10, 10}, 7, {{{25, 25}, kRed}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
        mRenderer->DrawBitmap(bitmap, row.destination, row.type);
        for (const auto& [at, colour] : row.pixels) EXPECT_EQ(Pixel(at.x, at.y), colour) << at.x << "," << at.y;
    }
    EXPECT_EQ(ErrorOf([&] {
                  mRenderer->DrawBitmap(bitmap, {0, 0, 5, 5}, 3);
              }),
              "Logic Error : Invalid ResizeType passed to DrawBitmap! : QV::LGLRenderer::DrawBitmap : "
              "Renderer\\OpenGL\\GLRenderer : Line 1152");
    EXPECT_EQ(ErrorOf([&] { mRenderer->DrawBitmap(nullptr, {0, 0, 5, 5}, 0); }).rfind("Failed Result : ", 0), 0u);
    EXPECT_NE(ErrorOf([&] {
                  mRenderer->DrawBitmap(nullptr, {0, 0, 5, 5}, 0);
              }).find(" : QV::LGLRenderer::DrawBitmap : Renderer\\OpenGL\\GLRenderer : Line 1102"),
              std::string::npos);
    Finish();
}

TEST_F(GLRendererTest, SubBitmapsShareOneTextureAndALostTextureIsRebuilt)
{
    RCPtr<LBitmap> whole = LBitmap::CreateFilledBitmap({20, 10}, kRedColour);
    RCPtr<LBitmap> left = whole->CreateSubBitmap(0, 0, 10, 10), right = whole->CreateSubBitmap(10, 0, 10, 10);
    Start();
    mRenderer->DrawBitmap(left, {0, 0, 10, 10}, 0);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    mRenderer->DrawBitmap(right, {20, 0, 10, 10}, 0);
    GLint second = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &second);
    EXPECT_EQ(bound, second);
    EXPECT_EQ(Pixel(25, 5), kRed);

    const GLuint name = static_cast<GLuint>(bound);
    glDeleteTextures(1, &name);  // behind the renderer's back
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->DrawBitmap(right, {20, 0, 10, 10}, 0);
    EXPECT_EQ(Pixel(25, 5), kRed);
    Finish();
}

TEST_F(GLRendererTest, TextIsDrawnThroughTheGlyphAtlas)
{
    Start();
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->DrawText(u"HI", LFont::GetFont(u"Liberation Sans", 14, 0), {5, 5}, kWhiteColour);
    int ink = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) ink += Pixel(x, y)[0] > 128;
    EXPECT_GT(ink, 20);
    Finish();
    const RectT<float> size = mRenderer->MeasureText(u"HI", LFont::GetFont(u"Liberation Sans", 14, 0));
    EXPECT_GT(size.width, 10.0f);
    EXPECT_EQ(mRenderer->MeasureText(u"", LFont::GetFont(u"Liberation Sans", 14, 0)).width, 0.0f);
}

TEST_F(GLRendererTest, OffscreenSurfacesAreNotDrawnAndNothingIsDrawnOutsideAFrame)
{
    RCPtr<LRenderContextInfo> offscreen;
    ASSERT_EQ(mRenderer->InitRenderContextInfo({0, 0, 16, 16}, nullptr, true, offscreen), S_OK);
    Start();
    EXPECT_EQ(mRenderer->DrawSurface(offscreen, {0, 0}), E_NOTIMPL);
    EXPECT_EQ(mRenderer->DrawBitmapRect(offscreen, {0, 0}, {0, 0, 4, 4}), E_NOTIMPL);
    EXPECT_EQ(mRenderer->DrawBitmapRect(mContext, {0, 0}, {0, 0, 4, 4}), E_NOTIMPL);
    Finish();
    mRenderer->FillRect({0, 0, 10, 10}, kRedColour, true);  // no context current: nothing happens
}

TEST_F(GLRendererTest, CachesArePurgedOnlyAfterFiveMinutesAtTheOutermostFinish)
{
    Platform::Clock::FakeTimeSource clock(1000);
    Platform::Clock::ScopedTimeSource scope(clock);
    mRenderer = nullptr;
    mRenderer = LRenderer::Create(LRenderer::kOpenGL, {0, 0, kWidth, kHeight}, GL().window.Get());
    PolylineT<float> shape({{0, 0}, {20, 0}, {20, 20}, {0, 20}});
    PolylineT<float> other({{0, 0}, {1, 0}, {1, 1}});
    auto drawAndMove = [&] {
        mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
        mRenderer->FillPolygon(shape, kWhiteColour, {0, 0}, {1, 1}, true);
        const bool replayed = Pixel(10, 10) == kWhite;
        shape.SetPoints({{40, 40}, {60, 40}, {60, 60}, {40, 60}});
        shape.SetChanged(false);
        return replayed;
    };
    Start();
    drawAndMove();
    Finish();
    // Two purges: the first marks, the second drops what was not used since.
    for (uint32_t step : {300000u, 1u, 300001u}) {
        clock.Advance(step);
        Start();
        mRenderer->FillPolygon(other, kWhiteColour, {0, 0}, {1, 1}, true);
        Finish();
    }
    Start();
    mRenderer->FillRect({0, 0, kWidth, kHeight}, kBlackColour, false);
    mRenderer->FillPolygon(shape, kWhiteColour, {0, 0}, {1, 1}, true);
    EXPECT_EQ(Pixel(50, 50), kWhite);  // rebuilt from the current points
    Finish();
    (void)drawAndMove;
}

TEST_F(GLRendererTest, APurgeDeletesTheGLNamesOfWhatItDrops)
{
    Platform::Clock::FakeTimeSource clock(1000);
    Platform::Clock::ScopedTimeSource scope(clock);
    mRenderer = nullptr;
    mRenderer = LRenderer::Create(LRenderer::kOpenGL, {0, 0, kWidth, kHeight}, GL().window.Get());
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({10, 10}, kRedColour);
    Start();
    mRenderer->DrawBitmap(bitmap, {0, 0, 10, 10}, 0);
    GLint texture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    ASSERT_TRUE(glIsTexture(static_cast<GLuint>(texture)));
    Finish();
    RCPtr<LBitmap> other = LBitmap::CreateFilledBitmap({4, 4}, kWhiteColour);
    for (uint32_t step : {300001u, 300001u}) {  // the first purge marks, the second drops
        clock.Advance(step);
        Start();
        mRenderer->DrawBitmap(other, {0, 0, 4, 4}, 0);
        Finish();
    }
    Start();
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(texture)));
    Finish();
}

TEST(GLExtensionTest, WholeNamesOnly)
{
    const struct {
        const char* list;
        const char* name;
        bool found;
    } rows[] = {
        {"WGL_ARB_pixel_format WGL_EXT_swap", "WGL_ARB_pixel_format", true},
        {"WGL_EXT_swap WGL_ARB_pixel_format", "WGL_ARB_pixel_format", true},
        {"WGL_ARB_pixel_format_float", "WGL_ARB_pixel_format", false},
        {"XWGL_ARB_pixel_format", "WGL_ARB_pixel_format", false},
        {"WGL_ARB_pixel_formatWGL_ARB_pixel_format", "WGL_ARB_pixel_format", false},
        {"WGL_ARB_pixel_format_x WGL_ARB_pixel_format", "WGL_ARB_pixel_format", true},
        {"a b", "a b", false},
        {"a", "", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.list) + " / " + row.name);
        EXPECT_EQ(LGLRenderer::HasExtension(row.list, row.name), row.found);
    }
    EXPECT_FALSE(LGLRenderer::HasWGLExtension("WGL_ARB_pixel_format"));
}

}  // namespace
