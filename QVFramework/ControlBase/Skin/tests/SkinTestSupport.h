#pragma once
// A store with its loader over the test documents, and string helpers.
#include <cstring>
#include <span>
#include <string>

#include "ResourceModule.h"
#include "SkinDocumentLoader.h"

namespace Platform {
std::span<const ResourceEntry> GetSkinTestResourceEntries();
}

namespace QV::SkinTest {

inline std::string Narrow(const String& text)
{
    return text.ToUtf8();
}

inline String Wide(const char* text)
{
    return String(text);
}

struct Loaded {
    Platform::ResourceTable module{"", Platform::GetSkinTestResourceEntries()};
    SkinStore store;
    SkinDocumentLoader loader{store, module};

    QVResult ParseSkin(const char* xml) { return loader.ParseSkin(xml, std::strlen(xml), String(u"inline")); }
    QVResult ParseStrings(const char* xml) { return loader.ParseStringTable(xml, std::strlen(xml), String(u"inline")); }
    std::string Error() const { return Narrow(loader.GetLastError().GetMessage()); }
};

}  // namespace QV::SkinTest
