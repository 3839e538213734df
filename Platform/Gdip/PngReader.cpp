// PNG decoding through libpng's simplified interface, straight into BGRA.
#include <png.h>

#include <cstring>

#include "Image.h"

namespace Platform::Gdip {

class PngReader {
public:
    // `image` has been begun from memory or a file; finishes or frees it.
    static std::unique_ptr<Image> Finish(png_image& image)
    {
        image.format = PNG_FORMAT_BGRA;
        const int64_t pixels = int64_t{image.width} * image.height;
        if (image.width == 0 || image.height == 0 || image.width > INT32_MAX || image.height > INT32_MAX ||
            pixels > Image::kMaxPixels) {
            png_image_free(&image);
            return nullptr;
        }
        std::vector<uint32_t> buffer(static_cast<size_t>(pixels));
        if (png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr) == 0) {
            png_image_free(&image);
            return nullptr;
        }
        return std::unique_ptr<Image>(
            new Image(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height), std::move(buffer)));
    }
};

std::unique_ptr<Image> Image::FromPngBytes(std::span<const unsigned char> bytes)
{
    if (bytes.empty()) return nullptr;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
        png_image_free(&image);
        return nullptr;
    }
    return PngReader::Finish(image);
}

std::unique_ptr<Image> Image::FromPngFile(const std::string& utf8Path)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, utf8Path.c_str()) == 0) {
        png_image_free(&image);
        return nullptr;
    }
    return PngReader::Finish(image);
}

}  // namespace Platform::Gdip
