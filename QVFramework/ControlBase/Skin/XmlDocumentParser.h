#pragma once
// Runs expat over one document held in memory and hands its events to a
// handler. No exception crosses expat's C frames: a handler's exception is
// caught in the callback, the parser is stopped, and the failure is reported
// after XML_Parse has returned.
#include <cstddef>
#include <cstdint>

#include "Result.h"
#include "XmlAttributes.h"

namespace QV {

class IXmlHandler {
public:
    // line: where the start tag stands, for the handler's own diagnostics.
    virtual void StartElement(const String& name, const XmlAttributes& attributes, int32_t line) = 0;
    virtual void EndElement(const String& name) = 0;
    // One piece of text; a text may come in several pieces.
    virtual void CharacterData(const String& text) = 0;

protected:
    ~IXmlHandler() = default;
};

struct XmlParseError {
    String text;  // the parser's error text, or the handler's exception text
    int32_t line = 0;
    String element;  // the element being handled when a handler raised; else empty
};

// 0, or E_FAIL with error filled.
[[nodiscard]] QVResult ParseXmlDocument(const void* bytes, size_t length, IXmlHandler& handler, XmlParseError& error);

}  // namespace QV
