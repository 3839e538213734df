// The version record is read at every start-up: feeds random records to the
// block reader and to QV::Version, which must answer or raise its start-up
// errors, never read outside the block.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Exception.h"
#include "Version.h"
#include "VersionInfo.h"

namespace {

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

class RecordModule : public Platform::ResourceModule {
public:
    explicit RecordModule(std::span<const unsigned char> record) : mRecord(record) {}
    std::string GetFilePath() const override { return "/opt/tarsel/editor"; }
    std::optional<Platform::ResourceBytes> FindResource(std::string_view type, std::string_view name) const override
    {
        if (type != Platform::kVersionResourceType || name != Platform::kVersionResourceName) return std::nullopt;
        return mRecord;
    }

private:
    std::span<const unsigned char> mRecord;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const unsigned char> block(data, size);
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    if (const auto translations = Platform::QueryVersionTranslations(block)) {
        Check(translations->size() <= size / 8);
    }
    // An answer is a piece of the block itself.
    if (const auto value = Platform::QueryVersionValue(block, "\\StringFileInfo\\040904b0\\CompanyName")) {
        Check(value->data() >= whole.data() && value->data() + value->size() <= whole.data() + whole.size());
    }
    if (size == 0) return 0;  // no record at all: error 902, tested apart
    try {
        const RecordModule module(block);
        const QV::Version version(&module);
        (void)version.GetCompanyName().ToUtf8();
        (void)version.GetProductName().ToUtf8();
        (void)version.GetProductVersion().ToUtf8();
    } catch (const QV::Exception<std::runtime_error>& e) {
        Check(std::string_view(e.what()).starts_with("Runtime Error : "));
    }
    return 0;
}
