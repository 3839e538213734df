#include "SkinDocumentLoader.h"

#include <new>
#include <optional>
#include <span>
#include <vector>

#include "FileDescriptor.h"
#include "SkinReader.h"
#include "StringTableReader.h"

namespace QV {
namespace {

constexpr int32_t kEnglish = 9;
// Far above any skin or string table of ours.
constexpr size_t kMaxDocumentBytes = 16 * 1024 * 1024;

bool IsResourceName(const String& name)
{
    return name.Left(2) == u"::";
}

}  // namespace

struct SkinDocumentLoader::Document {
    String name;
    bool found = false;
    std::vector<unsigned char> owned;
    std::span<const unsigned char> bytes;
};

String SkinLoadError::GetMessage() const
{
    if (document.IsEmpty() && error.text.IsEmpty()) return String();
    String message = document + String(u": line ");
    String line;
    line.Format(u"%d", error.line);
    message += line + String(u": ");
    if (!error.element.IsEmpty()) message += error.element + String(u": ");
    return message + error.text;
}

String SkinDocumentLoader::GetResourceName(const String& documentName)
{
    String name = documentName.Mid(2u).ToUpper();
    name.ReplaceChars(u". ", u'_');
    return name;
}

int32_t SkinDocumentLoader::GetFallbackLanguageId(int32_t languageId)
{
    if (languageId == 0x0404 || languageId == 0x0C04 || languageId == 0x1404) return 0x7C04;
    return languageId & 0xFF;
}

QVResult SkinDocumentLoader::SetError(const String& document, int32_t line, const String& element, const String& text)
{
    mLastError = SkinLoadError{document, XmlParseError{text, line, element}};
    return E_FAIL;
}

QVResult SkinDocumentLoader::Fail(const String& document, const String& text)
{
    mLastError = SkinLoadError{document, XmlParseError{text, 0, String()}};
    return E_FAIL;
}

QVResult SkinDocumentLoader::ReadDocument(const String& name, Document& document)
{
    document.name = name;
    if (IsResourceName(name)) {
        const auto bytes = mModule.FindResource(Platform::kXmlResourceType, GetResourceName(name).ToUtf8());
        if (!bytes || bytes->empty()) return S_OK;
        document.found = true;
        document.bytes = *bytes;
        return S_OK;
    }
    // Only a regular file, whole and bounded: a FIFO or a device never hangs the load.
    std::string error;
    int openErrno = 0;
    std::optional<std::string> bytes;
    try {
        bytes = Platform::Files::ReadWhole(name.ToUtf8(), kMaxDocumentBytes, &error, &openErrno);
    } catch (const std::bad_alloc&) {
        mLastError = SkinLoadError{name, XmlParseError{String(u"out of memory"), 0, String()}};
        return E_OUTOFMEMORY;
    }
    if (!bytes && openErrno != 0) return Fail(name, String(u"cannot open the file"));
    if (!bytes) return Fail(name, String(u"cannot read the file: ") + String(error.c_str()));
    document.owned.assign(bytes->begin(), bytes->end());
    document.found = true;
    document.bytes = document.owned;
    return S_OK;
}

QVResult SkinDocumentLoader::ParseSkin(const void* bytes, size_t length, const String& documentName)
{
    SkinReader reader(mStore, documentName);
    XmlParseError error;
    QVResult result = ParseXmlDocument(bytes, length, reader, error);
    if (result == S_OK && reader.GetFirstProblem()) {
        error = *reader.GetFirstProblem();
        result = E_FAIL;
    }
    if (result != S_OK) mLastError = SkinLoadError{documentName, error};
    mStore.currentSkinIndex = 0;
    return result;
}

QVResult SkinDocumentLoader::LoadSkin(const String& name)
{
    Document document;
    if (const QVResult read = ReadDocument(name, document); read != S_OK) return read;
    if (!document.found) return Fail(name, String(u"no such resource, or it is empty"));
    return ParseSkin(document.bytes.data(), document.bytes.size(), name);
}

QVResult SkinDocumentLoader::ParseStringTable(const void* bytes, size_t length, const String& documentName)
{
    StringTableReader reader(mStore);
    XmlParseError error;
    const QVResult result = ParseXmlDocument(bytes, length, reader, error);
    if (result != S_OK) mLastError = SkinLoadError{documentName, error};
    return result;
}

QVResult SkinDocumentLoader::ParseStringPass(const Document& document, int32_t languageId)
{
    mStore.languageId = languageId;
    mStore.matchCount = 0;
    return ParseStringTable(document.bytes.data(), document.bytes.size(), document.name);
}

QVResult SkinDocumentLoader::LoadStringTables(const String& first, const String& second, int32_t languageId)
{
    Document deciding;
    Document following;
    if (const QVResult read = ReadDocument(first, deciding); read != S_OK) return read;
    if (const QVResult read = ReadDocument(second, following); read != S_OK) return read;

    // The first document found decides the language; a missing one decides
    // nothing, so the next takes its place.
    mStore.languageId = languageId;
    bool decided = false;
    for (const Document* document : {&deciding, &following}) {
        if (!document->found) continue;
        if (!decided) {
            const int32_t passes[] = {languageId, GetFallbackLanguageId(languageId), kEnglish};
            for (const int32_t id : passes) {
                if (ParseStringPass(*document, id) != S_OK) return E_FAIL;
                if (mStore.matchCount > 0) break;
            }
            decided = true;
            continue;
        }
        if (ParseStringPass(*document, mStore.languageId) != S_OK) return E_FAIL;
        if (mStore.matchCount == 0 && ParseStringPass(*document, kEnglish) != S_OK) return E_FAIL;
    }
    return S_OK;
}

}  // namespace QV
