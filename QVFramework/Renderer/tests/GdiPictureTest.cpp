// Draws a small scene and compares it with a reference picture. A failing
// run writes the actual picture beside the reference for a person to look
// at; QV_UPDATE_PICTURES=1 makes the actual picture the new reference.
#include <gtest/gtest.h>

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
    ExpectMatchesReferencePicture(actual, kReference, kActual, kTolerance);
}

}  // namespace
}  // namespace QV::Testing
