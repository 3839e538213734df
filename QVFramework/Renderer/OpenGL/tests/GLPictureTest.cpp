// Draws the 2D renderer's picture-test scene with the GL renderer and holds
// it against the same reference. Edges and glyphs are rasterised apart, so
// a few pixels may differ more than the tolerance; a failing run writes the
// GL picture beside the reference.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "GLTestContext.h"
#include "LGLRenderer.h"
#include "RendererScene.h"
#include "Surface.h"

namespace QV::Testing {
namespace {

const std::string kReference = std::string(QV_RENDERER_TEST_DATA) + "/GdiScene.png";
const std::string kActual = std::string(QV_RENDERER_TEST_DATA) + "/GLScene.actual.png";
constexpr int kWidth = 200, kHeight = 120;
constexpr int kTolerance = 64;
constexpr double kMostPixelsApart = 0.10;

TEST(GLPictureTest, SceneMatchesThe2DRenderersPicture)
{
    Platform::HiddenGLWindow window(kWidth, kHeight);
    ASSERT_TRUE(window.GetError().empty()) << window.GetError();
    RCPtr<LRenderer> renderer = LRenderer::Create(LRenderer::kOpenGL, {0, 0, kWidth, kHeight}, window.Get());
    Platform::KeepGLDriverLoaded();
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, window.Get(), false, context), S_OK);
    ASSERT_EQ(renderer->RenderStart(context), S_OK);
    DrawRendererScene(*renderer);
    std::vector<uint8_t> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    ASSERT_EQ(renderer->RenderFinish(context), S_OK);

    Platform::Gdip::Surface actual(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(kHeight - 1 - y) * kWidth + x) * 4];
            actual.FillNoBlend({x, y, 1, 1}, 0xFF000000u | (p[0] << 16) | (p[1] << 8) | p[2]);
        }
    const auto reference = Platform::Gdip::Surface::ReadPng(kReference);
    ASSERT_TRUE(reference);
    ASSERT_EQ(reference->GetWidth(), kWidth);
    int apart = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) apart += !Near(actual.GetPixel(x, y), reference->GetPixel(x, y), kTolerance);
    const bool close = apart <= kMostPixelsApart * kWidth * kHeight;
    if (!close) actual.WritePng(kActual);
    EXPECT_TRUE(close) << apart << " pixels differ; the GL picture is in " << kActual;
}

}  // namespace
}  // namespace QV::Testing
