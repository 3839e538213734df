#pragma once
// Random access to the bytes of a font file. Every read names its range and
// fails, reading nothing, when the range leaves the data.
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

namespace QV {

class FontFileSource {
public:
    virtual ~FontFileSource() = default;
    virtual uint64_t GetSize() const = 0;
    // False when [offset, offset + length) is not wholly inside the data or
    // could not be read.
    virtual bool Read(uint64_t offset, uint32_t length, uint8_t* out) const = 0;
};

// Bytes the caller keeps alive.
class MemoryFontSource : public FontFileSource {
public:
    MemoryFontSource(const uint8_t* data, uint64_t size) : mData(data), mSize(size) {}
    uint64_t GetSize() const override { return mSize; }
    bool Read(uint64_t offset, uint32_t length, uint8_t* out) const override;

private:
    const uint8_t* mData;
    uint64_t mSize;
};

// A file opened read-only; null when it does not open.
std::unique_ptr<FontFileSource> OpenFontFile(const std::string& path);

}  // namespace QV
