// The skin is read from resources or from a file the user may edit: feeds
// random bytes to the skin reader and checks that it either reads them or
// fails with a message, and that the descriptor tree it leaves is whole.
#include <cstddef>
#include <cstdint>

#include "ResourceModule.h"
#include "SkinDocumentLoader.h"

namespace {

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

void CheckTree(const QV::LControlDescriptor& descriptor)
{
    for (const auto& child : descriptor.children) {
        Check(child && child->parent == &descriptor && child->layout);
        CheckTree(*child);
    }
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
    NoResources module;
    QV::SkinStore store;
    store.languageId = 9;
    QV::SkinDocumentLoader loader(store, module);
    // Twice into one store: the second pass meets every name already defined.
    for (int pass = 0; pass < 2; ++pass) {
        const QV::QVResult result = loader.ParseSkin(data, size, QV::String(u"fuzz"));
        Check(result == QV::S_OK || result == QV::E_FAIL);
        if (result != QV::S_OK) Check(!loader.GetLastError().error.text.IsEmpty());
    }
    for (const auto& root : store.skins) CheckTree(*root);
    for (const auto& [name, list] : store.lookLists) Check(list->GetCount() <= 0xFFFF);
    return 0;
}
