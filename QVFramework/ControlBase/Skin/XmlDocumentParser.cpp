#include "XmlDocumentParser.h"

#include <expat.h>

#include <exception>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>

namespace QV {
namespace {

String FromUtf8(const char* text, int32_t length)
{
    String out;
    out.AssignNarrow(text, length);
    return out;
}

struct ParseContext {
    XML_Parser parser;
    IXmlHandler& handler;
    std::optional<XmlParseError> failure;

    // Runs one handler call; an exception stops the parser instead of unwinding.
    template <class F>
    void Guarded(const char* element, F&& call)
    {
        if (failure) return;
        try {
            call();
        } catch (const std::exception& e) {
            Fail(element, e.what());
        } catch (...) {
            Fail(element, "unknown exception");
        }
    }

    void Fail(const char* element, const char* text)
    {
        XmlParseError error;
        error.text = FromUtf8(text, -1);
        error.line = static_cast<int32_t>(XML_GetCurrentLineNumber(parser));
        if (element) error.element = FromUtf8(element, -1);
        failure = error;
        XML_StopParser(parser, XML_FALSE);
    }
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto* context = static_cast<ParseContext*>(data);
    context->Guarded(name, [&] {
        XmlAttributes map;
        for (const XML_Char** a = attributes; a[0] && a[1]; a += 2) map.Set(std::string_view(a[0]), FromUtf8(a[1], -1));
        const auto line = static_cast<int32_t>(XML_GetCurrentLineNumber(context->parser));
        context->handler.StartElement(FromUtf8(name, -1), map, line);
    });
}

void XMLCALL OnEnd(void* data, const XML_Char* name)
{
    auto* context = static_cast<ParseContext*>(data);
    context->Guarded(name, [&] { context->handler.EndElement(FromUtf8(name, -1)); });
}

void XMLCALL OnText(void* data, const XML_Char* text, int length)
{
    auto* context = static_cast<ParseContext*>(data);
    context->Guarded(nullptr, [&] { context->handler.CharacterData(FromUtf8(text, length)); });
}

struct ParserDeleter {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

}  // namespace

QVResult ParseXmlDocument(const void* bytes, size_t length, IXmlHandler& handler, XmlParseError& error)
{
    if (length > static_cast<size_t>(std::numeric_limits<int>::max())) {
        error = XmlParseError{String(u"document too large"), 0, String()};
        return E_FAIL;
    }
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate(nullptr));
    if (!parser) {
        error = XmlParseError{String(u"out of memory"), 0, String()};
        return E_FAIL;
    }
    ParseContext context{parser.get(), handler, std::nullopt};
    XML_SetUserData(parser.get(), &context);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    const XML_Status status =
        XML_Parse(parser.get(), static_cast<const char*>(bytes), static_cast<int>(length), XML_TRUE);
    if (context.failure) {
        error = *context.failure;
        return E_FAIL;
    }
    if (status != XML_STATUS_OK) {
        error.text = FromUtf8(XML_ErrorString(XML_GetErrorCode(parser.get())), -1);
        error.line = static_cast<int32_t>(XML_GetCurrentLineNumber(parser.get()));
        error.element = String();
        return E_FAIL;
    }
    return S_OK;
}

}  // namespace QV
