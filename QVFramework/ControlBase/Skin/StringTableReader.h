#pragma once
// Reads the string-table vocabulary into a SkinStore: of every String, only
// the Locale entries of the store's language are kept; several pieces of
// text, and several matching Locale entries of one string, are joined.
#include "SkinStore.h"
#include "XmlDocumentParser.h"

namespace QV {

class StringTableReader : public IXmlHandler {
public:
    explicit StringTableReader(SkinStore& store) : mStore(store) {}

    void StartElement(const String& name, const XmlAttributes& attributes, int32_t line) override;
    void EndElement(const String& name) override;
    void CharacterData(const String& text) override;

private:
    SkinStore& mStore;
    bool mSkipNext = true;
    LStringTable::Map* mCurrentTable = nullptr;
    String mCurrentStringId;
    String* mCapture = nullptr;  // the entry that takes the text, while inside a matching Locale
};

}  // namespace QV
