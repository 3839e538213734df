#pragma once
// The program's version information: company name, product name and product
// version, read once from the module's version record in the language that
// suits the user best.
#include <cstdint>
#include <memory>

#include "ResourceModule.h"
#include "StringT.h"
#include "VersionInfo.h"

namespace QV {

class Version {
public:
    // Reads the version record of module (null: the program's own). Raises
    // QV::Exception<std::runtime_error> with start-up error 903 when the
    // module's path cannot be read, 902 when it has no version record, 901
    // when the record cannot be read and 900 when it lists no translation;
    // QV::Exception<std::bad_alloc> when the block cannot be allocated.
    explicit Version(const Platform::ResourceModule* module = nullptr);

    // The value of key under "\StringFileInfo\<language><code page>\" of the
    // chosen translation; empty when the record lacks it.
    String GetStringFileInfo(const String& key) const;
    String GetCompanyName() const { return GetStringFileInfo(u"CompanyName"); }
    String GetProductName() const { return GetStringFileInfo(u"ProductName"); }
    String GetProductVersion() const { return GetStringFileInfo(u"ProductVersion"); }

    Platform::LanguageCodePage GetTranslation() const { return mTranslation; }

private:
    std::unique_ptr<unsigned char[]> mBlock;
    uint32_t mBlockSize = 0;
    Platform::LanguageCodePage mTranslation{};
};

}  // namespace QV
