#include "FontFileSource.h"

#include <cstring>

namespace QV {
namespace {

bool InRange(uint64_t offset, uint32_t length, uint64_t size)
{
    return offset <= size && length <= size - offset;
}

class StreamFontSource : public FontFileSource {
public:
    StreamFontSource(std::ifstream stream, uint64_t size) : mStream(std::move(stream)), mSize(size) {}
    uint64_t GetSize() const override { return mSize; }
    bool Read(uint64_t offset, uint32_t length, uint8_t* out) const override
    {
        if (!InRange(offset, length, mSize)) return false;
        mStream.clear();
        mStream.seekg(static_cast<std::streamoff>(offset));
        mStream.read(reinterpret_cast<char*>(out), length);
        return static_cast<uint64_t>(mStream.gcount()) == length;
    }

private:
    mutable std::ifstream mStream;
    uint64_t mSize;
};

}  // namespace

bool MemoryFontSource::Read(uint64_t offset, uint32_t length, uint8_t* out) const
{
    if (!InRange(offset, length, mSize)) return false;
    if (length) std::memcpy(out, mData + offset, length);
    return true;
}

std::unique_ptr<FontFileSource> OpenFontFile(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary | std::ios::ate);
    if (!stream) return nullptr;
    const std::streamoff size = stream.tellg();
    if (size < 0) return nullptr;
    return std::make_unique<StreamFontSource>(std::move(stream), static_cast<uint64_t>(size));
}

}  // namespace QV
