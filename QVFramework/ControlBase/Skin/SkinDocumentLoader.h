#pragma once
// Finds a skin or string-table document by name, parses it into a SkinStore
// and keeps the error of the last failed parse. A name that begins "::" is a
// "QVXML" resource of the module (the rest upper-cased, "." and " " made
// "_"); any other name is a file.
#include <cstddef>
#include <cstdint>

#include "ResourceModule.h"
#include "SkinStore.h"
#include "XmlDocumentParser.h"

namespace QV {

struct SkinLoadError {
    String document;
    XmlParseError error;

    // "<document>: line <n>: <element>: <text>", the element left out when
    // there is none; empty when there was no error.
    String GetMessage() const;
};

class SkinDocumentLoader {
public:
    SkinDocumentLoader(SkinStore& store, const Platform::ResourceModule& module) : mStore(store), mModule(module) {}

    // 0, or E_FAIL when the document is not well formed, a handler raised,
    // or an element lacked a required attribute or named an undefined
    // definition. What was read before stays. Leaves the first skin current.
    [[nodiscard]] QVResult LoadSkin(const String& name);
    [[nodiscard]] QVResult ParseSkin(const void* bytes, size_t length, const String& documentName);

    // The first document decides the language (the id, then its fallback,
    // then 9: the first with any match); the second follows it, else 9.
    // A missing resource is skipped. E_FAIL when a document cannot be read
    // or is not well formed, E_OUTOFMEMORY when it cannot be held.
    [[nodiscard]] QVResult LoadStringTables(const String& first, const String& second, int32_t languageId);
    // One pass over one document with the store's language id.
    [[nodiscard]] QVResult ParseStringTable(const void* bytes, size_t length, const String& documentName);

    const SkinLoadError& GetLastError() const { return mLastError; }
    // Keeps an error found after loading; answers E_FAIL.
    [[nodiscard]] QVResult SetError(const String& document, int32_t line, const String& element, const String& text);

    // "::" followed by "App Skins.xml" -> "APP_SKINS_XML".
    static String GetResourceName(const String& documentName);
    // 0x7C04 for 0x0404, 0x0C04 and 0x1404; else the low 8 bits.
    static int32_t GetFallbackLanguageId(int32_t languageId);

private:
    struct Document;
    [[nodiscard]] QVResult ReadDocument(const String& name, Document& document);
    [[nodiscard]] QVResult ParseStringPass(const Document& document, int32_t languageId);
    [[nodiscard]] QVResult Fail(const String& document, const String& text);

    SkinStore& mStore;
    const Platform::ResourceModule& mModule;
    SkinLoadError mLastError;
};

}  // namespace QV
