#include "LGLTexture.h"

#include <vector>

#include "GLTestContext.h"
#include "LBitmap.h"

namespace {

using namespace QV;

TEST(NextPowerOfTwoTest, SmallestPowerNotBelowTheWholePartUpTo16384)
{
    const struct {
        double size;
        int32_t expected;
    } cases[] = {{0, 0},   {0.5, 0},   {-3, 0},    {1, 1},      {1.9, 1},       {2, 2},        {3, 4},
                 {30, 32}, {100, 128}, {512, 512}, {513, 1024}, {16384, 16384}, {20000, 16384}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(NextPowerOfTwo(c.size), c.expected);
    }
}

class TextureTest : public GLTestContext {
protected:
    // width x height BGRA pixels: the left half red, the right half blue.
    std::vector<uint8_t> TwoColours(int width, int height)
    {
        std::vector<uint8_t> p(static_cast<size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* px = &p[(static_cast<size_t>(y) * width + x) * 4];
                px[0] = x < width / 2 ? 0 : 255;
                px[2] = x < width / 2 ? 255 : 0;
                px[3] = 255;
            }
        return p;
    }
};

TEST_F(TextureTest, ImageSitsTopLeftInAPowerOfTwoTexture)
{
    std::vector<uint8_t> pixels = TwoColours(40, 30);
    GLPixelImage image;
    image.Wrap(pixels.data(), 40 * 4, 4, 40, 30, GL_BGRA_EXT, GL_UNSIGNED_BYTE);
    RCPtr<LGLTexture> texture(new LGLTexture);
    texture->SetImage(image, GL_RGBA8, kTextureNearest, 2.0f);
    EXPECT_TRUE(texture->IsValid());
    EXPECT_EQ(texture->GetTextureWidth(), 64.0f);
    EXPECT_EQ(texture->GetTextureHeight(), 32.0f);
    EXPECT_EQ(texture->GetImageWidth(), 40.0f);
    EXPECT_EQ(texture->GetScaledWidth(), 20.0f);

    glColor4f(1, 1, 1, 1);
    texture->Draw({0, 0, 40, 30}, {0, 0, 40, 30});
    EXPECT_EQ(Pixel(0, 0), kRed);
    EXPECT_EQ(Pixel(19, 29), kRed);
    EXPECT_EQ(Pixel(20, 0), kBlue);
    EXPECT_EQ(Pixel(39, 29), kBlue);
    EXPECT_EQ(Pixel(40, 10), kBlack);  // nothing beyond the image
    EXPECT_EQ(Pixel(10, 30), kBlack);
}

TEST_F(TextureTest, MadeFromABitmapHoldsItsWholeImage)
{
    RCPtr<LBitmap> whole = LBitmap::CreateFilledBitmap({20, 10}, LColor{0, 0, 1, 1});
    RCPtr<LBitmap> part = whole->CreateSubBitmap(10, 0, 10, 10);
    RCPtr<LGLTexture> texture = LGLTexture::Create(ConstRCPtr<LBitmap>(part));
    ASSERT_TRUE(texture);
    EXPECT_TRUE(texture->IsValid());
    EXPECT_EQ(texture->GetImageWidth(), 20.0f);  // the image, not the sub-bitmap
    EXPECT_EQ(texture->GetTextureWidth(), 32.0f);
    glColor4f(1, 1, 1, 1);
    texture->Draw({0, 0, 20, 10}, {0, 0, 20, 10});
    EXPECT_EQ(Pixel(15, 5), kBlue);

    RCPtr<LGLTexture> reloaded(new LGLTexture);
    reloaded->LoadBitmap(ConstRCPtr<LBitmap>(LBitmap::CreateFilledBitmap({4, 4}, LColor{1, 0, 0, 1})));
    EXPECT_EQ(reloaded->GetImageWidth(), 4.0f);
    reloaded->Draw({0, 0, 4, 4}, {30, 30, 34, 34});
    EXPECT_EQ(Pixel(32, 32), kRed);
}

TEST_F(TextureTest, SubRectangleAndRepeatScaling)
{
    std::vector<uint8_t> pixels = TwoColours(40, 30);
    GLPixelImage image;
    image.Wrap(pixels.data(), 40 * 4, 4, 40, 30, GL_BGRA_EXT, GL_UNSIGNED_BYTE);
    RCPtr<LGLTexture> texture(new LGLTexture);
    texture->SetImage(image, GL_RGBA8, kTextureNearest | kTextureRepeat, 1.0f);
    // Repeat wrapping scales the image to fill the texture.
    EXPECT_EQ(texture->GetImageWidth(), 64.0f);
    EXPECT_EQ(texture->GetImageHeight(), 32.0f);
    EXPECT_TRUE(image.OwnsData());
    glColor4f(1, 1, 1, 1);
    texture->Draw({32, 0, 64, 32}, {0, 0, 10, 10});  // the right half only
    EXPECT_EQ(Pixel(1, 1), kBlue);
    EXPECT_EQ(Pixel(8, 8), kBlue);
}

TEST_F(TextureTest, AlphaFormatTurnsGreyIntoCoverage)
{
    std::vector<uint8_t> pixels = {0, 0, 0, 255, 255, 255, 255, 255};  // black, white
    GLPixelImage image;
    image.Wrap(pixels.data(), 8, 4, 2, 1, GL_BGRA_EXT, GL_UNSIGNED_BYTE);
    RCPtr<LGLTexture> texture(new LGLTexture);
    texture->SetImage(image, GL_ALPHA8, kTextureNearest, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(0, 1, 0, 1);
    texture->Draw({0, 0, 2, 1}, {0, 0, 20, 10});
    glDisable(GL_BLEND);
    EXPECT_EQ(Pixel(2, 5), (RGB{0, 255, 0}));  // black was opaque
    EXPECT_EQ(Pixel(15, 5), kBlack);           // white was clear
}

TEST_F(TextureTest, EmptyImageGivesAnEmptyTextureAndDeletedNamesGoAway)
{
    GLPixelImage image;
    RCPtr<LGLTexture> texture(new LGLTexture);
    texture->SetImage(image, GL_RGBA8, 0, 1.0f);
    EXPECT_EQ(texture->GetTextureWidth(), 0.0f);
    texture->Draw({0, 0, 1, 1}, {0, 0, 10, 10});  // draws nothing, divides by nothing
    EXPECT_EQ(Pixel(5, 5), kBlack);

    const GLuint name = static_cast<GLuint>(texture->GetTextureName());
    EXPECT_TRUE(glIsTexture(name));
    texture = nullptr;
    EXPECT_FALSE(glIsTexture(name));
}

TEST_F(TextureTest, SupportedSizeNeedsNoShrinking)
{
    std::vector<uint8_t> pixels = TwoColours(8, 8);
    GLPixelImage image;
    image.Wrap(pixels.data(), 32, 4, 8, 8, GL_BGRA_EXT, GL_UNSIGNED_BYTE);
    RCPtr<LGLTexture> texture(new LGLTexture);
    texture->SetImage(image, GL_RGBA8, 0, 1.0f);
    EXPECT_EQ(texture->ShrinkToSupportedSize(GL_RGBA8, GL_BGRA_EXT, GL_UNSIGNED_BYTE), 1);
    EXPECT_EQ(texture->GetTextureWidth(), 8.0f);
}

}  // namespace
