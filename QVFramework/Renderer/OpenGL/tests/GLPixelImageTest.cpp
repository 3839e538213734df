#include "GLPixelImage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using QV::GLPixelImage;

TEST(GLPixelImageTest, GreyBecomesAlphaWithBlackOpaque)
{
    const struct {
        uint32_t bgra;  // 0xAARRGGBB
        uint8_t alpha;
    } cases[] = {{0x00000000, 0}, {0xFF000000, 255}, {0xFFFFFFFF, 0},   {0xFF808080, 128},
                 {0x00FFFFFF, 0}, {0x01000000, 255}, {0xFF00FF00, 105}, {0xFFFF0000, 179}};
    std::vector<uint8_t> pixels;
    for (const auto& c : cases)
        for (int shift = 0; shift < 32; shift += 8) pixels.push_back(static_cast<uint8_t>(c.bgra >> shift));
    GLPixelImage source;
    const auto count = static_cast<int32_t>(std::size(cases));
    source.Wrap(pixels.data(), 4 * count, 4, count, 1, GL_BGRA_EXT, GL_UNSIGNED_BYTE);
    GLPixelImage alpha;
    alpha.MakeAlphaFromGrey(count, 1, source);
    EXPECT_EQ(alpha.GetFormat(), static_cast<GLenum>(GL_ALPHA));
    EXPECT_EQ(alpha.GetBytesPerPixel(), 1);
    EXPECT_EQ(alpha.GetStride(), 8);
    for (int32_t i = 0; i < count; ++i) {
        SCOPED_TRACE(::testing::Message() << std::hex << cases[i].bgra);
        EXPECT_EQ(alpha.GetData()[i], cases[i].alpha);
    }
}

TEST(GLPixelImageTest, ConversionReadsOnlyWhatTheSourceHolds)
{
    std::vector<uint8_t> pixels(4 * 2 * 2, 0);
    pixels[3] = 0xFF;  // opaque black at (0, 0)
    GLPixelImage source;
    source.Wrap(pixels.data(), 8, 4, 2, 2, GL_BGRA_EXT, GL_UNSIGNED_BYTE);
    GLPixelImage alpha;
    alpha.MakeAlphaFromGrey(5, 3, source);  // larger than the source
    EXPECT_EQ(alpha.GetStride(), 8);
    EXPECT_EQ(alpha.GetData()[0], 255);
    for (int32_t i = 1; i < alpha.GetStride() * 3; ++i) EXPECT_EQ(alpha.GetData()[i], 0) << i;
}

TEST(GLPixelImageTest, ConvertInPlaceOwnsItsNewBlockAndTakeFromMoves)
{
    std::vector<uint8_t> pixels = {0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    GLPixelImage image;
    image.Wrap(pixels.data(), 8, 4, 2, 1, GL_BGRA_EXT, GL_UNSIGNED_BYTE);
    EXPECT_FALSE(image.OwnsData());
    image.ConvertToAlpha();
    EXPECT_TRUE(image.OwnsData());
    EXPECT_EQ(image.GetData()[0], 255);
    EXPECT_EQ(image.GetData()[1], 0);
    EXPECT_EQ(pixels[3], 0xFF);  // the wrapped pixels are untouched

    GLPixelImage other;
    other.TakeFrom(image);
    EXPECT_EQ(image.Free(), nullptr);  // nothing left to answer
    EXPECT_EQ(image.GetData(), nullptr);
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_TRUE(other.OwnsData());
    EXPECT_EQ(other.GetWidth(), 2);
}

TEST(GLPixelImageTest, FreeAnswersTheDataItHad)
{
    std::vector<uint8_t> pixels(8, 0xFF);
    GLPixelImage wrapped;
    wrapped.Wrap(pixels.data(), 8, 4, 2, 1, GL_BGRA_EXT, GL_UNSIGNED_BYTE);
    EXPECT_EQ(wrapped.Free(), pixels.data());
    EXPECT_EQ(wrapped.GetData(), nullptr);
    EXPECT_EQ(wrapped.GetWidth(), 0);

    GLPixelImage owned;
    owned.Wrap(pixels.data(), 8, 4, 2, 1, GL_BGRA_EXT, GL_UNSIGNED_BYTE);
    owned.ConvertToAlpha();
    const uint8_t* block = owned.GetData();
    EXPECT_EQ(owned.Free(), block);
    EXPECT_FALSE(owned.OwnsData());
}

}  // namespace
