#pragma once
// Reads the skin vocabulary into a SkinStore: colourisers, parts, looks,
// look lists and one tree of control descriptors per skin. Definitions must
// come before their use. An element that lacks a required attribute or names
// an undefined definition changes nothing and is reported as a problem; the
// parse goes on so one load shows the first of them.
#include <initializer_list>
#include <optional>

#include "SkinStore.h"
#include "XmlDocumentParser.h"

namespace QV {

class SkinReader : public IXmlHandler {
public:
    SkinReader(SkinStore& store, const String& documentName) : mStore(store), mDocumentName(documentName) {}

    void StartElement(const String& name, const XmlAttributes& attributes, int32_t line) override;
    void EndElement(const String& name) override;
    void CharacterData(const String& text) override;

    const std::optional<XmlParseError>& GetFirstProblem() const { return mFirstProblem; }

private:
    using Handler = void (SkinReader::*)(const XmlAttributes&);
    struct FontState {
        bool inheritsFromParent = false;
        bool sizeIsRelative = false;
        String faceName;
        float size = 0.0f;
        int32_t style = -1;
    };

    static Handler FindHandler(const String& element);

    void Application(const XmlAttributes& a);
    void Colorizer(const XmlAttributes& a);
    void Part(const XmlAttributes& a);
    void Looks(const XmlAttributes& a);
    void Look(const XmlAttributes& a);
    void ClientPart(const XmlAttributes& a);
    void TextProperties(const XmlAttributes& a);
    void NonClientPart(const XmlAttributes& a);
    void LookLists(const XmlAttributes& a);
    void LookList(const XmlAttributes& a);
    void Skin(const XmlAttributes& a);
    void TopLevelSkin(const XmlAttributes& a);
    void NestedSkin(const XmlAttributes& a);
    void FontLocale(const XmlAttributes& a);
    void FontXLat(const XmlAttributes& a);
    void SubControl(const XmlAttributes& a);
    void ReadLayout(const XmlAttributes& a, LLayoutDescriptor& layout, bool topLevel);
    void ReadFont(const XmlAttributes& a);
    void CreateParamList(const XmlAttributes& a);
    void CreateParam(const XmlAttributes& a);

    // Reports the first missing one; true when all are there.
    bool Require(const XmlAttributes& a, std::initializer_list<const char16_t*> names);
    void Problem(const String& text);
    RCPtr<LVisualPartDescriptor> FindPart(const String& name);
    bool HasCurrentLook();

    SkinStore& mStore;
    String mDocumentName;
    bool mSkipNext = true;
    bool mInsideLooks = false;
    bool mInsideCreateParam = false;
    bool mCreateParamHasText = false;
    String mCreateParamId;
    LControlDescriptor* mCurrent = nullptr;  // owned by its skin's tree
    RCPtr<LLookDescriptor> mCurrentLook;
    RCPtr<LLookList> mCurrentLookList;
    RCPtr<LStringTable> mCurrentParams;
    FontState mFont;
    String mElement;
    int32_t mLine = 0;
    std::optional<XmlParseError> mFirstProblem;
};

}  // namespace QV
