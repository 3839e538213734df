// String tables come from resources or from files beside the program: feeds
// random bytes to the string-table reader in a language picked by the first
// byte, and checks that it either reads them or fails with a message.
#include <cstddef>
#include <cstdint>

#include "ResourceModule.h"
#include "SkinDocumentLoader.h"

namespace {

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

class NoResources : public Platform::ResourceModule {
public:
    std::string GetFilePath() const override { return {}; }
    std::optional<Platform::ResourceBytes> FindResource(std::string_view, std::string_view) const override
    {
        return std::nullopt;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    static constexpr int32_t kLanguages[] = {0x0009, 0x0007, 0x7C04, 0x0004, 0x0409, 0};
    NoResources module;
    QV::SkinStore store;
    store.languageId = kLanguages[data[0] % std::size(kLanguages)];
    QV::SkinDocumentLoader loader(store, module);
    const QV::QVResult result = loader.ParseStringTable(data + 1, size - 1, QV::String(u"fuzz"));
    Check(result == QV::S_OK || result == QV::E_FAIL);
    if (result != QV::S_OK) Check(!loader.GetLastError().error.text.IsEmpty());
    Check(store.matchCount >= 0);
    return 0;
}
