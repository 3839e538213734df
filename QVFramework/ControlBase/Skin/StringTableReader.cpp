#include "StringTableReader.h"

namespace QV {

void StringTableReader::StartElement(const String& name, const XmlAttributes& a, int32_t)
{
    if (mSkipNext) {
        mSkipNext = false;
        return;
    }
    if (name == u"Application") {
        mStore.applicationName = a.Get(u"Name").value_or(String());
    } else if (name == u"StringTable") {
        mCurrentTable = &mStore.stringTables[a.Get(u"ID").value_or(String())];
    } else if (name == u"String") {
        if (auto id = a.Get(u"ID")) mCurrentStringId = *id;
    } else if (name == u"Locale") {
        const auto id = a.GetInt(u"LCID");
        if (!id || *id != mStore.languageId) return;
        ++mStore.matchCount;
        if (mCurrentTable && !mCurrentStringId.IsEmpty()) mCapture = &(*mCurrentTable)[mCurrentStringId];
    }
}

void StringTableReader::EndElement(const String&)
{
    mCapture = nullptr;
}

void StringTableReader::CharacterData(const String& text)
{
    if (mCapture) *mCapture += text;
}

}  // namespace QV
