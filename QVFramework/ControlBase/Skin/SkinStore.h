#pragma once
// Everything the skin and string-table documents define, kept for the life
// of the control factory. Loads only add; nothing is removed.
#include <cstdint>
#include <map>
#include <vector>

#include "LControlDescriptor.h"

namespace QV {

struct SkinStore {
    using TableMap = std::map<String, LStringTable::Map>;

    String applicationName;
    // Put in front of every image and mask file of a part.
    String imageFolderPrefix;
    // One root descriptor (class "Application") per top-level skin.
    std::vector<RCPtr<LControlDescriptor>> skins;
    int32_t currentSkinIndex = 0;

    TableMap stringTables;
    // The reader keeps only string entries of this locale, and font
    // translations of it.
    int32_t languageId = 0;
    // Locale entries that matched the language during the current parse.
    int32_t matchCount = 0;

    std::map<String, RCPtr<LColorizer>> colorizers;
    std::map<String, RCPtr<LVisualPartDescriptor>> parts;
    std::map<String, RCPtr<LLookDescriptor>> looks;
    std::map<String, RCPtr<LLookList>> lookLists;
    std::map<String, String> fontTranslations;
    int32_t fontLocaleId = 0;

    // The root of the current skin; null when there is none.
    LControlDescriptor* GetCurrentRoot() const;
    // The last top-level control of the current skin with that name.
    RCPtr<LControlDescriptor> FindControlDescriptor(const String& name) const;
    // Writes what the current skin's root gives: a face name when not empty,
    // a size of at least 1, a style other than -1. 0 when anything was
    // written, else 1.
    int32_t GetSkinFont(String& faceName, float& size, int32_t& style) const;
    // A copy of the table with that ID; null when there is none.
    RCPtr<LStringTable> FindStringTable(const String& id) const;
    // The table of a control: its owner's class name (or, without an owner,
    // the application name), "|" and its name.
    RCPtr<LStringTable> GetStringTable(const LControlDescriptor* owner, const String& name) const;
};

}  // namespace QV
