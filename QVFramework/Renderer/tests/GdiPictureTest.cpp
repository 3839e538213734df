// Draws a small scene and compares it with a reference picture. A failing
// run writes the actual picture beside the reference for a person to look
// at; QV_UPDATE_PICTURES=1 makes the actual picture the new reference.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "GdiTestSupport.h"
#include "RendererScene.h"

namespace QV::Testing {
namespace {

const std::string kReference = std::string(QV_RENDERER_TEST_DATA) + "/GdiScene.png";
const std::string kActual = std::string(QV_RENDERER_TEST_DATA) + "/GdiScene.actual.png";
constexpr int kTolerance = 24;

class GdiPictureTest : public GdiRendererFixture {
protected:
    GdiPictureTest() : GdiRendererFixture({0, 0, 200, 120}) {}

    void DrawScene() { DrawRendererScene(*renderer); }
};

TEST_F(GdiPictureTest, SceneMatchesTheReferencePicture)
{
    Start();
    DrawScene();
    Finish();
    const Platform::Gdip::Surface& actual = Gdi().GetDrawingSurface()->GetBitmap();
    const char* update = std::getenv("QV_UPDATE_PICTURES");
    if (update && std::string(update) == "1") {
        ASSERT_TRUE(actual.WritePng(kReference));
    }

    const std::unique_ptr<Platform::Gdip::Surface> reference = Platform::Gdip::Surface::ReadPng(kReference);
    int mismatched = 0;
    if (reference && reference->GetWidth() == actual.GetWidth() && reference->GetHeight() == actual.GetHeight()) {
        for (int32_t y = 0; y < actual.GetHeight(); ++y)
            for (int32_t x = 0; x < actual.GetWidth(); ++x)
                mismatched += !Near(actual.GetPixel(x, y), reference->GetPixel(x, y), kTolerance);
    } else {
        mismatched = -1;
    }
    if (mismatched != 0) actual.WritePng(kActual);
    EXPECT_EQ(mismatched, 0) << "actual picture written to " << kActual;
}

}  // namespace
}  // namespace QV::Testing
