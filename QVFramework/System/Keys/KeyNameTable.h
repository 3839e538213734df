#pragma once
// The key names of the string tables ("VKEY_DELETE") and the names shown to
// the user ("Del"), filled together on first use.
#include <cstdint>
#include <map>
#include <string>

namespace QV {

class KeyNameTable {
public:
    static const KeyNameTable& Get();

    // 0 when unknown.
    uint32_t FindVirtualKey(const std::u16string& name) const;
    // Empty when the key has no display name.
    std::u16string FindDisplayName(uint32_t virtualKey) const;
    size_t GetNameCount() const { return mKeys.size(); }
    size_t GetDisplayNameCount() const { return mDisplayNames.size(); }

private:
    KeyNameTable();
    void Add(const std::u16string& name, uint32_t virtualKey, const std::u16string& displayName);

    std::map<std::u16string, uint32_t> mKeys;
    std::map<uint32_t, std::u16string> mDisplayNames;
};

}  // namespace QV
