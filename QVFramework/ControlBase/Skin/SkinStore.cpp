#include "SkinStore.h"

namespace QV {

LControlDescriptor* SkinStore::GetCurrentRoot() const
{
    if (currentSkinIndex < 0 || static_cast<size_t>(currentSkinIndex) >= skins.size()) return nullptr;
    return skins[static_cast<size_t>(currentSkinIndex)].Get();
}

RCPtr<LControlDescriptor> SkinStore::FindControlDescriptor(const String& name) const
{
    const LControlDescriptor* root = GetCurrentRoot();
    if (!root) return nullptr;
    for (auto it = root->children.rbegin(); it != root->children.rend(); ++it) {
        if ((*it)->name == name) return *it;
    }
    return nullptr;
}

int32_t SkinStore::GetSkinFont(String& faceName, float& size, int32_t& style) const
{
    const LControlDescriptor* root = GetCurrentRoot();
    if (!root || !root->skin) return 1;
    const LSkinDescriptor& skin = *root->skin;
    bool written = false;
    if (!skin.faceName.IsEmpty()) faceName = skin.faceName, written = true;
    if (skin.fontSize >= 1.0f) size = skin.fontSize, written = true;
    if (skin.fontStyle != -1) style = skin.fontStyle, written = true;
    return written ? 0 : 1;
}

RCPtr<LStringTable> SkinStore::FindStringTable(const String& id) const
{
    auto it = stringTables.find(id);
    if (it == stringTables.end()) return nullptr;
    return RCPtr<LStringTable>(new LStringTable(it->second));
}

RCPtr<LStringTable> SkinStore::GetStringTable(const LControlDescriptor* owner, const String& name) const
{
    const String& prefix = owner ? owner->className : applicationName;
    return FindStringTable(prefix + String(u"|") + name);
}

}  // namespace QV
