#include "Image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Platform::Gdip::Image;
using Platform::Gdip::LockedBits;

const std::string kData = QV_GDIP_TEST_DATA;

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Pixel(const Image& image, int32_t x, int32_t y)
{
    uint32_t argb = 0xDEADBEEF;
    EXPECT_TRUE(image.GetPixel(x, y, argb));
    return argb;
}

uint32_t SurfacePixel(Image& image, int32_t x, int32_t y)
{
    cairo_surface_t* surface = image.GetSurface();
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    return reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(surface))[x];
}

// Red, green, blue / white at alpha 128, black, transparent (10, 20, 30).
void ExpectTestPixels(const Image& image)
{
    ASSERT_EQ(image.GetWidth(), 3);
    ASSERT_EQ(image.GetHeight(), 2);
    const uint32_t expected[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF, 0xFF000000, 0x000A141E};
    for (int32_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Pixel(image, i % 3, i / 3), expected[i]);  // straight alpha, exact
    }
}

TEST(GdipImageTest, DecodesPngFromFileAndBytesIntoStraightPixels)
{
    const std::unique_ptr<Image> fromFile = Image::FromPngFile(kData + "/rgba_3x2.png");
    ASSERT_NE(fromFile, nullptr);
    ExpectTestPixels(*fromFile);
    const std::vector<unsigned char> bytes = ReadFile(kData + "/rgba_3x2.png");
    const std::unique_ptr<Image> fromBytes = Image::FromPngBytes(bytes);
    ASSERT_NE(fromBytes, nullptr);
    ExpectTestPixels(*fromBytes);
}

TEST(GdipImageTest, RefusesWhatIsNotAReadablePng)
{
    const std::vector<unsigned char> truncated = ReadFile(kData + "/truncated.png");
    const std::vector<unsigned char> garbage = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
    EXPECT_EQ(Image::FromPngBytes({}), nullptr);
    EXPECT_EQ(Image::FromPngBytes(garbage), nullptr);
    EXPECT_EQ(Image::FromPngBytes(truncated), nullptr);
    EXPECT_EQ(Image::FromPngFile(kData + "/truncated.png"), nullptr);
    EXPECT_EQ(Image::FromPngFile(kData + "/missing.png"), nullptr);
    EXPECT_EQ(Image::FromPngFile(kData), nullptr) << "a folder";
}

TEST(GdipImageTest, CreateRefusesEmptyAndHugeSizes)
{
    EXPECT_EQ(Image::Create(0, 5), nullptr);
    EXPECT_EQ(Image::Create(5, -1), nullptr);
    EXPECT_EQ(Image::Create(1 << 15, 1 << 15), nullptr);
    const std::unique_ptr<Image> filled = Image::Create(2, 2, 0x80102030);
    ASSERT_NE(filled, nullptr);
    EXPECT_EQ(Pixel(*filled, 1, 1), 0x80102030u);
    uint32_t argb = 7;
    EXPECT_FALSE(filled->GetPixel(2, 0, argb));
    EXPECT_FALSE(filled->GetPixel(0, -1, argb));
    EXPECT_EQ(argb, 7u);
}

TEST(GdipImageTest, CloneAndLockAreClippedToTheImage)
{
    std::unique_ptr<Image> image = Image::FromPngFile(kData + "/rgba_3x2.png");
    ASSERT_NE(image, nullptr);
    const std::unique_ptr<Image> clone = image->CloneArea(1, -1, 5, 2);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetWidth(), 2);
    EXPECT_EQ(clone->GetHeight(), 1);
    EXPECT_EQ(Pixel(*clone, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(image->CloneArea(3, 0, 1, 1), nullptr);

    LockedBits bits;
    ASSERT_TRUE(image->LockBits(-2, 1, 4, 9, Platform::Gdip::kLockRead, bits));
    EXPECT_EQ(bits.width, 2);
    EXPECT_EQ(bits.height, 1);
    EXPECT_EQ(bits.stride, 12);
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(bits.scan0), 0x80FFFFFFu);
    LockedBits again;
    EXPECT_FALSE(image->LockBits(0, 0, 1, 1, Platform::Gdip::kLockRead, again)) << "already locked";
    image->UnlockBits(bits);
    EXPECT_FALSE(image->LockBits(5, 5, 1, 1, Platform::Gdip::kLockRead, again)) << "outside";
}

TEST(GdipImageTest, DrawingCopyIsPremultipliedAndRebuiltAfterAWrite)
{
    std::unique_ptr<Image> image = Image::FromPngFile(kData + "/rgba_3x2.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(SurfacePixel(*image, 0, 1), 0x80808080u);
    EXPECT_EQ(SurfacePixel(*image, 2, 1), 0u);

    LockedBits bits;
    ASSERT_TRUE(image->LockBits(0, 0, 1, 1, Platform::Gdip::kLockWrite, bits));
    *reinterpret_cast<uint32_t*>(bits.scan0) = 0x80FF0000;
    image->UnlockBits(bits);
    EXPECT_EQ(SurfacePixel(*image, 0, 0), 0x80800000u);
    EXPECT_EQ(Pixel(*image, 0, 0), 0x80FF0000u);
}

}  // namespace
